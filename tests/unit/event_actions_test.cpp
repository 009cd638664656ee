#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "codecs/event_actions.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "platform/confdb/confdb.h"
#include "test_support.h"

namespace {

class EventActions : public ::testing::Test {
protected:
    void TearDown() override { confdb_close(); }
    TempRoot root_;
};

JsonPtr parse(const std::string &text) { return JsonPtr(get_request_tokener_json_object(text.c_str())); }

std::string text_of(json_object *value)
{
    const JsonPtr owned(value);
    return json_object_to_json_string(owned.get());
}

std::string white_item(int index) { return "[" + std::to_string(index) + ", 2, 30]"; }

TEST_F(EventActions, WhiteLedListKeepsSixteenEntriesInEitherForm)
{
    std::string items;
    for (int index = 0; index < 20; ++index)
        items += (index > 0 ? "," : "") + white_item(index + 1);
    const JsonPtr request = parse("{\"whiteInfo\": [" + items + "]}");
    whiteled_params row[kWhiteLedMax];
    ASSERT_EQ(get_white_params_by_json(7, row, request.get(), "whiteInfo"), 0);
    EXPECT_EQ(row[15].chnid, 16);
    EXPECT_EQ(row[15].owner, 7);
    ASSERT_EQ(write_whiteled_params_all(ZQDB_PATH, row, "motion_white_led_params", 7), 0);
    const std::string shown = text_of(get_white_params_json_object(7, "motion_white_led_params"));
    EXPECT_NE(shown.find("{ \"chnid\": 16, \"mode\": 2, \"time\": 30 } ]"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("\"chnid\": 17"), std::string::npos);

    const JsonPtr by_keys = parse(R"({"w": [[1, 2, 30], {"chnid": 4, "mode": 5, "time": 6}]})");
    ASSERT_EQ(get_white_params_by_json(3, row, by_keys.get(), "w"), 0);
    EXPECT_EQ(row[0].chnid, 0) << "one object element makes every element be read by keys";
    EXPECT_EQ(row[1].chnid, 4);
    EXPECT_EQ(row[1].time, 6);
    const JsonPtr as_array = parse(R"({"w": [[1, 2, 30]]})");
    ASSERT_EQ(get_white_params_by_json(3, row, as_array.get(), "w"), 0);
    EXPECT_EQ(row[0].owner, 3);
    EXPECT_EQ(row[0].chnid, 1);
    EXPECT_EQ(row[0].mode, 2);
    EXPECT_EQ(row[0].time, 30);
    EXPECT_EQ(row[1].chnid, 0) << "the row is cleared first";

    EXPECT_EQ(get_white_params_by_json(3, row, parse(R"({"w": 5})").get(), "w"), -1);
    EXPECT_EQ(get_white_params_by_json(3, row, as_array.get(), "missing"), -1);
    EXPECT_EQ(write_whiteled_params_all(ZQDB_PATH, row, "no_such_table", 3), -1);
}

TEST_F(EventActions, PeopleCountingWhiteLedRowIsClearedToo)
{
    whiteled_params row[kWhiteLedMax];
    memset(row, 0x11, sizeof row);
    const JsonPtr request = parse(R"({"w": [{"chnid": 2, "mode": 1, "time": 9}]})");
    ASSERT_EQ(get_pcnt_white_params_by_json(1, row, request.get(), "w"), 0);
    EXPECT_EQ(row[1].chnid, 0);
    ASSERT_EQ(write_peoplecnt_wled_params(ZQDB_PATH, row, 1), 0);
    EXPECT_EQ(text_of(get_pcnt_white_params_json_object(1)), R"([ { "chnid": 2, "mode": 1, "time": 9 } ])");
}

TEST_F(EventActions, AlarmOutputTextsFillOnlyTheElementsSent)
{
    event_chn_alarmout records[2] = {};
    strcpy(records[1].text, "kept");
    const std::string long_text(70, 'a');
    const JsonPtr request = parse("{\"t\": [\"" + long_text + "\"]}");
    ASSERT_EQ(get_event_chn_alarmout_by_object(4, request.get(), "t", records), 0);
    EXPECT_EQ(records[0].chnid, 4);
    EXPECT_EQ(std::string(records[0].text), std::string(64, 'a'));
    EXPECT_STREQ(records[1].text, "kept");
    EXPECT_EQ(records[1].chnid, 0);
    EXPECT_EQ(get_event_chn_alarmout_by_object(4, request.get(), "none", records), -1);
    EXPECT_EQ(get_event_chn_alarmout_by_object(4, parse(R"({"t": "x"})").get(), "t", records), -1);
    EXPECT_EQ(text_of(get_event_chn_alarmout_object("a", "b")), R"([ "a", "b" ])");
}

TEST_F(EventActions, HttpNotificationTextsAreCutAndKeptVerbatim)
{
    const std::string url = "h%s%d" + std::string(600, 'u');
    const JsonPtr request =
        parse("{\"h\": {\"url\": \"" + url + "\", \"username\": \"me\", \"password\": \"p%w\"}}");
    http_notification_params record;
    ASSERT_EQ(get_http_params_by_json(9, &record, request.get(), "h"), 0);
    EXPECT_EQ(record.id, 9);
    EXPECT_EQ(std::string(record.url), url.substr(0, 512));
    ASSERT_EQ(write_http_notification_params(ZQDB_PATH, &record, "motion_http_notification_params"), 0);
    const std::string shown = text_of(get_http_params_json_object(9, "motion_http_notification_params"));
    EXPECT_EQ(shown, "{ \"chnId\": 9, \"url\": \"" + url.substr(0, 512) +
                         "\", \"username\": \"me\", \"password\": \"p%w\" }");
    EXPECT_EQ(text_of(get_http_params_json_object(8, "motion_http_notification_params")),
              R"({ "chnId": 8, "url": "", "username": "", "password": "" })");
    EXPECT_EQ(get_http_params_by_json(9, &record, parse(R"({"h": [1]})").get(), "h"), -1);
}

TEST_F(EventActions, PtzListsStoreSixtyFourEntriesOfOwnersUpToFifteen)
{
    std::string items;
    for (int index = 0; index < 70; ++index)
        items += std::string(index > 0 ? "," : "") + "{\"acto_ptz_channel\": " + std::to_string(index + 1) +
                 ", \"acto_ptz_type\": 1, \"acto_ptz_preset\": 3, \"acto_ptz_pattern\": 8}";
    const JsonPtr array = parse("[" + items + "]");
    EXPECT_EQ(set_ptz_params_by_json(2, 1, array.get()), 1);
    ptz_params list[kPtzActionMax];
    int count = 0;
    ASSERT_EQ(read_ptz_params(ZQDB_PATH, list, 1, 2, &count), 0);
    EXPECT_EQ(list[63].acto_ptz_channel, 64);
    EXPECT_EQ(list[63].chn_id, 2);
    EXPECT_EQ(list[63].acto_ptz_pattern, 8);

    EXPECT_EQ(set_ptz_params_by_json(16, 1, array.get()), 0);
    EXPECT_EQ(set_ptz_params_by_json(-1, 1, array.get()), 0);
    EXPECT_EQ(set_ptz_params_by_json(3, 1, nullptr), 0);
    EXPECT_EQ(text_of(get_ptz_params_json_object(1, 16)), "[ ]") << "nothing stored for a refused owner";

    const JsonPtr sparse = parse(R"([{"acto_ptz_channel": 0}, {"acto_ptz_channel": 5, "acto_ptz_type": 2,
        "acto_ptz_patrol": 4, "acto_ptz_pattern": 7}])");
    EXPECT_EQ(set_ptz_params_by_json(2, 1, sparse.get()), 1);
    EXPECT_EQ(
        text_of(get_ptz_params_json_object(1, 2)),
        R"([ { "acto_ptz_channel": 5, "acto_ptz_type": 2, "acto_ptz_preset": 0, "acto_ptz_patrol": 4 } ])");
}

