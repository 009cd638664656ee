// Database records of the alarm inputs and outputs, with their typed access
// over confdb: the recorder's own inputs (0..15) and outputs (0..3), the
// event settings and names of each camera's alarm inputs (0..3) and the
// names of its alarm outputs (0..1), their schedules and the disarming
// linkage. The alarm pages, the alarm-input schedule pages and the status
// pages all reach the records through these calls.
//
// Reads give kRecFound, kRecAbsent (record zeroed) or -1 (record zeroed);
// a record read carries the id it was read for, also when it was never
// stored. Writes give 0 or -1; they store a record under its own id fields
// and refuse ids out of range. Copies give 0 or -1 and never write the
// source itself; a source never stored makes its targets empty as well.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/schedule.h"

constexpr int kAlarmInputs = 16;
constexpr int kAlarmOutputs = 4;
constexpr int kCameraAlarmInputs = 4;
constexpr int kCameraAlarmOutputs = 2;
constexpr int kAlarmChannels = 64;
constexpr size_t kAlarmNameSize = 256;
constexpr size_t kCameraAlarmNameSize = 64;
constexpr size_t kAlarmChannelTextSize = 65;

#pragma pack(push, 1)

// One of the recorder's alarm inputs (record kRecAlarmIn, id = input).
struct alarm_in_record {
    int32_t id;
    int32_t enable;
    char name[kAlarmNameSize];
    int32_t alarm_type;
    int32_t tri_channel_mask; // bit i for a '1' at position i < 32 of tri_channels
    int32_t tri_alarms;
    int32_t interval;
    char tri_channels[kAlarmChannelTextSize];
    char padding0[3];
    int32_t reserved0; // not set by the alarm pages; copied with the setting
    int32_t email_interval;
    char tri_snapshot[kAlarmChannelTextSize];
    char padding1[3];
    char chn_alarmout0[kAlarmChannelTextSize];
    char chn_alarmout1[kAlarmChannelTextSize];
    char padding2[2];
    int32_t ptz_interval;
    int32_t alarmout_interval;
    int32_t white_interval;
    int32_t http_notification_interval;
    int32_t email_pic_enable;
    char tri_channels_pic[kAlarmChannelTextSize];
    char padding3[3];
    int32_t audio_id;
    // Room for the fields other pages keep with an input; zero until then.
    char reserved1[288];
};

// One of the recorder's alarm outputs (record kRecAlarmOut, id = output).
struct alarm_out_record {
    int32_t id;
    char name[kAlarmNameSize];
    int32_t type;
    int32_t enable;
    int32_t duration_time;
};

// The event setting of a camera's alarm input (record kRecAlarmChnInEvent).
struct alarm_chnin_event_record {
    int32_t chnid;
    int32_t alarm_id;
    char tri_channels[kAlarmChannelTextSize];
    char padding0[3];
    int32_t tri_alarms;
    int32_t interval;
    int32_t email_interval;
    char chn_alarmout0[kAlarmChannelTextSize];
    char chn_alarmout1[kAlarmChannelTextSize];
    char padding1[2];
    int32_t ptz_interval;
    int32_t alarmout_interval;
    int32_t white_interval;
    int32_t email_pic_enable;
    char tri_channels_pic[kAlarmChannelTextSize];
    char padding2[3];
    int32_t audio_id;
    int32_t http_notification_interval;
    char reserved[16];
};

// The name of a camera's alarm input (record kRecAlarmChnInName).
struct alarm_chnin_name_record {
    int32_t chnid;
    int32_t alarm_id;
    char name[kCameraAlarmNameSize];
};

// The name and delay of a camera's alarm output (record kRecAlarmChnOutName).
struct alarm_chnout_name_record {
    int32_t chnid;
    int32_t alarm_id;
    int32_t delay_time;
    char name[kCameraAlarmNameSize];
};

// What disarming does to the linkage of the recorder's alarm input 0.
struct disarming_record {
    int32_t linkage_action;
    int32_t disarm_action_mask;
};

#pragma pack(pop)

static_assert(sizeof(alarm_in_record) == 936);
static_assert(offsetof(alarm_in_record, name) == 8);
static_assert(offsetof(alarm_in_record, alarm_type) == 264);
static_assert(offsetof(alarm_in_record, tri_channels) == 280);
static_assert(offsetof(alarm_in_record, reserved0) == 348);
static_assert(offsetof(alarm_in_record, tri_snapshot) == 356);
static_assert(offsetof(alarm_in_record, chn_alarmout0) == 424);
static_assert(offsetof(alarm_in_record, chn_alarmout1) == 489);
static_assert(offsetof(alarm_in_record, ptz_interval) == 556);
static_assert(offsetof(alarm_in_record, email_pic_enable) == 572);
static_assert(offsetof(alarm_in_record, tri_channels_pic) == 576);
static_assert(offsetof(alarm_in_record, audio_id) == 644);
static_assert(sizeof(alarm_out_record) == 272);
static_assert(offsetof(alarm_out_record, type) == 260);
static_assert(offsetof(alarm_out_record, duration_time) == 268);
static_assert(sizeof(alarm_chnin_event_record) == 328);
static_assert(offsetof(alarm_chnin_event_record, tri_alarms) == 76);
static_assert(offsetof(alarm_chnin_event_record, chn_alarmout0) == 88);
static_assert(offsetof(alarm_chnin_event_record, ptz_interval) == 220);
static_assert(offsetof(alarm_chnin_event_record, tri_channels_pic) == 236);
static_assert(offsetof(alarm_chnin_event_record, audio_id) == 304);
static_assert(offsetof(alarm_chnin_event_record, http_notification_interval) == 308);
static_assert(sizeof(alarm_chnin_name_record) == 72);
static_assert(sizeof(alarm_chnout_name_record) == 76);
static_assert(offsetof(alarm_chnout_name_record, name) == 12);
static_assert(sizeof(disarming_record) == 8);

