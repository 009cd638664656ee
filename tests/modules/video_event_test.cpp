// The video loss, exception and exception notification records: what the
// list and copy calls store, and that no call strays outside its channels.
#include <gtest/gtest.h>

#include <cstring>

#include "codecs/event_action_db.h"
#include "modules/video/videoloss_records.h"
#include "db_support.h"
#include "platform/confdb/confdb.h"
#include "test_support.h"

namespace {

using VideoEventDb = DatabaseTest;

TEST_F(VideoEventDb, VideoLossRecordsStayUnderTheirOwnChannel)
{
    video_lost_record record;
    EXPECT_EQ(read_video_lost(ZQDB_PATH, &record, 12), kRecAbsent);
    EXPECT_EQ(record.camId, 12) << "a channel never stored still reads as itself";
    EXPECT_EQ(read_video_lost(ZQDB_PATH, &record, 64), kRecAbsent);
    EXPECT_EQ(record.camId, 0);
    record.camId = 64;
    EXPECT_EQ(write_video_lost(ZQDB_PATH, &record), -1);
    record.camId = -1;
    EXPECT_EQ(write_video_lost(ZQDB_PATH, &record), -1);
    EXPECT_FALSE(stored(kRecVideoLoss, 0));
}

TEST_F(VideoEventDb, ListWriteStoresMaskedChannelsAndCopyGivesEachItsId)
{
    static video_lost_record list[64];
    ASSERT_EQ(read_video_losts(ZQDB_PATH, list), 0);
    list[3].tri_alarms = 5;
    list[40].tri_alarms = 6;
    list[41].tri_alarms = 7;
    ASSERT_EQ(write_video_losts(ZQDB_PATH, list, uint64_t{1} << 3 | uint64_t{1} << 40), 0);
    EXPECT_TRUE(stored(kRecVideoLoss, 3));
    EXPECT_TRUE(stored(kRecVideoLoss, 40));
    EXPECT_FALSE(stored(kRecVideoLoss, 41)) << "only masked channels are written";

    video_lost_record source{};
    source.camId = 3;
    source.interval = 25;
    strcpy(source.chn_alarmout0, "01");
    ASSERT_EQ(copy_video_losts(ZQDB_PATH, source, uint64_t{1} << 3 | uint64_t{1} << 63), 0);
    video_lost_record copy;
    ASSERT_EQ(read_video_lost(ZQDB_PATH, &copy, 63), kRecFound);
    EXPECT_EQ(copy.camId, 63);
    EXPECT_EQ(copy.interval, 25);
    EXPECT_STREQ(copy.chn_alarmout0, "01");
    ASSERT_EQ(read_video_lost(ZQDB_PATH, &copy, 3), kRecFound);
    EXPECT_EQ(copy.tri_alarms, 5) << "the source itself is not rewritten by its copy";
}

TEST_F(VideoEventDb, ExceptionNotificationsKeepUnusedEntriesMarked)
{
    static http_notification_params list[kExceptionNumbers];
    for (int number = 0; number < kExceptionNumbers; ++number) {
        list[number] = http_notification_params{};
        list[number].id = number == 4 ? 4 : -1;
    }
    strcpy(list[4].url, "http://h/ip");
    const char *table = "except_http_notification_params";
    ASSERT_EQ(write_http_notification_params_batch(ZQDB_PATH, list, table, kExceptionNumbers), 0);
    static http_notification_params back[kExceptionNumbers];
    ASSERT_EQ(read_http_notification_params_init(ZQDB_PATH, table, back, kExceptionNumbers), 0);
    EXPECT_EQ(back[4].id, 4);
    EXPECT_STREQ(back[4].url, "http://h/ip");
    EXPECT_EQ(back[9].id, -1);
    EXPECT_EQ(write_http_notification_params_batch(ZQDB_PATH, list, "no_such_table", 1), -1);

    char name[kExceptionNameSize] = "x";
    get_exception_name(8, name, sizeof name);
    EXPECT_STREQ(name, "") << "number 8 is not used";
    get_exception_name(-1, name, sizeof name);
    EXPECT_STREQ(name, "");
    get_exception_name(0, name, 4);
    EXPECT_STREQ(name, "dis") << "the name is cut to the buffer";
}

TEST_F(VideoEventDb, TriggerAlarmsRoundTrip)
{
    trigger_alarm_record record{};
    record.exceptions[7] = 1;
    record.recordFailedMailInterval = 15;
    ASSERT_EQ(write_trigger_alarms(ZQDB_PATH, &record), 0);
    trigger_alarm_record back;
    ASSERT_EQ(read_trigger_alarms(ZQDB_PATH, &back), kRecFound);
    EXPECT_EQ(memcmp(&record, &back, sizeof record), 0);
}

} // namespace