TEST_F(EventActions, PeopleCountingPtzListHoldsSixteen)
{
    std::string items;
    for (int index = 0; index < 20; ++index)
        items +=
            std::string(index > 0 ? "," : "") + "{\"acto_ptz_channel\": " + std::to_string(index + 1) + "}";
    EXPECT_EQ(set_ptz_params_by_json(0, kPtzTypePeopleCnt, parse("[" + items + "]").get()), 1);
    const std::string shown = text_of(get_ptz_params_json_object(kPtzTypePeopleCnt, 0));
    EXPECT_NE(shown.find("\"acto_ptz_channel\": 16,"), std::string::npos);
    EXPECT_EQ(shown.find("\"acto_ptz_channel\": 17,"), std::string::npos);
}

TEST_F(EventActions, SingleEntryPtzCallsAddReplaceAndDelete)
{
    ptz_params entry{3, 5, 0, 1, 2, 0, 0};
    ASSERT_EQ(write_ptz_params(ZQDB_PATH, &entry, 1), 0);
    entry.acto_ptz_preset = 9;
    ASSERT_EQ(write_ptz_params(ZQDB_PATH, &entry, 1), 0) << "same camera replaces its entry";
    ptz_params moved{3, 6, 0, 2, 0, 1, 0};
    ASSERT_EQ(update_ptz_params(ZQDB_PATH, &moved, 1, 5), 0);
    EXPECT_EQ(
        text_of(get_ptz_params_json_object(1, 3)),
        R"([ { "acto_ptz_channel": 6, "acto_ptz_type": 2, "acto_ptz_preset": 0, "acto_ptz_patrol": 1 } ])");
    ASSERT_EQ(delete_ptz_params(ZQDB_PATH, &moved, 1), 0);
    EXPECT_EQ(text_of(get_ptz_params_json_object(1, 3)), "[ ]");
}

