#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "codecs/channel_db.h"
#include "codecs/channel_mask.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "platform/confdb/confdb.h"
#include "test_support.h"

namespace {

#pragma pack(push, 1)
struct Sample {
    int32_t port;
    char name[8];
    int32_t level;
};
#pragma pack(pop)

const WireField kSampleFields[] = {
    WIRE_INT("port", Sample, port),
    WIRE_TEXT("name", Sample, name),
    WIRE_INT("level", Sample, level),
};
constexpr WireLayout kSample = wire_layout(kSampleFields, sizeof(Sample));

JsonPtr parse(const std::string &text) { return JsonPtr(get_request_tokener_json_object(text.c_str())); }

Sample filled(const std::string &request)
{
    Sample sample;
    memset(&sample, 0x5a, sizeof sample);
    wire_fill(parse(request).get(), kSample, &sample);
    return sample;
}

TEST(WireFields, FillCutsTextsAndReadsMissingValuesAsTheyWereAlwaysSent)
{
    const Sample full = filled(R"({"port": "554", "name": "a-very-long-name", "level": -3})");
    EXPECT_EQ(full.port, 554);
    EXPECT_STREQ(full.name, "a-very-");
    EXPECT_EQ(full.level, -3);

    // Missing or wrongly typed values: 0 and "(null)" (cut to the field).
    const Sample missing = filled(R"({"port": [1], "name": {"x": 1}})");
    EXPECT_EQ(missing.port, 0);
    EXPECT_STREQ(missing.name, "(null)");
    EXPECT_EQ(missing.level, 0);
}

TEST(WireFields, PresenceNeedsEveryKeyOfItsType)
{
    EXPECT_TRUE(wire_has_all(parse(R"({"port": 1, "name": 7, "level": 0})").get(), kSample));
    EXPECT_FALSE(wire_has_all(parse(R"({"port": 1, "name": "x"})").get(), kSample));
    EXPECT_FALSE(wire_has_all(parse(R"({"port": "abc", "name": "x", "level": 0})").get(), kSample));
    EXPECT_FALSE(wire_has_all(nullptr, kSample));
}

TEST(WireFields, RecordToJsonReadsTextsOnlyToTheirWidth)
{
    Sample sample{};
    sample.port = -1;
    memcpy(sample.name, "ABCDEFGH", 8); // no terminator in the field
    sample.level = 0x01020304;
    const JsonPtr object = json_new_object();
    wire_add_fields(object.get(), &sample, kSample);
    EXPECT_STREQ(json_object_to_json_string(object.get()),
                 R"({ "port": -1, "name": "ABCDEFGH", "level": 16909060 })");
}

TEST(ChannelMask, TextScansAtMostSixtyFourCharacters)
{
    std::string text(70, '1');
    EXPECT_EQ(channel_mask_from_text(text.c_str()), ~uint64_t{0});
    EXPECT_EQ(channel_mask_from_text("0101"), uint64_t{0xa});
    EXPECT_EQ(channel_mask_from_text(nullptr), 0u);
    char out[kChannelMaskText + 1];
    channel_mask_to_text(uint64_t{1} << 63 | 2, out);
    EXPECT_EQ(std::string(out), "01" + std::string(61, '0') + "1");
}

class ChannelDb : public ::testing::Test {
protected:
    void TearDown() override { confdb_close(); }
    TempRoot root_;
};

TEST_F(ChannelDb, RecordsStayUnderTheirOwnChannel)
{
    camera_record camera{};
    camera.id = 64;
    EXPECT_EQ(write_camera(ZQDB_PATH, &camera), -1);
    camera.id = -1;
    EXPECT_EQ(write_camera(ZQDB_PATH, &camera), -1);
    camera.id = 5;
    snprintf(camera.ipAddr, sizeof camera.ipAddr, "%s", "10.0.0.5");
    ASSERT_EQ(write_camera(ZQDB_PATH, &camera), 0);

    camera_record back;
    ASSERT_EQ(read_camera(ZQDB_PATH, &back, 5), kRecFound);
    EXPECT_STREQ(back.ipAddr, "10.0.0.5");
    EXPECT_EQ(read_camera(ZQDB_PATH, &back, 0), kRecAbsent);
    EXPECT_EQ(read_camera(ZQDB_PATH, &back, 99), kRecAbsent);
    EXPECT_EQ(back.id, 0);
}

TEST_F(ChannelDb, OsdNameIsCutToTheCallersBuffer)
{
    osd_record osd{};
    osd.camId = 2;
    memset(osd.camName, 'n', sizeof osd.camName); // stored without terminator
    ASSERT_EQ(write_osd(ZQDB_PATH, &osd), 0);
    char name[16];
    read_osd_name(ZQDB_PATH, 2, name, sizeof name);
    EXPECT_EQ(std::string(name), std::string(15, 'n'));
    read_osd_name(ZQDB_PATH, 3, name, sizeof name);
    EXPECT_STREQ(name, "");
}

} // namespace
