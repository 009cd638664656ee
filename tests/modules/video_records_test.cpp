// The motion and smart event records of the configuration database: each
// channel (and event) under a key of its own, nothing stored outside the
// channels and events, copies that give every target its own channel, and
// stored texts that fill their fields read back ending within them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "modules/video/vca.h"
#include "modules/video/video.h"
#include "modules/video/videoloss_records.h"
#include "db_support.h"
#include "platform/confdb/confdb.h"
#include "reply_support.h"

namespace {

using VideoRecords = DatabaseTest;

schedule_record schedule_with(int32_t day_action)
{
    schedule_record schedule{};
    schedule.days[3].day_enable = 1;
    schedule.days[3].day_action_type = day_action;
    return schedule;
}

template <typename Record> bool same(const Record &left, const Record &right)
{
    return memcmp(&left, &right, sizeof left) == 0;
}

TEST_F(VideoRecords, MotionRecordsAndSchedulesStayUnderTheirChannel)
{
    motion_record record{};
    record.chnid = 63;
    record.sensitivity = 5;
    strcpy(record.motion_table, "ff00");
    ASSERT_EQ(write_motion(ZQDB_PATH, &record), 0);
    motion_record back;
    ASSERT_EQ(read_motion(ZQDB_PATH, &back, 63), kRecFound);
    EXPECT_TRUE(same(record, back));
    memset(&back, 0x55, sizeof back);
    EXPECT_EQ(read_motion(ZQDB_PATH, &back, 62), kRecAbsent);
    EXPECT_TRUE(same(back, motion_record{})) << "a channel never stored reads as zeros";

    for (const int chnid : {64, -1}) {
        record.chnid = chnid;
        EXPECT_EQ(write_motion(ZQDB_PATH, &record), -1) << chnid;
        EXPECT_FALSE(stored(kRecMotion, chnid)) << chnid;
    }
    const schedule_record schedule = schedule_with(4);
    EXPECT_EQ(write_motion_schedule_kind(ZQDB_PATH, kRecMotionEmailSchedule, &schedule, 64), -1);
    EXPECT_EQ(write_motion_schedule_kind(ZQDB_PATH, kRecMotionEmailSchedule, &schedule, -1), -1);
    ASSERT_EQ(write_motion_schedule_kind(ZQDB_PATH, kRecMotionEmailSchedule, &schedule, 0), 0);
    static schedule_record schedule_back;
    ASSERT_EQ(read_motion_schedule_kind(ZQDB_PATH, kRecMotionEmailSchedule, &schedule_back, 0), kRecFound);
    EXPECT_TRUE(same(schedule, schedule_back));
    EXPECT_EQ(read_motion_schedule_kind(ZQDB_PATH, kRecMotionPtzSchedule, &schedule_back, 0), kRecAbsent)
        << "each schedule kind is a record of its own";
}

TEST_F(VideoRecords, TriggerTextIsCutTo64AndTheMaskHoldsTheFirst32Channels)
{
    // Channels 0, 31, 32 and 63 and six characters past the last channel.
    std::string text(70, '0');
    text[0] = text[31] = text[32] = text[63] = text[64] = '1';
    motion_record record{};
    record.tri_channel_mask = -1;
    motion_set_tri_channels(&record, text.c_str());
    EXPECT_EQ(std::string(record.tri_channels), text.substr(0, 64));
    EXPECT_EQ(static_cast<uint32_t>(record.tri_channel_mask), 0x80000001u);
    motion_set_tri_channels(&record, nullptr);
    EXPECT_STREQ(record.tri_channels, "");
    EXPECT_EQ(record.tri_channel_mask, 0);
}

TEST_F(VideoRecords, MotionCopyGivesEachTargetItsChannelAndTheSourcesSchedules)
{
    motion_record source{};
    source.chnid = 2;
    source.email_interval = 7;
    strcpy(source.chn_alarmout0, "0110");
    const schedule_record effective = schedule_with(1);
    ASSERT_EQ(write_motion_schedule_kind(ZQDB_PATH, kRecMotionEffectiveSchedule, &effective, 2), 0);
    // Channel 5 had an audible schedule; the source has none, so after the
    // copy neither has one.
    ASSERT_EQ(write_motion_schedule_kind(ZQDB_PATH, kRecMotionAudibleSchedule, &effective, 5), 0);
    const uint64_t mask = uint64_t{1} << 2 | uint64_t{1} << 5 | uint64_t{1} << 63;
    ASSERT_EQ(copy_motion_setting(source, mask), 0);

    for (const int target : {5, 63}) {
        motion_record copy;
        ASSERT_EQ(read_motion(ZQDB_PATH, &copy, target), kRecFound) << target;
        EXPECT_EQ(copy.chnid, target);
        EXPECT_EQ(copy.email_interval, 7);
        EXPECT_STREQ(copy.chn_alarmout0, "0110");
        static schedule_record schedule;
        ASSERT_EQ(read_motion_schedule_kind(ZQDB_PATH, kRecMotionEffectiveSchedule, &schedule, target),
                  kRecFound);
        EXPECT_TRUE(same(schedule, effective)) << target;
    }
    EXPECT_FALSE(stored(kRecMotionAudibleSchedule, 5));
    EXPECT_FALSE(stored(kRecMotion, 2)) << "the source is not rewritten by its own copy";
    EXPECT_FALSE(stored(kRecMotion, 4));

    source.chnid = 64;
    EXPECT_EQ(copy_motion_setting(source, mask), -1);
    motion_record copy;
    ASSERT_EQ(read_motion(ZQDB_PATH, &copy, 5), kRecFound);
    EXPECT_EQ(copy.chnid, 5) << "a source outside the channels copies nothing";
}

TEST_F(VideoRecords, SmartEventsAreKeyedByChannelAndEvent)
{
    smart_event_record record{};
    record.chnid = 1;
    record.enable = 1;
    ASSERT_EQ(write_smart_event(ZQDB_PATH, &record, 0), 0);
    record.chnid = 0;
    record.enable = 2;
    ASSERT_EQ(write_smart_event(ZQDB_PATH, &record, 1), 0);
    record.chnid = 63;
    record.enable = 3;
    ASSERT_EQ(write_smart_event(ZQDB_PATH, &record, kSmartEventCount - 1), 0);

    smart_event_record back;
    ASSERT_EQ(read_smart_event(ZQDB_PATH, &back, 1, 0), kRecFound);
    EXPECT_EQ(back.enable, 1);
    ASSERT_EQ(read_smart_event(ZQDB_PATH, &back, 0, 1), kRecFound);
    EXPECT_EQ(back.enable, 2);
    ASSERT_EQ(read_smart_event(ZQDB_PATH, &back, 63, kSmartEventCount - 1), kRecFound);
    EXPECT_EQ(back.enable, 3);
    EXPECT_EQ(read_smart_event(ZQDB_PATH, &back, 0, 0), kRecAbsent);

    struct Key {
        int chnid;
        int index;
    };
    const schedule_record schedule = schedule_with(2);
    static schedule_record schedule_back;
    for (const Key key : {Key{64, 0}, Key{-1, 0}, Key{0, kSmartEventCount}, Key{0, -1}}) {
        record.chnid = key.chnid;
        EXPECT_EQ(write_smart_event(ZQDB_PATH, &record, key.index), -1) << key.chnid << "/" << key.index;
        memset(&back, 0x55, sizeof back);
        EXPECT_EQ(read_smart_event(ZQDB_PATH, &back, key.chnid, key.index), -1);
        EXPECT_TRUE(same(back, smart_event_record{}));
        EXPECT_EQ(write_smart_event_schedule(ZQDB_PATH, kRecSmartEventMailSchedule, &schedule, key.chnid,
                                             key.index),
                  -1);
        memset(&schedule_back, 0x55, sizeof schedule_back);
        EXPECT_EQ(read_smart_event_schedule(ZQDB_PATH, kRecSmartEventMailSchedule, &schedule_back, key.chnid,
                                            key.index),
                  -1);
        EXPECT_TRUE(same(schedule_back, schedule_record{}));
    }
    ASSERT_EQ(write_smart_event_schedule(ZQDB_PATH, kRecSmartEventMailSchedule, &schedule, 63, 8), 0);
    ASSERT_EQ(read_smart_event_schedule(ZQDB_PATH, kRecSmartEventMailSchedule, &schedule_back, 63, 8),
              kRecFound);
    EXPECT_TRUE(same(schedule, schedule_back));
    EXPECT_EQ(read_smart_event_schedule(ZQDB_PATH, kRecSmartEventMailSchedule, &schedule_back, 63, 7),
              kRecAbsent);
}

TEST_F(VideoRecords, SmartEventCopyGivesEachTargetItsChannelAndTheSourcesSchedules)
{
    const int index = kSmartEventLineCrossing;
    smart_event_record source{};
    source.chnid = 3;
    source.enable = 1;
    source.interval = 30;
    ASSERT_EQ(write_smart_event(ZQDB_PATH, &source, index), 0);
    const schedule_record effective = schedule_with(1);
    ASSERT_EQ(write_smart_event_schedule(ZQDB_PATH, kRecSmartEventEffectiveSchedule, &effective, 3, index),
              0);
    ASSERT_EQ(write_smart_event_schedule(ZQDB_PATH, kRecSmartEventMailSchedule, &effective, 9, index), 0);
    // Another event of a target is left alone.
    smart_event_record other{};
    other.chnid = 9;
    other.interval = 99;
    ASSERT_EQ(write_smart_event(ZQDB_PATH, &other, index + 1), 0);

    ASSERT_EQ(copy_smart_event_action(index, 3, 1u << 3 | 1u << 9, 1u << 31, 0), 0);
    static schedule_record schedule;
    for (const int target : {9, 63}) {
        smart_event_record copy;
        ASSERT_EQ(read_smart_event(ZQDB_PATH, &copy, target, index), kRecFound) << target;
        EXPECT_EQ(copy.chnid, target);
        EXPECT_EQ(copy.interval, 30);
        ASSERT_EQ(
            read_smart_event_schedule(ZQDB_PATH, kRecSmartEventEffectiveSchedule, &schedule, target, index),
            kRecFound);
        EXPECT_TRUE(same(schedule, effective));
        EXPECT_EQ(read_smart_event_schedule(ZQDB_PATH, kRecSmartEventMailSchedule, &schedule, target, index),
                  kRecAbsent)
            << target << ": the source has no mail schedule";
    }
    smart_event_record kept;
    ASSERT_EQ(read_smart_event(ZQDB_PATH, &kept, 9, index + 1), kRecFound);
    EXPECT_EQ(kept.interval, 99);
    EXPECT_EQ(read_smart_event(ZQDB_PATH, &kept, 4, index), kRecAbsent);
    EXPECT_EQ(copy_smart_event_action(kSmartEventCount, 3, 1u << 4, 0, 0), -1);
    EXPECT_EQ(copy_smart_event_action(index, 64, 1u << 4, 0, 0), -1);
    EXPECT_EQ(read_smart_event(ZQDB_PATH, &kept, 4, index), kRecAbsent);
}

// A record stored by another writer (an imported configuration, an older
// firmware) whose texts have no terminator: every text read ends within
// its field, so nothing that prints it reads into the next field.
template <typename Record> Record read_full_record(int kind, int id, int (*read)(const char *, Record *, int))
{
    Record full;
    memset(&full, 'x', sizeof full);
    EXPECT_EQ(confdb_write_record(ZQDB_PATH, kind, id, &full, sizeof full), 0);
    Record back;
    EXPECT_EQ(read(ZQDB_PATH, &back, id), kRecFound);
    return back;
}

template <size_t N> size_t text_length(const char (&field)[N]) { return strnlen(field, N); }

TEST_F(VideoRecords, StoredTextsWithoutTerminatorReadBackEndingInTheirField)
{
    const motion_record motion = read_full_record<motion_record>(kRecMotion, 4, read_motion);
    EXPECT_EQ(text_length(motion.motion_table), sizeof motion.motion_table - 1);
    EXPECT_EQ(text_length(motion.tri_channels), sizeof motion.tri_channels - 1);
    EXPECT_EQ(text_length(motion.chn_alarmout0), sizeof motion.chn_alarmout0 - 1);
    EXPECT_EQ(text_length(motion.chn_alarmout1), sizeof motion.chn_alarmout1 - 1);
    EXPECT_EQ(text_length(motion.tri_channels_pic), sizeof motion.tri_channels_pic - 1);

    const video_lost_record lost = read_full_record<video_lost_record>(kRecVideoLoss, 4, read_video_lost);
    EXPECT_EQ(lost.camId, 4);
    EXPECT_EQ(text_length(lost.chn_alarmout0), sizeof lost.chn_alarmout0 - 1);
    EXPECT_EQ(text_length(lost.chn_alarmout1), sizeof lost.chn_alarmout1 - 1);

    smart_event_record full;
    memset(&full, 'x', sizeof full);
    ASSERT_EQ(confdb_write_record(ZQDB_PATH, kRecSmartEvent, 2 << 8 | 4, &full, sizeof full), 0);
    smart_event_record smart;
    ASSERT_EQ(read_smart_event(ZQDB_PATH, &smart, 4, 2), kRecFound);
    EXPECT_EQ(text_length(smart.tri_channels), sizeof smart.tri_channels - 1);
    EXPECT_EQ(text_length(smart.chn_alarmout0), sizeof smart.chn_alarmout0 - 1);
    EXPECT_EQ(text_length(smart.chn_alarmout1), sizeof smart.chn_alarmout1 - 1);
    EXPECT_EQ(text_length(smart.tri_channels_pic), sizeof smart.tri_channels_pic - 1);

    // The motion page shows the texts as far as their fields go.
    CapturedOutput output;
    char request[] = R"({"chnid": 4})";
    on_get_movedetect_info(request);
    const Answer answer(Delivered{output.text(), 0});
    ASSERT_NE(answer.get(), nullptr);
    EXPECT_EQ(answer.text("triChannels"), std::string(64, 'x'));
    EXPECT_EQ(answer.text("motionTable"), std::string(kMotionTableSize - 1, 'x'));
    EXPECT_EQ(answer.text("tri_channels_pic"), std::string(64, 'x'));
    json_object *alarmouts = answer.at("triChnAlarms");
    ASSERT_EQ(json_object_array_length(alarmouts), 2u);
    EXPECT_EQ(json_object_get_string(json_object_array_get_idx(alarmouts, 0)), std::string(64, 'x'));
}

} // namespace