TEST_F(EventActions, CopiesGiveEveryTargetItsOwnOwner)
{
    const JsonPtr request = parse(R"({"w": [[1, 2, 3]], "h": {"url": "u"}, "p": [{"acto_ptz_channel": 4}]})");
    whiteled_params row[kWhiteLedMax];
    ASSERT_EQ(get_white_params_by_json(1, row, request.get(), "w"), 0);
    ASSERT_EQ(write_whiteled_params_all(ZQDB_PATH, row, "motion_white_led_params", 1), 0);
    http_notification_params http;
    ASSERT_EQ(get_http_params_by_json(1, &http, request.get(), "h"), 0);
    ASSERT_EQ(write_http_notification_params(ZQDB_PATH, &http, "motion_http_notification_params"), 0);
    ASSERT_EQ(set_ptz_params_by_json(1, 1, json_get_member(request.get(), "p")), 1);
    const uint64_t mask = (1ull << 1) | (1ull << 2) | (1ull << 63);
    EXPECT_EQ(copy_whiteled_params(ZQDB_PATH, "motion_white_led_params", 1, mask), 0);
    EXPECT_EQ(copy_http_notification_params(ZQDB_PATH, "motion_http_notification_params", 1, mask), 0);
    EXPECT_EQ(copy_ptz_params_all(ZQDB_PATH, 1, 1, mask), 0);
    int count = 0;
    ASSERT_EQ(read_whiteled_params(ZQDB_PATH, row, "motion_white_led_params", 63, &count), 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(row[0].owner, 63);
    ASSERT_EQ(read_http_notification_params(ZQDB_PATH, &http, "motion_http_notification_params", 2), 0);
    EXPECT_EQ(http.id, 2);
    EXPECT_STREQ(http.url, "u");
    ptz_params list[kPtzActionMax];
    ASSERT_EQ(read_ptz_params(ZQDB_PATH, list, 1, 2, &count), 0);
    EXPECT_EQ(list[0].chn_id, 2);
    EXPECT_EQ(list[0].acto_ptz_channel, 4);
    EXPECT_EQ(read_whiteled_params(ZQDB_PATH, row, "motion_white_led_params", 3, &count), 0);
    EXPECT_EQ(count, 0) << "unmasked channels get nothing";
}

TEST_F(EventActions, AudioMaskAndSmartTypes)
{
    alarm_audio_file table[kAlarmAudioFiles] = {};
    table[0].present = 1;
    table[9].present = 1;
    table[4].present = 2;
    ASSERT_EQ(confdb_write_record(ZQDB_PATH, kRecAlarmAudioFiles, 0, table, sizeof table), 0);
    EXPECT_EQ(get_audio_file_id_mask(), 0x201);
    EXPECT_EQ(get_smart_event_ptz_type(0), 5);
    EXPECT_EQ(get_smart_event_ptz_type(8), 13);
    EXPECT_EQ(get_smart_event_ptz_type(9), -1);
    EXPECT_EQ(get_smart_event_ptz_type(-1), -1);
}

} // namespace
