#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "codecs/channel_db.h"
#include "codecs/channel_mask.h"
#include "codecs/event_schedule_db.h"
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

    // A wide field that its text fills keeps every character.
    struct Wide {
        char data[1024];
    } wide;
    memset(wide.data, 'w', sizeof wide.data);
    const WireField wide_field[] = {WIRE_TEXT("data", Wide, data)};
    const JsonPtr wide_object = json_new_object();
    wire_add_fields(wide_object.get(), &wide, wire_layout(wide_field, sizeof wide));
    EXPECT_EQ(json_object_get_string(json_object_object_get(wide_object.get(), "data")),
              std::string(1024, 'w'));
}

// Entries of a flag, a time text and a level, 16 bytes apart from byte 4;
// two rows of two entries, 32 bytes apart.
#pragma pack(push, 1)
struct Entry {
    int32_t valid;
    char time[8];
    int32_t level;
};
struct Table {
    int32_t head;
    Entry rows[2][2];
    char pad[8];
};
#pragma pack(pop)

const WireField kEntryFields[] = {
    WIRE_CONST(Entry, valid, 1),
    WIRE_TEXT("time", Entry, time),
    WIRE_INT("level", Entry, level),
};
constexpr WireList kRow = {wire_layout(kEntryFields, sizeof(Entry)), 0, 2, sizeof(Entry)};
constexpr WireGrid kGrid = {kRow, offsetof(Table, rows), 2, 2 * sizeof(Entry)};
constexpr WireList kFirstRow = {wire_layout(kEntryFields, sizeof(Entry)), offsetof(Table, rows), 2,
                                sizeof(Entry)};
static_assert(wire_grid_end(kGrid) == offsetof(Table, pad));

TEST(WireFields, ListsAndGridsAnswerOnlyWhenTheRecordHoldsThemAll)
{
    Table table{};
    table.rows[0][0] = {7, "08:00", 3};
    memcpy(table.rows[1][1].time, "ABCDEFGH", 8); // no terminator in the field
    table.rows[1][1].level = -1;
    const ReplyReader whole(reinterpret_cast<const char *>(&table), offsetof(Table, pad));
    const JsonPtr list(wire_list_json(whole, kFirstRow, "id"));
    EXPECT_STREQ(json_object_to_json_string(list.get()),
                 R"([ { "id": 0, "time": "08:00", "level": 3 }, { "id": 1, "time": "", "level": 0 } ])");
    const JsonPtr grid(wire_grid_json(whole, kGrid));
    EXPECT_STREQ(json_object_get_string(json_object_object_get(
                     json_object_array_get_idx(json_object_array_get_idx(grid.get(), 1), 1), "time")),
                 "ABCDEFGH");

    const ReplyReader short_by_one(reinterpret_cast<const char *>(&table), offsetof(Table, pad) - 1);
    EXPECT_EQ(wire_grid_json(short_by_one, kGrid), nullptr);
    EXPECT_NE(JsonPtr(wire_list_json(short_by_one, kFirstRow)), nullptr);
}

TEST(WireFields, GridFillTakesPositionsWithinItsBoundsAndSkipsOtherKinds)
{
    Table table;
    memset(&table, 0x5a, sizeof table);
    memset(table.rows, 0, sizeof table.rows);
    // Row 0: a whole entry, then one that lacks its level; row 1: an entry
    // that is no array, then one with a number as its time. A third entry
    // and a third row are past the grid.
    wire_grid_fill(parse(R"([[["08:00", 4], ["09:00"], ["x", 9]], [7, [12, 5]], [["y", 1]]])").get(), kGrid,
                   WireForm::kPositional, &table);
    EXPECT_EQ(table.rows[0][0].valid, 1);
    EXPECT_STREQ(table.rows[0][0].time, "08:00");
    EXPECT_EQ(table.rows[0][0].level, 4);
    EXPECT_STREQ(table.rows[0][1].time, "09:00");
    EXPECT_EQ(table.rows[0][1].level, 0);
    EXPECT_EQ(table.rows[1][0].valid, 0);
    EXPECT_STREQ(table.rows[1][1].time, "12");
    EXPECT_EQ(table.rows[1][1].level, 5);
    EXPECT_EQ(static_cast<unsigned char>(table.pad[0]), 0x5a);
    EXPECT_EQ(table.head, 0x5a5a5a5a);
}

