// Snapshot schedules and parameters of the configuration database, one
// record per channel, and the channel lists of the snapshot pages.
#include <cstring>

#include "codecs/channel_mask.h"
#include "codecs/params.h"
#include "modules/video/snapshot.h"
#include "platform/confdb/confdb.h"

namespace {

bool snapshot_channel_valid(int chnid) { return chnid >= 0 && chnid < kSnapshotChannels; }

template <typename Record> int read_channel_record(const char *db, int kind, Record *record, int chnid)
{
    if (!snapshot_channel_valid(chnid)) {
        memset(record, 0, sizeof *record);
        return -1;
    }
    return confdb_read_record(db, kind, chnid, record, sizeof *record);
}

} // namespace

int snapshot_list_channels(json_object *list, int count, int32_t channels[kSnapshotChannels])
{
    memset(channels, 0, sizeof(int32_t) * kSnapshotChannels);
    const size_t length = json_array_size(list);
    int kept = 0;
    for (size_t index = 0; index < length && static_cast<int>(index) < count && index < kSnapshotChannels;
         ++index) {
        int chnid = -1;
        if (json_value_int(json_array_item(list, index), &chnid) && snapshot_channel_valid(chnid))
            channels[kept++] = chnid;
    }
    return kept;
}

int read_snapshot_schedule(const char *db, snapshot_schedule_record *record, int chnid)
{
    return read_channel_record(db, kRecSnapshotSchedule, record, chnid);
}

int write_snapshot_schedules(const char *db, const snapshot_schedule_record *block,
                             const snapshot_channel_list &list)
{
    uint64_t mask = 0;
    for (int index = 0; index < list.count && index < kSnapshotChannels; ++index)
        if (snapshot_channel_valid(list.channels[index]))
            mask |= uint64_t{1} << list.channels[index];
    return confdb_write_masked(db, kRecSnapshotSchedule, block, sizeof *block, sizeof *block, mask);
}

int read_snapshot(const char *db, snapshot_params_record *record, int chnid)
{
    return read_channel_record(db, kRecSnapshotParams, record, chnid);
}

int copy_snapshots(const char *db, const snapshot_params_record *record, uint32_t mask_low,
                   uint32_t mask_high)
{
    return confdb_write_masked(db, kRecSnapshotParams, record, sizeof *record, 0,
                               channel_mask_of(mask_low, mask_high));
}
