// Recording settings of the configuration database: every channel has one,
// each is stored under its channel, and the column setter changes one
// field of the masked channels only.
#include <gtest/gtest.h>

#include <cstring>

#include "codecs/channel_db.h"
#include "codecs/record_db.h"
#include "platform/confdb/confdb.h"
#include "test_support.h"

namespace {

class RecordDb : public ::testing::Test {
protected:
    void TearDown() override { confdb_close(); }
    TempRoot root_;
};

record_setting setting_of(int id, int mode)
{
    record_setting setting{};
    setting.id = id;
    setting.mode = mode;
    setting.postRecordDuration = 30 + id;
    return setting;
}

TEST_F(RecordDb, EveryChannelReadsUnderItsOwnIdAndWritesGoUnderTheChannel)
{
    const record_setting five = setting_of(5, 2);
    ASSERT_EQ(write_record(ZQDB_PATH, &five), 0);
    static record_setting records[kRecordChannels];
    int count = -1;
    ASSERT_EQ(read_records(ZQDB_PATH, records, &count), 0);
    EXPECT_EQ(count, kRecordChannels);
    for (int chnid = 0; chnid < kRecordChannels; ++chnid) {
        EXPECT_EQ(records[chnid].id, chnid);
        EXPECT_EQ(records[chnid].mode, chnid == 5 ? 2 : 0);
    }
    record_setting one;
    EXPECT_EQ(read_record(ZQDB_PATH, &one, 9), kRecAbsent);
    EXPECT_EQ(one.id, 9) << "a channel never set is still that channel";
    EXPECT_EQ(read_record(ZQDB_PATH, &one, 64), kRecAbsent);
    EXPECT_EQ(one.id, 0);

    // A record whose id field says otherwise is stored under its channel.
    records[7] = setting_of(0, 1);
    records[8] = setting_of(8, 2);
    ASSERT_EQ(write_records(ZQDB_PATH, records, 1U << 7, 0), 0);
    ASSERT_EQ(read_record(ZQDB_PATH, &one, 7), kRecFound);
    EXPECT_EQ(one.id, 7);
    EXPECT_EQ(one.mode, 1);
    ASSERT_EQ(read_record(ZQDB_PATH, &one, 0), kRecAbsent) << "channel 0 is not overwritten";
    EXPECT_EQ(read_record(ZQDB_PATH, &one, 8), kRecAbsent) << "only masked channels are written";

    const record_setting bad = setting_of(64, 1);
    EXPECT_EQ(write_record(ZQDB_PATH, &bad), -1);
    const record_setting negative = setting_of(-1, 1);
    EXPECT_EQ(write_record(ZQDB_PATH, &negative), -1);
}

TEST_F(RecordDb, ColumnSetterKnowsItsColumnsAndChangesOnlyThem)
{
    camera_record camera{};
    camera.id = 33;
    camera.enable = 1;
    camera.cameraAnr = 0;
    camera.recordStreamType = 2;
    ASSERT_EQ(write_camera(ZQDB_PATH, &camera), 0);
    ASSERT_EQ(copy_table_column_int(ZQDB_PATH, "camera", "anr", 1, 0, 1U << 1, "id"), 0);
    ASSERT_EQ(copy_table_column_int(ZQDB_PATH, "camera", "record_stream", 0, 0, 1U << 1, "id"), 0);
    camera_record back;
    ASSERT_EQ(read_camera(ZQDB_PATH, &back, 33), kRecFound);
    camera.cameraAnr = 1;
    camera.recordStreamType = 0;
    EXPECT_EQ(memcmp(&back, &camera, sizeof camera), 0);

    ASSERT_EQ(copy_table_column_int(ZQDB_PATH, "record", "mode", 2, 1U << 3, 0, "id"), 0);
    record_setting setting;
    ASSERT_EQ(read_record(ZQDB_PATH, &setting, 3), kRecFound);
    EXPECT_EQ(setting.id, 3);
    EXPECT_EQ(setting.mode, 2);

    EXPECT_EQ(copy_table_column_int(ZQDB_PATH, "camera", "name", 1, 1, 0, "id"), -1);
    EXPECT_EQ(copy_table_column_int(ZQDB_PATH, "record", "mode", 1, 1, 0, "chnid"), -1);
    EXPECT_EQ(copy_table_column_int(ZQDB_PATH, nullptr, "mode", 1, 1, 0, "id"), -1);
    EXPECT_EQ(read_record(ZQDB_PATH, &setting, 0), kRecAbsent);
}

} // namespace