TEST(WireFields, KeyedListFillCountsWhatItReadAndFormatsMissingTexts)
{
    Table table{};
    EXPECT_EQ(wire_list_fill(parse(R"([{"level": 2}, "x", {"time": "t"}])").get(), kFirstRow,
                             WireForm::kKeyed, &table),
              2u);
    EXPECT_STREQ(table.rows[0][0].time, "(null)");
    EXPECT_EQ(table.rows[0][0].level, 2);
    EXPECT_EQ(table.rows[0][1].valid, 0);
    EXPECT_EQ(table.rows[1][0].valid, 0);
    EXPECT_EQ(wire_list_fill(parse(R"({"time": "t"})").get(), kFirstRow, WireForm::kKeyed, &table), 0u);
    // Constant fields are neither required nor shown.
    EXPECT_TRUE(wire_has_all(parse(R"({"time": "t", "level": 1})").get(), kRow.entry));
    const JsonPtr object = json_new_object();
    wire_add_fields(object.get(), &table.rows[0][0], kRow.entry);
    EXPECT_STREQ(json_object_to_json_string(object.get()), R"j({ "time": "(null)", "level": 2 })j");
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

TEST_F(ChannelDb, EventSchedulesAreKeptPerChannelAndEvent)
{
    static schedule_record schedule;
    memset(&schedule, 0, sizeof schedule);
    EXPECT_EQ(write_motion_effective_schedule(ZQDB_PATH, &schedule, 64), -1);
    EXPECT_EQ(write_smart_event_effective_schedule(ZQDB_PATH, &schedule, 1, kSmartEventCount), -1);
    EXPECT_EQ(write_smart_event_effective_schedule(ZQDB_PATH, &schedule, -1, 0), -1);

    snprintf(schedule.days[0].sections[0].start_time, kScheduleTimeSize, "%s", "ch1-ev0");
    ASSERT_EQ(write_smart_event_effective_schedule(ZQDB_PATH, &schedule, 1, 0), 0);
    snprintf(schedule.days[0].sections[0].start_time, kScheduleTimeSize, "%s", "ch0-ev1");
    ASSERT_EQ(write_smart_event_effective_schedule(ZQDB_PATH, &schedule, 0, 1), 0);
    snprintf(schedule.days[0].sections[0].start_time, kScheduleTimeSize, "%s", "motion-ch1");
    ASSERT_EQ(write_motion_effective_schedule(ZQDB_PATH, &schedule, 1), 0);

    ASSERT_EQ(read_smart_event_effective_schedule(ZQDB_PATH, &schedule, 1, 0), kRecFound);
    EXPECT_STREQ(schedule.days[0].sections[0].start_time, "ch1-ev0");
    ASSERT_EQ(read_smart_event_effective_schedule(ZQDB_PATH, &schedule, 0, 1), kRecFound);
    EXPECT_STREQ(schedule.days[0].sections[0].start_time, "ch0-ev1");
    ASSERT_EQ(read_motion_effective_schedule(ZQDB_PATH, &schedule, 1), kRecFound);
    EXPECT_STREQ(schedule.days[0].sections[0].start_time, "motion-ch1");
    EXPECT_EQ(read_smart_event_effective_schedule(ZQDB_PATH, &schedule, 1, 8), kRecAbsent);
    EXPECT_EQ(read_smart_event_effective_schedule(ZQDB_PATH, &schedule, 64, 0), -1);
    EXPECT_STREQ(schedule.days[0].sections[0].start_time, "");
}

} // namespace
