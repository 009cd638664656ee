#include "codecs/schedule.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kChannelBits = 64;

// The shape of one JSON schedule form.
struct ScheduleForm {
    int days;
    int sections;
    bool with_action; // "actionType" in the output, third element in the input
};

constexpr ScheduleForm kEventForm = {kScheduleDays, kScheduleWebSections, true};
constexpr ScheduleForm kCameraForm = {kScheduleIpcDays, kScheduleIpcSections, false};

json_object *time_text(const char *field)
{
    return json_object_new_string_len(field, static_cast<int>(strnlen(field, kScheduleTimeSize)));
}

json_object *section_object(const schedule_section &section, bool day_enabled, bool with_action)
{
    json_object *object = json_object_new_object();
    json_object_object_add(object, "startTime", time_text(day_enabled ? section.start_time : ""));
    json_object_object_add(object, "endTime", time_text(day_enabled ? section.end_time : ""));
    if (with_action)
        json_add_int(object, "actionType", section.action_type);
    return object;
}

// Output is always 8 days of 12 sections; the camera form blanks disabled
// days and leaves the action type out.
json_object *encode_schedule(const schedule_record *schedule, bool camera)
{
    if (schedule == nullptr)
        return nullptr;
    json_object *days = json_object_new_array();
    for (const schedule_day &day : schedule->days) {
        json_object *sections = json_object_new_array();
        const bool enabled = !camera || day.day_enable != 0;
        for (int index = 0; index < kScheduleWebSections; ++index)
            json_object_array_add(sections, section_object(day.sections[index], enabled, !camera));
        json_object_array_add(days, sections);
    }
    return days;
}

void copy_time_text(char *field, json_object *value)
{
    const char *text = json_value_text(value);
    snprintf(field, kScheduleTimeSize, "%s", text != nullptr ? text : "");
}

void decode_section(json_object *item, bool with_action, schedule_section *section)
{
    copy_time_text(section->start_time, json_array_item(item, 0));
    copy_time_text(section->end_time, json_array_item(item, 1));
    int action = 0;
    if (with_action && json_value_int(json_array_item(item, 2), &action))
        section->action_type = action;
}

int decode_schedule(json_object *request, const char *key, schedule_record *schedule,
                    const ScheduleForm &form)
{
    json_object *days = json_value_array(json_get_member(request, key));
    if (days == nullptr || schedule == nullptr)
        return -1;
    memset(schedule, 0, sizeof *schedule);
    for (int day = 0; day < form.days; ++day) {
        json_object *sections = json_array_item(days, day);
        for (int index = 0; index < form.sections; ++index)
            decode_section(json_array_item(sections, index), form.with_action,
                           &schedule->days[day].sections[index]);
        if (!form.with_action)
            schedule->days[day].day_enable = 1;
    }
    return 0;
}

json_object *record_day_object(const schedule_day &day)
{
    json_object *object = json_object_new_object();
    json_add_int(object, "wholedayEnable", day.day_enable);
    json_add_int(object, "wholedayActionType", day.day_action_type);
    json_object *plans = json_object_new_array();
    for (const schedule_section &section : day.sections)
        json_object_array_add(plans, section_object(section, true, true));
    json_object_object_add(object, "plans", plans);
    return object;
}

void decode_record_day(json_object *item, schedule_day *day)
{
    const int whole_day = json_member_int(item, "wholedayEnable");
    if (whole_day != 0) {
        day->day_enable = whole_day;
        day->day_action_type = json_member_int(item, "wholedayActionType");
    }
    json_object *plans = json_value_array(json_get_member(item, "plans"));
    for (int index = 0; index < kScheduleSections; ++index)
        decode_section(json_array_item(plans, index), true, &day->sections[index]);
}

} // namespace

json_object *get_record_schedule_json_object(const schedule_record *schedule)
{
    if (schedule == nullptr)
        return nullptr;
    json_object *days = json_object_new_array();
    for (const schedule_day &day : schedule->days)
        json_object_array_add(days, record_day_object(day));
    return days;
}

int get_record_schedule_by_json(json_object *request, const char *key, schedule_record *schedule)
{
    json_object *days = json_value_array(json_get_member(request, key));
    if (days == nullptr || schedule == nullptr)
        return -1;
    memset(schedule, 0, sizeof *schedule);
    for (int day = 0; day < kScheduleDays; ++day)
        decode_record_day(json_array_item(days, day), &schedule->days[day]);
    return 0;
}

json_object *get_schedule_json_object(const schedule_record *schedule)
{
    return encode_schedule(schedule, false);
}

json_object *get_schedule_json_object_ex(const schedule_record *schedule)
{
    return encode_schedule(schedule, false);
}

json_object *get_schedule_json_object_ipc(const schedule_record *schedule)
{
    return encode_schedule(schedule, true);
}

int get_schedule_by_json(json_object *request, const char *key, schedule_record *schedule)
{
    return decode_schedule(request, key, schedule, kEventForm);
}

int get_schedule_by_json_ex(json_object *request, const char *key, schedule_record *schedule)
{
    return decode_schedule(request, key, schedule, kEventForm);
}

int get_schedule_by_json_ipc(json_object *request, const char *key, schedule_record *schedule)
{
    return decode_schedule(request, key, schedule, kCameraForm);
}

uint64_t get_copy_flag_by_json(json_object *request, const char *list_key, const char *count_key)
{
    int count = 0;
    if (on_cgi_get_int_from_json(request, count_key, &count) != 0 || count <= 0)
        return 0;
    json_object *list = json_value_array(json_get_member(request, list_key));
    const size_t limit = std::min(static_cast<size_t>(count), json_array_size(list));
    uint64_t mask = 0;
    for (size_t index = 0; index < limit; ++index) {
        int channel = -1;
        if (json_value_int(json_array_item(list, index), &channel) && channel >= 0 && channel < kChannelBits)
            mask |= uint64_t{1} << channel;
    }
    return mask;
}

void add_schedule(json_object *object, const char *key, ScheduleReader read, int kind, int id, bool ex)
{
    static schedule_record schedule;
    read(ZQDB_PATH, kind, &schedule, id);
    json_object_object_add(object, key,
                           ex ? get_schedule_json_object_ex(&schedule) : get_schedule_json_object(&schedule));
}
