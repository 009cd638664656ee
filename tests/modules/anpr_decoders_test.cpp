// The plate camera's reply decoders: every field read at its byte offset,
// texts that fill their field end with the field and never take the next
// one's bytes, a reply shorter than its record answers nothing (the wait
// then ends as without a reply), and a longer one decodes its record.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_daemon.h"
#include "modules/video/anpr.h"
#include "platform/confdb/confdb.h"
#include "reply_support.h"

namespace {

constexpr size_t kSettingsSize = 4472;
constexpr size_t kWildcardsSize = 228;

Delivered decode(int code, const std::string &bytes)
{
    CapturedOutput output;
    g_callback_done.store(0);
    // A buffer of the payload's own size, so a read past it is seen.
    const std::vector<char> payload(bytes.begin(), bytes.end());
    const ReplyReader reply(payload.empty() ? "" : payload.data(), payload.size());
    EXPECT_EQ(anpr_decode_reply(code, reply), 1) << code;
    return Delivered{output.text(), g_callback_done.load()};
}

Bytes settings_reply()
{
    Bytes bytes(kSettingsSize);
    bytes.i32(0, 7).i32(4, 1).i32(72, 8080).i32(716, 90).i32(1776, 1).i32(1780, 2).i32(1788, 3);
    bytes.text(76, std::string(64, 'u')).text(140, std::string(64, 'p')).text(204, std::string(512, 'h'));
    for (int region = 0; region < 32; ++region)
        bytes.text(720 + region * 32, std::string(32, static_cast<char>('A' + region % 26)));
    bytes.text(1744, std::string(32, 'c'));
    // The last roi and the last entry of the last preset group.
    bytes.text(1792 + 3 * 80, "roi3").i32(1792 + 3 * 80 + 64, 11).i32(1792 + 3 * 80 + 76, 14);
    bytes.text(2112 + 3 * 320 + 3 * 80, std::string(64, 'q')).i32(2112 + 3 * 320 + 3 * 80 + 76, 44);
    bytes.i32(3656, 1).i32(3680, 2).i32(3688, 5).i32(3696, 6).i32(4468, 12);
    return bytes;
}

TEST(AnprReplies, SettingsFieldsAtTheirOffsetsInAnswerOrder)
{
    const Delivered delivered = decode(8289, settings_reply().str());
    EXPECT_EQ(delivered.done, 1);
    const Answer answer(delivered);
    ASSERT_NE(answer.get(), nullptr) << delivered.out;
    const std::vector<std::string> keys = {"chnid",
                                           "enable",
                                           "resolution_width",
                                           "resolution_height",
                                           "area_x",
                                           "area_y",
                                           "area_width",
                                           "area_height",
                                           "day_night_mode_enable",
                                           "scene",
                                           "direction_enable",
                                           "region_enable",
                                           "roiid_enable",
                                           "process_mode",
                                           "repeat_check_time_value",
                                           "repeat_check_time_unit",
                                           "post_enable",
                                           "post_type",
                                           "post_tcp_port",
                                           "post_http_user",
                                           "post_http_password",
                                           "post_http_url",
                                           "confidence",
                                           "night_mode_enable",
                                           "night_mode_level",
                                           "night_mode_starthour",
                                           "night_mode_startminute",
                                           "night_mode_stophour",
                                           "night_mode_stopminute",
                                           "night_mode_effective_mode",
                                           "region",
                                           "cur_area",
                                           "in_night_mode",
                                           "roi",
                                           "preset",
                                           "platecolorEnable",
                                           "vehicletypeEnable",
                                           "vehiclecolorEnable",
                                           "jsonSupport",
                                           "irLedExternalSupport",
                                           "vehicleEnhancement",
                                           "vehicleBrandEnable",
                                           "aitype"};
    EXPECT_EQ(answer.keys(), keys) << "no polygons while the record says no JSON support";
    EXPECT_EQ(answer.num("chnid"), 7);
    EXPECT_EQ(answer.num("post_tcp_port"), 8080);
    EXPECT_EQ(answer.text("post_http_user"), std::string(64, 'u'));
    EXPECT_EQ(answer.text("post_http_password"), std::string(64, 'p'));
    EXPECT_EQ(answer.text("post_http_url"), std::string(512, 'h'));
    EXPECT_EQ(answer.num("confidence"), 90);
    EXPECT_EQ(answer.num("night_mode_enable"), 1);
    EXPECT_EQ(answer.num("night_mode_effective_mode"), 2);
    EXPECT_EQ(answer.num("in_night_mode"), 1);
    EXPECT_EQ(answer.num("platecolorEnable"), 2);
    EXPECT_EQ(answer.num("vehiclecolorEnable"), 3);
    EXPECT_EQ(answer.num("irLedExternalSupport"), 5);
    EXPECT_EQ(answer.num("vehicleBrandEnable"), 6);
    EXPECT_EQ(answer.num("aitype"), 12);
    EXPECT_EQ(answer.text("cur_area"), std::string(32, 'c'));

    json_object *regions = answer.at("region");
    ASSERT_EQ(json_object_array_length(regions), 32U);
    EXPECT_STREQ(json_object_get_string(json_object_array_get_idx(regions, 0)), std::string(32, 'A').c_str());
    EXPECT_STREQ(json_object_get_string(json_object_array_get_idx(regions, 31)),
                 std::string(32, 'F').c_str());

    json_object *rois = answer.at("roi");
    ASSERT_EQ(json_object_array_length(rois), 4U);
    json_object *roi = json_object_array_get_idx(rois, 3);
    EXPECT_EQ(json_keys(roi), (std::vector<std::string>{"name", "startX", "startY", "endX", "endY"}));
    EXPECT_EQ(json_text_at(roi, "name"), "roi3");
    EXPECT_EQ(json_int_at(roi, "startX"), 11);
    EXPECT_EQ(json_int_at(roi, "endY"), 14);

    json_object *presets = answer.at("preset");
    ASSERT_EQ(json_object_array_length(presets), 4U);
    json_object *group = json_object_array_get_idx(presets, 3);
    ASSERT_EQ(json_object_array_length(group), 4U);
    json_object *entry = json_object_array_get_idx(group, 3);
    EXPECT_EQ(json_keys(entry), (std::vector<std::string>{"name", "startX", "startY", "endX", "endy"}));
    EXPECT_EQ(json_text_at(entry, "name"), std::string(64, 'q'));
    EXPECT_EQ(json_int_at(entry, "endy"), 44);
}

TEST(AnprReplies, PolygonsOnlyWithJsonSupportAndAnOwnRecognitionType)
{
    for (const int aitype : {10, 11, 14, 15}) {
        Bytes bytes = settings_reply();
        bytes.i32(3684, 1).i32(4468, aitype);
        bytes.text(3700 + 3 * 192, std::string(64, 'n'))
            .text(3700 + 3 * 192 + 64, std::string(64, 'x'))
            .text(3700 + 3 * 192 + 128, std::string(64, 'y'));
        const Answer answer(decode(8289, bytes.str()));
        ASSERT_NE(answer.get(), nullptr) << aitype;
        json_object *polygons = answer.at("normalPolygons");
        if (aitype < 11 || aitype > 14) {
            EXPECT_EQ(polygons, nullptr) << aitype;
            continue;
        }
        ASSERT_EQ(json_object_array_length(polygons), 4U) << aitype;
        json_object *last = json_object_array_get_idx(polygons, 3);
        EXPECT_EQ(json_keys(last), (std::vector<std::string>{"name", "polygonX", "polygonY"}));
        EXPECT_EQ(json_text_at(last, "name"), std::string(64, 'n'));
        EXPECT_EQ(json_text_at(last, "polygonX"), std::string(64, 'x'));
        EXPECT_EQ(json_text_at(last, "polygonY"), std::string(64, 'y'));
    }
}

TEST(AnprReplies, WildcardsStateAndSupportAtTheirOffsets)
{
    Bytes wildcards(kWildcardsSize);
    wildcards.i32(0, 3).i32(4, 1).i32(8 + 8 * 4, 1).i32(44 + 8 * 4, 7).i32(224, 10);
    for (int index = 0; index < 9; ++index)
        wildcards.text(80 + index * 16, std::string(16, static_cast<char>('a' + index)));
    const Answer listed(decode(6207, wildcards.str()));
    ASSERT_NE(listed.get(), nullptr);
    EXPECT_EQ(listed.keys(), (std::vector<std::string>{"chnid", "filter", "maxPlateCharNum", "wildcards"}));
    EXPECT_EQ(listed.num("chnid"), 3);
    EXPECT_EQ(listed.num("maxPlateCharNum"), 10);
    json_object *list = listed.at("wildcards");
    ASSERT_EQ(json_object_array_length(list), 9U);
    json_object *last = json_object_array_get_idx(list, 8);
    EXPECT_EQ(json_int_at(last, "enable"), 1);
    EXPECT_EQ(json_int_at(last, "cr_count"), 7);
    EXPECT_EQ(json_text_at(last, "format"), std::string(16, 'i'));
    EXPECT_EQ(json_text_at(json_object_array_get_idx(list, 0), "format"), std::string(16, 'a'));

    const Answer state(decode(6215, Bytes(12).i32(0, 63).i32(4, 2).i32(8, -1).str()));
    EXPECT_EQ(state.keys(), (std::vector<std::string>{"chnid", "state", "zoomNumber"}));
    EXPECT_EQ(state.num("chnid"), 63);
    EXPECT_EQ(state.num("zoomNumber"), -1);
    const Answer support(decode(8293, Bytes(8).i32(0, 1).i32(4, 3).str()));
    EXPECT_EQ(support.keys(), (std::vector<std::string>{"vca_support", "vca_version"}));
    EXPECT_EQ(support.num("vca_version"), 3);

    EXPECT_EQ(decode(8290, Bytes(4).str()).out, std::string(kTextHead) + "OK");
    EXPECT_EQ(decode(6208, Bytes(4).i32(0, -1).str()).out, std::string(kTextHead) + "FAILED");
}

TEST(AnprReplies, ShortRepliesAnswerNothingAndLongerOnesTheirRecord)
{
    const std::pair<int, size_t> records[] = {
        {8289, kSettingsSize}, {6207, kWildcardsSize}, {6215, 12}, {8293, 8}, {8290, 4}, {6208, 4}};
    for (const auto &[code, size] : records) {
        for (const size_t shorter : {size_t{0}, size - 1}) {
            const Delivered delivered = decode(code, std::string(shorter, 'Z'));
            EXPECT_EQ(delivered.out, "") << code << " " << shorter;
            EXPECT_EQ(delivered.done, 0) << code << " " << shorter;
        }
        const Delivered longer = decode(code, std::string(size, '\0') + std::string(64, 'Z'));
        EXPECT_EQ(longer.done, 1) << code;
        EXPECT_NE(longer.out, "") << code;
    }
    const Answer state(decode(6215, Bytes(12).i32(0, 5).append(Bytes(12).i32(0, 9)).str()));
    EXPECT_EQ(state.num("chnid"), 5) << "the first record answers";
    const ReplyReader none(nullptr, 0);
    EXPECT_EQ(anpr_decode_reply(8291, none), 0);
    EXPECT_EQ(anpr_decode_reply(6216, none), 0);
}

// A settings record read from the camera and sent back unchanged by the
// browser reaches the camera as it was, but for the bytes the pages never
// show; the wildcards go first, as their own record.
TEST(AnprRoundTrip, AnsweredSettingsSentBackGiveTheSameRecord)
{
    Bytes record = settings_reply();
    // Texts within their widths, so each comes back whole.
    record.text(76, std::string(63, 'u') + '\0')
        .text(140, std::string(63, 'p') + '\0')
        .text(204, std::string(511, 'h') + '\0');
    for (int region = 0; region < 32; ++region)
        record.text(720 + region * 32, std::string(31, static_cast<char>('a' + region % 26)) + '\0');
    record.text(1744, std::string(31, 'c') + '\0')
        .text(2112 + 3 * 320 + 3 * 80, std::string(64, '\0').replace(0, 8, "preset33"));
    record.i32(3684, 1).i32(4468, 13).text(3700 + 2 * 192 + 64, "1,2,3\0");
    for (const size_t offset : {8U, 36U, 1784U, 1792U + 64, 2112U + 68, 3660U, 3692U})
        record.i32(offset, static_cast<int32_t>(offset) * -3);
    Answer answer(decode(8289, record.str()));
    ASSERT_NE(answer.get(), nullptr);
    json_object_object_add(answer.get(), "filter", json_object_new_int(1));

    TempRoot root;
    FakeDaemon daemon(root, [](const ReceivedFrame &frame) {
        if ((frame.fields.flags & kMsgFlagNoReply) != 0)
            return std::vector<DaemonReply>{};
        return std::vector<DaemonReply>{{0, encode_frame(frame.fields.code + 5000, std::string(4, '\0'))}};
    });
    std::string text = json_object_to_json_string_ext(answer.get(), JSON_C_TO_STRING_PLAIN);
    CapturedOutput output;
    on_set_anpr_settings(text.data());
    EXPECT_EQ(output.text(), std::string(kTextHead) + "OK");
    const std::vector<ReceivedFrame> frames = daemon.frames();
    ASSERT_EQ(frames.size(), 2U);
    EXPECT_EQ(frames[0].fields.code, 1208);
    ASSERT_EQ(frames[0].payload.size(), kWildcardsSize);
    EXPECT_EQ(int32_at(frames[0].payload, 0), 7);
    EXPECT_EQ(int32_at(frames[0].payload, 4), 1);
    EXPECT_EQ(frames[1].fields.code, 3290);
    const std::string &sent = frames[1].payload;
    ASSERT_EQ(sent.size(), kSettingsSize);
    const std::string &expected = record.str();
    for (size_t offset = 0; offset < kSettingsSize; ++offset) {
        if (offset >= 3392 && offset < 3656)
            continue;
        ASSERT_EQ(sent[offset], expected[offset]) << "byte " << offset;
    }
}

class AnprEvents : public ::testing::Test {
protected:
    void TearDown() override { confdb_close(); }
    TempRoot root_;
};

// Each (channel, mode) is a record of its own; a channel or mode outside
// the range is refused and stores nothing.
TEST_F(AnprEvents, EachChannelAndModeKeepsItsOwnRecord)
{
    smart_event_record record{};
    for (const int mode : {0, 1, 2})
        for (const int chnid : {0, 63}) {
            record.chnid = chnid;
            record.interval = chnid * 10 + mode + 1;
            ASSERT_EQ(write_anpr_event(ZQDB_PATH, &record, mode), 0) << chnid << " " << mode;
        }
    for (const int mode : {0, 1, 2})
        for (const int chnid : {0, 63}) {
            ASSERT_EQ(read_anpr_event(ZQDB_PATH, &record, chnid, mode), kRecFound);
            EXPECT_EQ(record.chnid, chnid);
            EXPECT_EQ(record.interval, chnid * 10 + mode + 1);
        }
    record.interval = 5;
    EXPECT_EQ(read_anpr_event(ZQDB_PATH, &record, 1, 0), kRecAbsent);
    EXPECT_EQ(record.interval, 0);

    const std::pair<int, int> refused[] = {{-1, 0}, {64, 0}, {0, -1}, {0, 3}};
    for (const auto &[chnid, mode] : refused) {
        record = smart_event_record{};
        record.chnid = chnid;
        record.interval = 9;
        EXPECT_EQ(write_anpr_event(ZQDB_PATH, &record, mode), -1) << chnid << " " << mode;
        EXPECT_EQ(read_anpr_event(ZQDB_PATH, &record, chnid, mode), -1) << chnid << " " << mode;
        EXPECT_EQ(record.interval, 0);
    }
    EXPECT_EQ(read_anpr_event(ZQDB_PATH, &record, 0, 0), kRecFound) << "a refused write moved nothing";
    EXPECT_EQ(record.interval, 1);
}

} // namespace
