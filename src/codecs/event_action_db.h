// Database records of the event actions (camera alarm outputs, white LED
// lights, HTTP notifications, PTZ movements, alarm sounds) and their typed
// access over confdb.
//
// The action tables are keyed by the event's table name: each known name
// has a fixed slot (stored in record ids, so slots are never renumbered),
// and a list is record (kind, (slot << 8) | owner). PTZ lists are records
// (kRecPtzActions, (type << 8) | owner). Owners are 0..255, types 0..255.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/schedule.h"

constexpr int kWhiteLedMax = 16;
constexpr int kPtzActionMax = 64;
constexpr int kPeopleCntPtzMax = 16;
constexpr int kPtzOwnerMax = 15;
constexpr int kAlarmAudioFiles = 10;
constexpr int kPtzTypePeopleCnt = 20;
constexpr int kPtzTypeMotion = 1;
constexpr int kPtzTypeAlarmIn = 0;
// Camera alarm inputs 0 to 3 take the PTZ action types that follow the
// ones of the other events.
constexpr int kPtzTypeCameraAlarmIn = 27;
constexpr int kCameraAlarmInPtzTypes = 4;

constexpr size_t kHttpUrlSize = 513;
constexpr size_t kHttpUserSize = 97;
constexpr size_t kHttpPasswordSize = 65;
constexpr size_t kChnAlarmoutTextSize = 65;

#pragma pack(push, 1)
struct event_chn_alarmout {
    int32_t chnid;
    int32_t id;
    char text[kChnAlarmoutTextSize];
    char padding[3];
};

struct whiteled_params {
    int32_t owner;
    int32_t chnid;
    int32_t mode;
    int32_t time;
};

struct http_notification_params {
    int32_t id;
    char url[kHttpUrlSize];
    char username[kHttpUserSize];
    char password[kHttpPasswordSize];
    char padding[1];
};

struct ptz_params {
    int32_t chn_id;
    int32_t acto_ptz_channel;
    int32_t reserved;
    int32_t acto_ptz_type;
    int32_t acto_ptz_preset;
    int32_t acto_ptz_patrol;
    int32_t acto_ptz_pattern;
};

struct alarm_audio_file {
    int32_t id;
    int32_t present;
    char name[128];
};
#pragma pack(pop)

static_assert(sizeof(event_chn_alarmout) == 76);
static_assert(sizeof(whiteled_params) == 16);
static_assert(offsetof(whiteled_params, mode) == 8);
static_assert(sizeof(http_notification_params) == 680);
static_assert(offsetof(http_notification_params, url) == 4);
static_assert(offsetof(http_notification_params, username) == 517);
static_assert(offsetof(http_notification_params, password) == 614);
static_assert(sizeof(ptz_params) == 28);
static_assert(offsetof(ptz_params, acto_ptz_type) == 12);
static_assert(offsetof(ptz_params, acto_ptz_pattern) == 24);
static_assert(sizeof(alarm_audio_file) == 136);
static_assert(offsetof(alarm_audio_file, present) == 4);

// The slot of an action table name; -1 for a name this program does not know.
int event_table_slot(const char *table);

// The action table names of smart event `index` (0..8): `which` 0 names
// the schedule table, 1 the parameter table. 0, or -1 for an index or
// `which` out of range or a buffer too small for the name.
int get_vca_white_table_name(int which, int index, char *buffer, int size);
int get_vca_http_table_name(int which, int index, char *buffer, int size);

// White LED lists: `row` holds kWhiteLedMax entries; `count` gets the number
// of entries up to the last one that is not all zero. Reads give 0 (also for
// an absent list, then empty) or -1; writes and copies 0 or -1 (-1 also for
// an unknown table or an owner out of range).
int read_whiteled_params(const char *db, whiteled_params *row, const char *table, int chnid, int *count);
int write_whiteled_params_all(const char *db, const whiteled_params *row, const char *table, int chnid);
int copy_whiteled_params(const char *db, const char *table, int chnid, uint64_t mask);
int read_peoplecnt_wled_params(const char *db, whiteled_params *row, int owner, int *count);
int write_peoplecnt_wled_params(const char *db, const whiteled_params *row, int owner);

// Schedules of the actions, keyed by {chnid, table}.
int read_whiteled_effective_schedule(const char *db, schedule_record *schedule, const char *table, int chnid);
int write_whiteled_effective_schedule(const char *db, const schedule_record *schedule, const char *table,
                                      int chnid);
int copy_whiteled_effective_schedules(const char *db, const char *table, int chnid, uint64_t mask);
int read_http_notification_schedule(const char *db, schedule_record *schedule, const char *table, int chnid);
int write_http_notification_schedule(const char *db, const schedule_record *schedule, const char *table,
                                     int chnid);
int copy_http_notification_schedules(const char *db, const char *table, int chnid, uint64_t mask);

// HTTP notification of one owner; the record carries its owner in `id`.
int read_http_notification_params(const char *db, http_notification_params *record, const char *table,
                                  int chnid);
int write_http_notification_params(const char *db, const http_notification_params *record, const char *table);
int copy_http_notification_params(const char *db, const char *table, int chnid, uint64_t mask);
// The notifications of owners 0..count - 1 of a table as one list: entry i
// is owner i's record, its id as stored (-1 marks an owner without one).
int read_http_notification_params_init(const char *db, const char *table, http_notification_params *list,
                                       int count);
int write_http_notification_params_batch(const char *db, const http_notification_params *list,
                                         const char *table, int count);

// PTZ action lists of (type, owner): `list` holds kPtzActionMax entries
// (kPeopleCntPtzMax for the people-counting calls).
int read_ptz_params(const char *db, ptz_params *list, int type, int owner, int *count);
int write_ptz_params_all(const char *db, const ptz_params *list, int type, int owner);
int copy_ptz_params_all(const char *db, int type, int owner, uint64_t mask);
int read_peoplecnt_ptz_params(const char *db, ptz_params *list, int owner, int *count);
int write_peoplecnt_ptz_params_ex(const char *db, const ptz_params *list, int owner);
// One entry: added (or replacing the entry of the same camera), deleted by
// {chn_id, acto_ptz_channel}, or updated in place of the entry of camera `old_camera`.
int write_ptz_params(const char *db, const ptz_params *entry, int type);
int delete_ptz_params(const char *db, const ptz_params *entry, int type);
int update_ptz_params(const char *db, const ptz_params *entry, int type, int old_camera);

// The PTZ action type of a camera's alarm input `alarm_index` (0..3), else -1.
constexpr int converse_chn_alarmid_to_event_in(int alarm_index)
{
    return alarm_index >= 0 && alarm_index < kCameraAlarmInPtzTypes ? kPtzTypeCameraAlarmIn + alarm_index
                                                                    : -1;
}

// The alarm sound file table (kAlarmAudioFiles entries).
int read_alarm_audio_file(const char *db, alarm_audio_file *table);
