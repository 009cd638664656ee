// Weekly schedules: the schedule record kept in the configuration database
// and sent to the core daemon, its JSON forms for the browser, and the
// channel mask of a request's "copy to" list.
//
// Output form: 8 day arrays of 12 {"startTime", "endTime", "actionType"}
// objects (sections 0 to 11). Input form: 8 day arrays of 12 positional
// [start, end, action type] arrays. The camera variant drops the action
// type and exchanges 7 days of 10 sections. Values are read by the rules of
// codecs/params.h: a day or section that is not an array counts as empty,
// a missing or non-text time as "", a missing or non-integer action as 0.
#pragma once

#include <json-c/json.h>

#include <cstddef>
#include <cstdint>

constexpr int kScheduleDays = 8;
constexpr int kScheduleSections = 48;
constexpr int kScheduleWebSections = 12; // sections exchanged with the browser
constexpr int kScheduleIpcDays = 7;
constexpr int kScheduleIpcSections = 10;
constexpr size_t kScheduleTimeSize = 32;

#pragma pack(push, 1)
struct schedule_section {
    char start_time[kScheduleTimeSize];
    char end_time[kScheduleTimeSize];
    int32_t action_type;
};

struct schedule_day {
    schedule_section sections[kScheduleSections];
    int32_t day_enable;      // camera variant, and a record schedule's whole-day switch
    int32_t day_action_type; // a record schedule's whole-day action type
};

struct schedule_record {
    schedule_day days[kScheduleDays];
};
#pragma pack(pop)

static_assert(sizeof(schedule_section) == 68);
static_assert(offsetof(schedule_section, end_time) == 32);
static_assert(offsetof(schedule_section, action_type) == 64);
static_assert(sizeof(schedule_day) == 3272);
static_assert(offsetof(schedule_day, day_enable) == 3264);
static_assert(offsetof(schedule_day, day_action_type) == 3268);
static_assert(sizeof(schedule_record) == 26176);

// A new JSON array in the output form (null for a null record); the caller
// owns it, usually by adding it to its response object.
json_object *get_schedule_json_object(const schedule_record *schedule);
json_object *get_schedule_json_object_ex(const schedule_record *schedule);
// Camera variant: no action type; a day whose day_enable is 0 shows "" for
// every time.
json_object *get_schedule_json_object_ipc(const schedule_record *schedule);

// Reads the schedule record (kind, id) of database `db`.
using ScheduleReader = int (*)(const char *db, int kind, schedule_record *schedule, int id);
// Adds under `key` the schedule that `read` gives for (kind, id) of the
// configuration database: in the output form, or with `ex` the _ex form.
void add_schedule(json_object *object, const char *key, ScheduleReader read, int kind, int id, bool ex);

// Zeroes the record and fills it from the array under `key`. -1, with the
// record untouched, for a null argument or when `key` holds no array.
int get_schedule_by_json(json_object *request, const char *key, schedule_record *schedule);
int get_schedule_by_json_ex(json_object *request, const char *key, schedule_record *schedule);
// Camera variant: days 0 to 6 get day_enable 1 and sections 0 to 9; day 7
// and every action type stay 0.
int get_schedule_by_json_ipc(json_object *request, const char *key, schedule_record *schedule);

// Record schedules exchange every section and the whole-day switch. Output:
// 8 day objects {"wholedayEnable", "wholedayActionType", "plans"} whose
// "plans" holds all 48 sections as {"startTime", "endTime", "actionType"}.
// Input: the same day objects with each plan a positional [start, end,
// action type] array; a day's whole-day action type is taken only when its
// "wholedayEnable" is not 0. Missing days and plans stay zero. The decode
// zeroes the record; -1, with the record untouched, as above.
json_object *get_record_schedule_json_object(const schedule_record *schedule);
int get_record_schedule_by_json(json_object *request, const char *key, schedule_record *schedule);

// Bit n set for each of the first `count_key` elements of the `list_key`
// array that is an integer from 0 to 63. Elements past the array's end are
// not read; other values are skipped. 0 for a null argument, a missing
// count or a count <= 0.
uint64_t get_copy_flag_by_json(json_object *request, const char *list_key, const char *count_key);