// The record id of a camera's alarm input or output: the alarm index above
// the channel.
constexpr int camera_alarm_key(int chnid, int alarm_id) { return alarm_id << 8 | chnid; }

bool alarm_in_valid(int id);
bool alarm_out_valid(int id);
bool camera_alarm_in_valid(int chnid, int alarm_id);
bool camera_alarm_out_valid(int chnid, int alarm_id);

// Sets the trigger text (cut to 64 characters) and the mask derived from it.
void alarm_in_set_tri_channels(alarm_in_record *record, const char *text);

// The recorder's alarm inputs. The list calls take all kAlarmInputs records
// (entry i is input i); the list write stores the entries whose bit is set
// in `mask`, each under its position.
int read_alarm_in(const char *db, alarm_in_record *record, int id);
int write_alarm_in(const char *db, const alarm_in_record *record);
int read_alarm_ins(const char *db, alarm_in_record *list);
int write_alarm_ins(const char *db, const alarm_in_record *list, uint32_t mask);

// Schedules of an input by kind: kRecAlarminEffectiveSchedule,
// kRecAlarminAudibleSchedule, kRecAlarminEmailSchedule,
// kRecAlarminPtzSchedule, or kRecAlarmInSchedule for the plain schedule.
int read_alarmin_schedule(const char *db, int kind, schedule_record *schedule, int id);
int write_alarmin_schedule(const char *db, int kind, const schedule_record *schedule, int id);
int copy_alarmin_schedules(const char *db, int kind, int id, uint32_t mask);
// The plain input schedule with the action type of every section the
// browser exchanges (0 to 11 of each day) set to `action`.
int write_alarm_in_schedule(const char *db, const schedule_record *schedule, int id, int action);

// The recorder's alarm outputs, as the inputs.
int read_alarm_out(const char *db, alarm_out_record *record, int id);
int write_alarm_out(const char *db, const alarm_out_record *record);
int read_alarm_outs(const char *db, alarm_out_record *list);
int write_alarm_outs(const char *db, const alarm_out_record *list, uint32_t mask);
int read_alarm_out_schedule(const char *db, schedule_record *schedule, int id);
int write_alarm_out_schedule(const char *db, const schedule_record *schedule, int id);
int copy_alarm_out_schedules(const char *db, int id, uint32_t mask);

// A camera's alarm inputs, keyed by {chnid, alarm_id}; copies go to the
// same alarm input of every channel set in the 64-bit mask.
int read_alarm_chnIn_event(const char *db, alarm_chnin_event_record *record, int chnid, int alarm_id);
int write_alarm_chnIn_event(const char *db, const alarm_chnin_event_record *record);
int copy_alarm_chnIn_events(const char *db, int chnid, int alarm_id, uint64_t mask);
int read_alarm_chnIn_event_name(const char *db, alarm_chnin_name_record *record, int chnid, int alarm_id);
int write_alarm_chnIn_event_name(const char *db, const alarm_chnin_name_record *record);
// The names of input `alarm_id` of channels 0 to count - 1 (count at most 64).
int read_alarm_chnIn_event_names(const char *db, alarm_chnin_name_record *list, int count, int alarm_id);
// Schedules by kind: kRecAlarmChnInEffectiveSchedule, ...AudibleSchedule,
// ...MailSchedule, ...PtzSchedule.
int read_alarm_chnIn_schedule(const char *db, int kind, schedule_record *schedule, int chnid, int alarm_id);
int write_alarm_chnIn_schedule(const char *db, int kind, const schedule_record *schedule, int chnid,
                               int alarm_id);
int copy_alarm_chnIn_schedules(const char *db, int kind, int chnid, int alarm_id, uint64_t mask);

// A camera's alarm outputs, keyed by {chnid, alarm_id}. The list calls
// take the records of output `alarm_id` of channels 0 to count - 1; the
// list write stores those whose channel bit is set in `mask`.
int read_alarm_chnOut_event_name(const char *db, alarm_chnout_name_record *record, int chnid, int alarm_id);
int write_alarm_chnOut_event_name(const char *db, const alarm_chnout_name_record *record);
int read_alarm_chnOut_event_names(const char *db, alarm_chnout_name_record *list, int count, int alarm_id);
int write_alarm_chnOut_event_names(const char *db, const alarm_chnout_name_record *list, int count,
                                   int alarm_id, uint64_t mask);
int read_alarm_chnOut_effective_schedule(const char *db, schedule_record *schedule, int chnid, int alarm_id);
int write_alarm_chnOut_effective_schedule(const char *db, const schedule_record *schedule, int chnid,
                                          int alarm_id);
int copy_alarm_chnOut_effective_schedules(const char *db, int chnid, int alarm_id, uint64_t mask);

int read_disarming(const char *db, disarming_record *record);
int write_disarming(const char *db, const disarming_record *record);
