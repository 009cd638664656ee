// The alarm module: the cameras' alarm input and output replies (short
// replies, counts beyond what a camera has, each field at its offset with
// the stored setting beside it), the copy mask of the setters, and the
// name lists, whose stored names may fill their fields.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "modules/alarm/alarm.h"
#include "platform/confdb/confdb.h"
#include "reply_support.h"

namespace {

class AlarmTest : public ::testing::Test {
protected:
    void TearDown() override { confdb_close(); }

    static Delivered deliver(int32_t code, const std::string &payload)
    {
        return deliver_reply(on_alarm_ipc_callback, code, payload);
    }

    // Stores a record of `Record`'s size filled with `fill` and no terminator.
    template <typename Record> static void store_full(int kind, int id, char fill)
    {
        Record record;
        memset(&record, fill, sizeof record);
        ASSERT_EQ(confdb_write_record(ZQDB_PATH, kind, id, &record, sizeof record), 0);
    }

    TempRoot root_;
};

TEST_F(AlarmTest, CameraRepliesShortAreNoReplyAndWholeOnesAnswer)
{
    const ReplySize needed[] = {{kReplyGetCameraAlarmIn, 56}, {kReplyGetCameraAlarmOut, 24}};
    expect_short_replies_ignored(on_alarm_ipc_callback, needed, 1);
    EXPECT_EQ(deliver(8297, std::string(56, '\0')).out, "") << "other codes are not answered";
}

TEST_F(AlarmTest, CameraInputsListTheReplysCountWithTheStoredSetting)
{
    store_full<alarm_chnin_name_record>(kRecAlarmChnInName, camera_alarm_key(5, 1), 'n');
    Bytes state(56);
    state.i32(0, 5).i32(4, 1).i32(8, 0).i32(20, 2).i32(24, 3).i32(36, 0).i32(40, 1).i32(52, 2);
    const Answer two(deliver(kReplyGetCameraAlarmIn, state.str()));
    ASSERT_NE(two.get(), nullptr);
    EXPECT_EQ(two.num("chnid"), 5);
    EXPECT_EQ(two.num("alarmCnt"), 2);
    json_object *alarms = two.at("alarm");
    ASSERT_EQ(json_object_array_length(alarms), 2u);
    json_object *first = json_object_array_get_idx(alarms, 0);
    json_object *second = json_object_array_get_idx(alarms, 1);
    EXPECT_EQ(json_int_at(first, "alarmEnable"), 1);
    EXPECT_EQ(json_int_at(first, "alarmType"), 2);
    EXPECT_EQ(json_int_at(first, "alarmStatus"), 0);
    EXPECT_EQ(json_int_at(second, "alarmEnable"), 0);
    EXPECT_EQ(json_int_at(second, "alarmType"), 3);
    EXPECT_EQ(json_int_at(second, "alarmStatus"), 1);
    EXPECT_EQ(json_text_at(first, "alarmName"), "");
    EXPECT_EQ(json_text_at(second, "alarmName"), std::string(63, 'n'))
        << "a stored name that fills its field ends within it";

    state.i32(52, -1);
    const Answer none(deliver(kReplyGetCameraAlarmIn, state.str()));
    EXPECT_EQ(none.num("alarmCnt"), 0);
    EXPECT_EQ(json_object_array_length(none.at("alarm")), 0u);
}

TEST_F(AlarmTest, CameraOutputsAreAlwaysTwoWithTheirStoredNames)
{
    store_full<alarm_chnout_name_record>(kRecAlarmChnOutName, camera_alarm_key(63, 1), 'q');
    Bytes state(24);
    state.i32(0, 63).i32(4, 1).i32(8, 2).i32(12, 0).i32(16, 1).i32(20, 7);
    const Answer answer(deliver(kReplyGetCameraAlarmOut, state.str()));
    ASSERT_NE(answer.get(), nullptr);
    EXPECT_EQ(answer.num("alarmCnt"), 2);
    json_object *alarms = answer.at("alarm");
    ASSERT_EQ(json_object_array_length(alarms), 2u);
    json_object *second = json_object_array_get_idx(alarms, 1);
    EXPECT_EQ(json_keys(second),
              (std::vector<std::string>{"alarmType", "alarmStatus", "alarmName", "delayTime", "effective"}));
    EXPECT_EQ(json_int_at(second, "alarmType"), 2);
    EXPECT_EQ(json_int_at(second, "alarmStatus"), 1);
    EXPECT_EQ(json_text_at(second, "alarmName"), std::string(63, 'q'));
    EXPECT_EQ(json_int_at(json_object_array_get_idx(alarms, 0), "alarmType"), 1);

    state.i32(20, -5);
    EXPECT_EQ(Answer(deliver(kReplyGetCameraAlarmOut, state.str())).num("alarmCnt"), 0);
}

TEST_F(AlarmTest, CopyMaskTakesListedIdsInRangeOtherThanTheSource)
{
    struct Case {
        const char *request;
        int source;
        int limit;
        uint32_t mask;
    };
    const Case cases[] = {
        {R"({"copyChn": [0, 3, 4, -1, 2, 63], "copyCnt": 6})", 2, 4, 0x9u},
        {R"({"copyChn": [15, 16, 1, 0], "copyCnt": 3})", 0, 16, 0x8002u},
        {R"({"copyChn": [1, 2], "copyCnt": 10})", 0, 16, 0x6u},
        {R"({"copyChn": [1, 2], "copyCnt": 1})", 0, 16, 0x2u},
        {R"({"copyChn": [1, 2]})", 0, 16, 0u},
        {R"({"copyChn": 1, "copyCnt": 1})", 0, 16, 0u},
        {R"({"copyChn": [0, 31, 32], "copyCnt": 3})", 5, 64, 0x80000001u},
    };
    for (const Case &test : cases) {
        json_object *request = json_tokener_parse(test.request);
        ASSERT_NE(request, nullptr) << test.request;
        EXPECT_EQ(alarm_copy_mask(request, test.source, test.limit), test.mask) << test.request;
        json_object_put(request);
    }
}

TEST_F(AlarmTest, NameListsCoverEveryInputAndOutputAndEndNamesInTheirField)
{
    store_full<alarm_out_record>(kRecAlarmOut, 3, 'o');
    store_full<alarm_chnout_name_record>(kRecAlarmChnOutName, camera_alarm_key(63, 1), 'q');
    store_full<alarm_in_record>(kRecAlarmIn, 15, 'i');
    store_full<alarm_chnin_name_record>(kRecAlarmChnInName, camera_alarm_key(0, 3), 'c');

    struct List {
        int (*handler)(char *);
        size_t nvr;
        size_t per_camera;
        size_t nvr_full;
        std::string nvr_name;
        size_t camera;
        size_t camera_alarm;
        std::string camera_name;
    };
    const List lists[] = {
        {on_get_all_alarmout_names, 4, 2, 3, std::string(255, 'o'), 63, 1, std::string(63, 'q')},
        {on_get_all_alarmin_names, 16, 4, 15, std::string(255, 'i'), 0, 3, std::string(63, 'c')},
    };
    for (const List &list : lists) {
        CapturedOutput output;
        char body[] = "";
        list.handler(body);
        const Answer answer(Delivered{output.text(), 0});
        ASSERT_NE(answer.get(), nullptr) << output.text();
        json_object *nvr = answer.at("nvr");
        ASSERT_EQ(json_object_array_length(nvr), list.nvr);
        EXPECT_EQ(json_object_get_string(json_object_array_get_idx(nvr, list.nvr_full)), list.nvr_name);
        EXPECT_STREQ(json_object_get_string(json_object_array_get_idx(nvr, 0)), "");
        json_object *cameras = answer.at("camera");
        ASSERT_EQ(json_object_array_length(cameras), 64u);
        for (size_t chnid = 0; chnid < 64; ++chnid)
            ASSERT_EQ(json_object_array_length(json_object_array_get_idx(cameras, chnid)), list.per_camera);
        json_object *names = json_object_array_get_idx(cameras, list.camera);
        EXPECT_EQ(json_object_get_string(json_object_array_get_idx(names, list.camera_alarm)),
                  list.camera_name);
    }
}

} // namespace
