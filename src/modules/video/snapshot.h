// Timed snapshots of channels: the weekly snapshot schedule and the
// snapshot parameters of each channel, their database records, and the
// core messages that tell the core daemon about changes or start and stop
// snapshotting.
#pragma once

#include <json-c/json.h>

#include <cstddef>
#include <cstdint>

#include "codecs/schedule.h"

constexpr int kMsgSnapshotParamsChanged = 1311;
constexpr int kMsgSnapshotScheduleChanged = 1312;
constexpr int kMsgSnapshotSwitch = 1313;

constexpr int kSnapshotChannels = 64;

#pragma pack(push, 1)

// One channel's snapshot schedule (record kRecSnapshotSchedule, id =
// chnid): the channel, then the weekly schedule.
struct snapshot_schedule_record {
    int32_t chnid;
    schedule_record schedule;
};

// One channel's snapshot parameters (record kRecSnapshotParams, id =
// chnid); the codes pass through unchanged.
struct snapshot_params_record {
    int32_t resolution;
    int32_t quality;
    int32_t interval;
    int32_t interval_unit;
    int32_t expiration_date;
    int32_t reserved[4];
};

// Payload of 1311 and 1312: the channels that changed, unused slots 0.
struct snapshot_channel_list {
    int32_t channels[kSnapshotChannels];
    int32_t count;
};

// Payload of 1313: start (1) or stop (0) snapshotting on the listed
// channels, unused slots 0.
struct snapshot_switch_list {
    int32_t on;
    int32_t channels[kSnapshotChannels];
};

#pragma pack(pop)

static_assert(sizeof(snapshot_schedule_record) == 26180);
static_assert(sizeof(snapshot_params_record) == 36);
static_assert(sizeof(snapshot_channel_list) == 260);
static_assert(sizeof(snapshot_switch_list) == 260);

// The channels 0..63 among the first min(`count`, array length, 64)
// elements of the array `list`, in order; others are skipped. The number
// kept.
int snapshot_list_channels(json_object *list, int count, int32_t channels[kSnapshotChannels]);

// Database records. Reads give kRecFound, kRecAbsent (record zeroed) or -1
// (a channel outside 0..63 too); writes 0 or -1.
int read_snapshot_schedule(const char *db, snapshot_schedule_record *record, int chnid);
// Stores block[c] as the schedule of every listed channel c, in one
// transaction.
int write_snapshot_schedules(const char *db, const snapshot_schedule_record *block,
                             const snapshot_channel_list &list);
int read_snapshot(const char *db, snapshot_params_record *record, int chnid);
// Stores the record as the parameters of every masked channel, in one
// transaction.
int copy_snapshots(const char *db, const snapshot_params_record *record, uint32_t mask_low,
                   uint32_t mask_high);

int on_get_snapshot_schedule(char *text);
int on_set_snapshot_schedule(char *text);
int on_get_snapshot_setting_params(char *text);
int on_set_snapshot_setting_params(char *text);
int on_set_snapshot_batch_setting(char *text);
