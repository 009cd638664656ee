// Records of the video loss and exception pages: the video loss setting of
// a channel, the exception alarm switches, and their core messages.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/schedule.h"

constexpr int kMsgVideoLossChanged = 1402;
constexpr int kMsgVideoLossesChanged = 1414;
constexpr int kMsgExceptionsChanged = 2104;
constexpr int kMsgExceptionHttpChanged = 3394;

constexpr int kExceptionKinds = 8;    // alarm switches of the trigger record
constexpr int kExceptionNumbers = 10; // numbers that may carry an HTTP notification
constexpr size_t kExceptionNameSize = 32;

#pragma pack(push, 1)

// One channel's video loss setting (record kRecVideoLoss, id = camId).
struct video_lost_record {
    int32_t camId;
    int32_t enable;
    int32_t tri_alarms;
    int32_t interval; // also the interval of the alarm sound
    int32_t email_interval;
    char chn_alarmout0[65];
    char chn_alarmout1[65];
    char padding[2];
    int32_t ptz_interval;
    int32_t alarmout_interval;
    int32_t white_interval;
    int32_t audio_id;
    int32_t http_notification_interval;
    int32_t email_enable;
    int32_t audible_enable;
};

// Which exceptions raise alarms (record kRecTriggerAlarms, id 0).
struct trigger_alarm_record {
    int32_t exceptions[kExceptionKinds];
    int32_t recordFailedMailInterval;
};

#pragma pack(pop)

static_assert(sizeof(video_lost_record) == 180);
static_assert(offsetof(video_lost_record, email_interval) == 16);
static_assert(offsetof(video_lost_record, chn_alarmout1) == 85);
static_assert(offsetof(video_lost_record, ptz_interval) == 152);
static_assert(offsetof(video_lost_record, http_notification_interval) == 168);
static_assert(offsetof(video_lost_record, audible_enable) == 176);
static_assert(sizeof(trigger_alarm_record) == 36);

// Video loss records: reads give kRecFound, kRecAbsent (zeroed, camId set)
// or -1; writes store under camId (0..63) and give 0 or -1. The list calls
// take all 64 records (entry n is channel n); the list write stores those
// whose bit is set in `mask`.
int read_video_lost(const char *db, video_lost_record *record, int chnid);
int write_video_lost(const char *db, const video_lost_record *record);
int read_video_losts(const char *db, video_lost_record *list);
int write_video_losts(const char *db, const video_lost_record *list, uint64_t mask);
// `record` onto every masked channel other than its own, each copy under
// its channel; 0 or -1.
int copy_video_losts(const char *db, const video_lost_record &record, uint64_t mask);
int write_video_loss_schedule(const char *db, const schedule_record *schedule, int chnid);

int read_trigger_alarms(const char *db, trigger_alarm_record *record);
int write_trigger_alarms(const char *db, const trigger_alarm_record *record);
// The name of exception `number` (0..9) into `buffer`; "" for a number
// that is not used.
void get_exception_name(int number, char *buffer, size_t size);
