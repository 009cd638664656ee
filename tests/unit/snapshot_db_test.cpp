// Snapshot records and channel lists: list parsing keeps only real
// channels and never reads past the array, a schedule block stores each
// listed channel's own record and nothing else, a parameter copy reaches
// exactly the masked channels.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "codecs/json_util.h"
#include "modules/video/snapshot.h"
#include "platform/confdb/confdb.h"
#include "test_support.h"

namespace {

class SnapshotDb : public ::testing::Test {
protected:
    void TearDown() override { confdb_close(); }
    TempRoot root_;
};

int parse_list(const char *json, int count, int32_t channels[kSnapshotChannels])
{
    const JsonPtr list(json_tokener_parse(json));
    return snapshot_list_channels(list.get(), count, channels);
}

TEST(SnapshotList, KeepsChannelsInOrderAndSkipsOthers)
{
    int32_t channels[kSnapshotChannels];
    ASSERT_EQ(parse_list("[5, -1, 64, \"7\", 63, null, {}, 0]", 8, channels), 4);
    EXPECT_EQ(channels[0], 5);
    EXPECT_EQ(channels[1], 7);
    EXPECT_EQ(channels[2], 63);
    EXPECT_EQ(channels[3], 0);
    EXPECT_EQ(channels[4], 0);
}

TEST(SnapshotList, CountLimitsAndNeverReadsPastTheArray)
{
    int32_t channels[kSnapshotChannels];
    EXPECT_EQ(parse_list("[1, 2, 3]", 2, channels), 2);
    EXPECT_EQ(parse_list("[1, 2, 3]", 100, channels), 3);
    EXPECT_EQ(parse_list("[1, 2, 3]", -1, channels), 0);
    EXPECT_EQ(parse_list("{\"a\": 1}", 5, channels), 0);
    EXPECT_EQ(snapshot_list_channels(nullptr, 5, channels), 0);
    std::string many = "[";
    for (int index = 0; index < 70; ++index)
        many += std::to_string(index % 64) + (index < 69 ? "," : "]");
    EXPECT_EQ(parse_list(many.c_str(), 70, channels), kSnapshotChannels);
}

TEST_F(SnapshotDb, ScheduleBlockStoresEachListedChannelOnly)
{
    std::unique_ptr<snapshot_schedule_record[]> block(new snapshot_schedule_record[kSnapshotChannels]());
    for (int chnid = 0; chnid < kSnapshotChannels; ++chnid) {
        block[chnid].chnid = chnid;
        block[chnid].schedule.days[0].sections[0].action_type = chnid + 100;
    }
    snapshot_channel_list list{};
    list.channels[0] = 9;
    list.channels[1] = 2;
    list.count = 2;
    ASSERT_EQ(write_snapshot_schedules(ZQDB_PATH, block.get(), list), 0);
    static snapshot_schedule_record record;
    ASSERT_EQ(read_snapshot_schedule(ZQDB_PATH, &record, 9), kRecFound);
    EXPECT_EQ(record.chnid, 9);
    EXPECT_EQ(record.schedule.days[0].sections[0].action_type, 109);
    ASSERT_EQ(read_snapshot_schedule(ZQDB_PATH, &record, 2), kRecFound);
    EXPECT_EQ(record.schedule.days[0].sections[0].action_type, 102);
    EXPECT_EQ(read_snapshot_schedule(ZQDB_PATH, &record, 0), kRecAbsent);
    EXPECT_EQ(read_snapshot_schedule(ZQDB_PATH, &record, 64), -1);
    const snapshot_channel_list none{};
    EXPECT_EQ(write_snapshot_schedules(ZQDB_PATH, block.get(), none), 0);
}

TEST_F(SnapshotDb, ParameterCopyReachesTheMaskedChannelsOfBothWords)
{
    snapshot_params_record params{};
    params.resolution = 3;
    params.expiration_date = 14;
    ASSERT_EQ(copy_snapshots(ZQDB_PATH, &params, 1u << 4, 1u << 31), 0);
    snapshot_params_record read{};
    ASSERT_EQ(read_snapshot(ZQDB_PATH, &read, 4), kRecFound);
    EXPECT_EQ(memcmp(&read, &params, sizeof params), 0);
    ASSERT_EQ(read_snapshot(ZQDB_PATH, &read, 63), kRecFound);
    EXPECT_EQ(read.expiration_date, 14);
    EXPECT_EQ(read_snapshot(ZQDB_PATH, &read, 5), kRecAbsent);
    EXPECT_EQ(read_snapshot(ZQDB_PATH, &read, -1), -1);
}

} // namespace
