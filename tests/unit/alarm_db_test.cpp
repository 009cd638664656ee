#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "codecs/alarm_db.h"
#include "codecs/event_action_db.h"
#include "codecs/event_actions.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "platform/confdb/confdb.h"
#include "test_support.h"

namespace {

class AlarmDb : public ::testing::Test {
protected:
    void TearDown() override { confdb_close(); }
    TempRoot root_;
};

alarm_chnin_event_record camera_input(int chnid, int alarm_id, const char *tri)
{
    alarm_chnin_event_record record{};
    record.chnid = chnid;
    record.alarm_id = alarm_id;
    strcpy(record.tri_channels, tri);
    record.interval = 10;
    return record;
}

schedule_record schedule_from(const char *start)
{
    schedule_record schedule{};
    strcpy(schedule.days[0].sections[0].start_time, start);
    return schedule;
}

TEST_F(AlarmDb, RecordsReadAsTheIdAskedForAndWritesRefuseOtherIds)
{
    alarm_in_record input;
    EXPECT_EQ(read_alarm_in(ZQDB_PATH, &input, 9), kRecAbsent);
    EXPECT_EQ(input.id, 9) << "an input never stored is still input 9";
    strcpy(input.name, "Vault");
    ASSERT_EQ(write_alarm_in(ZQDB_PATH, &input), 0);
    input.id = 16;
    EXPECT_EQ(write_alarm_in(ZQDB_PATH, &input), -1);
    input.id = -1;
    EXPECT_EQ(write_alarm_in(ZQDB_PATH, &input), -1);

    static alarm_in_record list[kAlarmInputs];
    ASSERT_EQ(read_alarm_ins(ZQDB_PATH, list), 0);
    for (int id = 0; id < kAlarmInputs; ++id)
        EXPECT_EQ(list[id].id, id);
    EXPECT_STREQ(list[9].name, "Vault");

    alarm_out_record output{};
    output.id = 4;
    EXPECT_EQ(write_alarm_out(ZQDB_PATH, &output), -1);
    EXPECT_EQ(read_alarm_out(ZQDB_PATH, &output, 4), kRecAbsent);

    alarm_chnin_event_record event = camera_input(64, 0, "1");
    EXPECT_EQ(write_alarm_chnIn_event(ZQDB_PATH, &event), -1);
    event = camera_input(3, 4, "1");
    EXPECT_EQ(write_alarm_chnIn_event(ZQDB_PATH, &event), -1);
    alarm_chnout_name_record name{5, 2, 0, {}};
    EXPECT_EQ(write_alarm_chnOut_event_name(ZQDB_PATH, &name), -1);
    EXPECT_EQ(confdb_read_records(ZQDB_PATH, kRecAlarmChnInEvent, &event, sizeof event, 1, nullptr), 0);
}

TEST_F(AlarmDb, ListWritesStoreOnlyTheMaskedEntriesUnderTheirPositions)
{
    static alarm_in_record list[kAlarmInputs];
    ASSERT_EQ(read_alarm_ins(ZQDB_PATH, list), 0);
    for (alarm_in_record &entry : list) {
        entry.id = 0; // a list entry is stored by its position, whatever its id says
        entry.interval = 7;
    }
    ASSERT_EQ(write_alarm_ins(ZQDB_PATH, list, 1u << 3 | 1u << 15), 0);
    alarm_in_record stored;
    EXPECT_EQ(read_alarm_in(ZQDB_PATH, &stored, 0), kRecAbsent);
    ASSERT_EQ(read_alarm_in(ZQDB_PATH, &stored, 3), kRecFound);
    EXPECT_EQ(stored.interval, 7);
    ASSERT_EQ(read_alarm_in(ZQDB_PATH, &stored, 15), kRecFound);
    EXPECT_EQ(stored.id, 15);

    static alarm_chnout_name_record names[kAlarmChannels];
    ASSERT_EQ(read_alarm_chnOut_event_names(ZQDB_PATH, names, kAlarmChannels, 1), 0);
    EXPECT_EQ(names[40].chnid, 40);
    EXPECT_EQ(names[40].alarm_id, 1);
    names[40].delay_time = 12;
    names[41].delay_time = 13;
    ASSERT_EQ(write_alarm_chnOut_event_names(ZQDB_PATH, names, kAlarmChannels, 1, uint64_t{1} << 40), 0);
    alarm_chnout_name_record name;
    ASSERT_EQ(read_alarm_chnOut_event_name(ZQDB_PATH, &name, 40, 1), kRecFound);
    EXPECT_EQ(name.delay_time, 12);
    EXPECT_EQ(read_alarm_chnOut_event_name(ZQDB_PATH, &name, 41, 1), kRecAbsent);
    EXPECT_EQ(read_alarm_chnOut_event_name(ZQDB_PATH, &name, 40, 0), kRecAbsent)
        << "output 0 is its own record";
}

TEST_F(AlarmDb, CameraCopiesGoToTheSameInputOfEachMaskedChannel)
{
    const alarm_chnin_event_record source = camera_input(2, 1, "0110");
    ASSERT_EQ(write_alarm_chnIn_event(ZQDB_PATH, &source), 0);
    const alarm_chnin_event_record other = camera_input(5, 1, "1");
    ASSERT_EQ(write_alarm_chnIn_event(ZQDB_PATH, &other), 0);
    ASSERT_EQ(
        copy_alarm_chnIn_events(ZQDB_PATH, 2, 1, uint64_t{1} << 2 | uint64_t{1} << 5 | uint64_t{1} << 63), 0);
    alarm_chnin_event_record copy;
    for (const int chnid : {5, 63}) {
        ASSERT_EQ(read_alarm_chnIn_event(ZQDB_PATH, &copy, chnid, 1), kRecFound);
        EXPECT_STREQ(copy.tri_channels, "0110");
        ASSERT_EQ(confdb_read_record(ZQDB_PATH, kRecAlarmChnInEvent, camera_alarm_key(chnid, 1), &copy,
                                     sizeof copy),
                  kRecFound);
        EXPECT_EQ(copy.chnid, chnid) << "each copy carries its own channel";
        EXPECT_EQ(copy.alarm_id, 1);
    }
    EXPECT_EQ(read_alarm_chnIn_event(ZQDB_PATH, &copy, 5, 0), kRecAbsent);
    EXPECT_EQ(copy_alarm_chnIn_events(ZQDB_PATH, 2, 4, ~uint64_t{0}), -1);

    // A schedule never stored empties the targets instead of leaving theirs.
    const schedule_record stored = schedule_from("07:00");
    ASSERT_EQ(write_alarm_chnIn_schedule(ZQDB_PATH, kRecAlarmChnInMailSchedule, &stored, 9, 3), 0);
    ASSERT_EQ(copy_alarm_chnIn_schedules(ZQDB_PATH, kRecAlarmChnInMailSchedule, 8, 3, uint64_t{1} << 9), 0);
    static schedule_record read;
    ASSERT_EQ(read_alarm_chnIn_schedule(ZQDB_PATH, kRecAlarmChnInMailSchedule, &read, 9, 3), kRecFound);
    EXPECT_STREQ(read.days[0].sections[0].start_time, "");
    EXPECT_EQ(write_alarm_chnIn_schedule(ZQDB_PATH, kRecMotionSchedule, &stored, 9, 3), -1)
        << "only the camera input schedule kinds";
}

TEST_F(AlarmDb, InputSchedulesStayWithinTheSixteenInputs)
{
    const schedule_record stored = schedule_from("06:00");
    ASSERT_EQ(write_alarmin_schedule(ZQDB_PATH, kRecAlarminEffectiveSchedule, &stored, 1), 0);
    ASSERT_EQ(copy_alarmin_schedules(ZQDB_PATH, kRecAlarminEffectiveSchedule, 1, 0xffffffffu), 0);
    static schedule_record read;
    EXPECT_EQ(read_alarmin_schedule(ZQDB_PATH, kRecAlarminEffectiveSchedule, &read, 15), kRecFound);
    EXPECT_STREQ(read.days[0].sections[0].start_time, "06:00");
    EXPECT_EQ(confdb_read_record(ZQDB_PATH, kRecAlarminEffectiveSchedule, 16, &read, sizeof read),
              kRecAbsent);
    EXPECT_EQ(write_alarmin_schedule(ZQDB_PATH, kRecAlarminEffectiveSchedule, &stored, 16), -1);

    static schedule_record sent;
    memset(&sent, 0, sizeof sent);
    sent.days[7].sections[11].action_type = 2;
    sent.days[0].sections[12].action_type = 3;
    ASSERT_EQ(write_alarm_in_schedule(ZQDB_PATH, &sent, 4, 6), 0);
    ASSERT_EQ(read_alarmin_schedule(ZQDB_PATH, kRecAlarmInSchedule, &read, 4), kRecFound);
    EXPECT_EQ(read.days[0].sections[0].action_type, 6);
    EXPECT_EQ(read.days[7].sections[11].action_type, 6);
    EXPECT_EQ(read.days[0].sections[12].action_type, 3) << "sections the browser never sees are kept";
}

TEST_F(AlarmDb, StoredTextsReadTerminatedAndTriggerTextsSetTheirMask)
{
    alarm_in_record input{};
    input.id = 2;
    memset(input.name, 'n', sizeof input.name);
    memset(input.chn_alarmout1, 'o', sizeof input.chn_alarmout1);
    memset(input.tri_channels_pic, 'p', sizeof input.tri_channels_pic);
    ASSERT_EQ(confdb_write_record(ZQDB_PATH, kRecAlarmIn, 2, &input, sizeof input), 0);
    ASSERT_EQ(read_alarm_in(ZQDB_PATH, &input, 2), kRecFound);
    EXPECT_EQ(strlen(input.name), sizeof input.name - 1);
    EXPECT_EQ(strlen(input.chn_alarmout1), sizeof input.chn_alarmout1 - 1);
    EXPECT_EQ(strlen(input.tri_channels_pic), sizeof input.tri_channels_pic - 1);

    const std::string channels = "01" + std::string(37, '0') + "1" + std::string(30, '1');
    alarm_in_set_tri_channels(&input, channels.c_str());
    EXPECT_EQ(input.tri_channel_mask, 2) << "positions from 32 set no bit";
    EXPECT_EQ(std::string(input.tri_channels), channels.substr(0, 64));
    alarm_in_set_tri_channels(&input, "1");
    EXPECT_EQ(input.tri_channels[1], '\0');
    EXPECT_EQ(input.tri_channels[40], '\0') << "no remains of the longer text";
    EXPECT_EQ(input.tri_channel_mask, 1);
}

TEST_F(AlarmDb, CameraInputActionTablesAndPtzTypesAreTheirOwn)
{
    EXPECT_EQ(converse_chn_alarmid_to_event_in(0), 27);
    EXPECT_EQ(converse_chn_alarmid_to_event_in(3), 30);
    EXPECT_EQ(converse_chn_alarmid_to_event_in(4), -1);
    EXPECT_EQ(converse_chn_alarmid_to_event_in(-1), -1);
    const char *tables[] = {"alarm_chnIn0_white_led_params", "alarm_chnIn1_whiteled_esche",
                            "alarm_chnIn2_http_notification_sche", "alarm_chnIn3_http_notification_params"};
    int previous = event_table_slot("people_cnt_white_led_params");
    for (const char *table : tables) {
        const int slot = event_table_slot(table);
        EXPECT_GT(slot, previous) << table << " follows the tables stored before it";
        previous = slot;
    }
    EXPECT_EQ(event_table_slot("alarm_chnIn4_white_led_params"), -1);
}

TEST_F(AlarmDb, ActionReplyLeavesOutTheHttpKeysOfNullTables)
{
    const EventActionTables tables = {"alarm_in_white_led_params", "alarmin_whiteled_esche", nullptr, nullptr,
                                      kPtzTypeAlarmIn};
    char out0[kChnAlarmoutTextSize] = "1";
    char out1[kChnAlarmoutTextSize] = "";
    const int32_t white_interval = 4;
    const JsonPtr reply = json_new_object();
    event_actions_add_reply(reply.get(), tables, 3, EventActionFields{out0, out1, 2, &white_interval});
    const std::string text = json_object_to_json_string(reply.get());
    EXPECT_EQ(text.find("http"), std::string::npos) << text;
    EXPECT_NE(text.find("\"white_interval\": 4, \"audioId\": 2, \"audioIdMask\": 0, \"ptzParams\": [ ] }"),
              std::string::npos)
        << text;
}

TEST(EventFields, PresentKeysSetTheirFieldsAndTextsAreCutAndCleared)
{
    const JsonPtr request(get_request_tokener_json_object(R"({"a": 5, "b": "x", "t": "abcdef"})"));
    int32_t a = 1;
    int32_t b = 2;
    int32_t c = 3;
    const EventIntKey keys[] = {{"a", &a}, {"b", &b}, {"c", &c}, {"a", nullptr}};
    EXPECT_TRUE(event_set_ints(request.get(), keys, 4));
    EXPECT_EQ(a, 5);
    EXPECT_EQ(b, 2) << "a text that is no number is absent";
    EXPECT_EQ(c, 3);
    EXPECT_FALSE(event_set_ints(request.get(), keys + 1, 2));
    char field[4];
    memset(field, 'z', sizeof field);
    EXPECT_TRUE(event_set_text(request.get(), "t", field, sizeof field));
    EXPECT_STREQ(field, "abc");
    EXPECT_FALSE(event_set_text(request.get(), "missing", field, sizeof field));
    EXPECT_STREQ(field, "abc");
}

} // namespace
