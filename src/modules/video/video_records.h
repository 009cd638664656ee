// Wire records of the video module: the motion record of the configuration
// database and the motion core message payloads.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kMsgMotionChanged = 1403;
constexpr int kMsgMotionCopied = 1410;
constexpr int kMsgGetMotionMap = 3206;
constexpr int kReplyGetMotionMap = 8206;
constexpr int kMsgSetMotionMap = 3207;
constexpr int kMsgMotionDaySchedule = 3209;
constexpr int kMsgMotionSchedEnable = 3212;
constexpr int kMsgMotionMapBatch = 3251;
constexpr int kMsgMotionDayScheduleBatch = 3252;

constexpr int kVideoChannels = 64;
constexpr size_t kMotionTableSize = 368;
constexpr size_t kMotionMapSize = 300;
constexpr size_t kChannelTextSize = 65;

#pragma pack(push, 1)

// One channel's motion setting (record kRecMotion, id = chnid).
struct motion_record {
    int32_t chnid;
    int32_t enable;
    int32_t sensitivity;
    int32_t tri_channel_mask;
    int32_t tri_alarms;
    char motion_table[kMotionTableSize];
    int32_t interval;
    int32_t enable_ms;
    char tri_channels[kChannelTextSize];
    char padding0[3];
    int32_t email_enable;
    int32_t email_interval;
    char chn_alarmout0[65];
    char chn_alarmout1[65];
    char padding1[2];
    int32_t reserved;
    int32_t ptz_interval;
    int32_t alarmout_interval;
    int32_t white_interval;
    int32_t email_pic_enable;
    char tri_channels_pic[kChannelTextSize];
    char padding2[3];
    int32_t audio_id;
    int32_t http_notification_interval;
};

// Payload of 3207 and of reply 8206.
struct motion_map {
    int32_t enable;
    char map[kMotionMapSize];
    int32_t sensitivity;
    int32_t chnid;
    int32_t result;
    int32_t model_type;
    int32_t fishdisplay;
    int32_t fishtransfer;
    int32_t fishinstall;
};

// Payload of 3251.
struct motion_map_batch {
    char map[kMotionMapSize];
    int32_t sensitivity;
    int32_t chnid;
    int32_t enable_ms;
    int32_t channels[kVideoChannels];
    int32_t count;
};

// Payload of 3212.
struct motion_sched_enable {
    int32_t chnid;
    int32_t enable;
    int32_t channels[kVideoChannels];
    int32_t count;
};

struct motion_day_period {
    int32_t values[4];
};

struct motion_day_block {
    int32_t day;
    int32_t enable;
    motion_day_period periods[8];
};

// Payload of 3209 and 3252.
struct motion_day_schedule {
    int32_t chnid;
    motion_day_block days[7];
    int32_t channels[kVideoChannels];
    int32_t count;
};

#pragma pack(pop)

static_assert(sizeof(motion_record) == 700);
static_assert(offsetof(motion_record, motion_table) == 20);
static_assert(offsetof(motion_record, interval) == 388);
static_assert(offsetof(motion_record, tri_channels) == 396);
static_assert(offsetof(motion_record, email_enable) == 464);
static_assert(offsetof(motion_record, chn_alarmout0) == 472);
static_assert(offsetof(motion_record, chn_alarmout1) == 537);
static_assert(offsetof(motion_record, reserved) == 604);
static_assert(offsetof(motion_record, email_pic_enable) == 620);
static_assert(offsetof(motion_record, tri_channels_pic) == 624);
static_assert(offsetof(motion_record, audio_id) == 692);
static_assert(offsetof(motion_record, http_notification_interval) == 696);

static_assert(sizeof(motion_map) == 332);
static_assert(offsetof(motion_map, sensitivity) == 304);
static_assert(offsetof(motion_map, result) == 312);
static_assert(offsetof(motion_map, fishinstall) == 328);
static_assert(sizeof(motion_map_batch) == 572);
static_assert(offsetof(motion_map_batch, channels) == 312);
static_assert(offsetof(motion_map_batch, count) == 568);
static_assert(sizeof(motion_sched_enable) == 268);
static_assert(offsetof(motion_sched_enable, count) == 264);
static_assert(sizeof(motion_day_block) == 136);
static_assert(sizeof(motion_day_schedule) == 1216);
static_assert(offsetof(motion_day_schedule, channels) == 956);
static_assert(offsetof(motion_day_schedule, count) == 1212);
