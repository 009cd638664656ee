// The recorder's alarm inputs: the list, one input with its plain
// schedule, and the changes of its name, type, triggers and schedule.
#include "codecs/event_actions.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "front/web_utils.h"
#include "modules/alarm/alarm.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kAlarmInScheduleAction = 6;
constexpr int kAlarmInEnableMax = 2;
constexpr int kAlarmInTypeMax = 1;

void add_input_fields(json_object *object, const alarm_in_record &record)
{
    json_add_int(object, "id", record.id);
    json_add_int(object, "enable", record.enable);
    json_add_string(object, "name", record.name);
    json_add_int(object, "type", record.alarm_type);
    json_add_string(object, "triChannels", record.tri_channels);
    json_add_int(object, "triAlarms", record.tri_alarms);
}

// The input setting of an "alarm" object: every key present and in range.
struct InputSetting {
    int id, enable, type, tri_alarms, interval;
    const char *tri_channels;
    const char *name; // null when absent
};

bool check_alarm_input_info(json_object *alarm, InputSetting *setting)
{
    const char *keys[] = {"id", "enable", "type", "triAlarms", "interval"};
    int *values[] = {&setting->id, &setting->enable, &setting->type, &setting->tri_alarms,
                     &setting->interval};
    for (size_t index = 0; index < sizeof keys / sizeof keys[0]; ++index)
        if (!json_value_int(json_get_member(alarm, keys[index]), values[index]))
            return false;
    setting->tri_channels = json_member_text(alarm, "triChannels");
    setting->name = json_member_text(alarm, "name");
    return alarm_in_valid(setting->id) && setting->enable >= 0 && setting->enable <= kAlarmInEnableMax &&
           setting->type >= 0 && setting->type <= kAlarmInTypeMax && setting->tri_channels != nullptr &&
           setting->tri_alarms >= 0 && setting->interval >= 0;
}

// The request's checked "alarm" setting and the stored record of its input
// with the fields both trigger setters replace; null when the text does
// not parse, the setting is refused or the read failed.
JsonPtr read_checked_input(const char *text, InputSetting *setting, alarm_in_record *record)
{
    JsonPtr request(get_request_tokener_json_object(text));
    if (!request || !check_alarm_input_info(json_get_member(request.get(), "alarm"), setting) ||
        read_alarm_in(ZQDB_PATH, record, setting->id) < 0)
        return nullptr;
    if (setting->name != nullptr)
        fill_field_text(record->name, sizeof record->name, setting->name);
    record->alarm_type = setting->type;
    record->tri_alarms = setting->tri_alarms;
    record->interval = setting->interval;
    alarm_in_set_tri_channels(record, setting->tri_channels);
    return request;
}

// Stores the changed input, tells the core daemon and logs it; a failed
// write is answered as such and tells nobody.
int store_input_and_answer(const alarm_in_record &record)
{
    if (write_alarm_in(ZQDB_PATH, &record) != 0)
        return cgi_error_to_webserver(kRespText);
    alarm_notify_id(kMsgAlarmInChanged, record.id);
    alarm_send_log(kLogParamAlarmIn, record.id);
    return cgi_writeback_webserver(kRespText, "OK");
}

} // namespace

int on_get_alarm_inputs(char * /*text*/)
{
    static alarm_in_record list[kAlarmInputs];
    if (read_alarm_ins(ZQDB_PATH, list) != 0)
        return -1;
    const JsonPtr reply = json_new_array();
    for (const alarm_in_record &record : list) {
        json_object *entry = json_object_new_object();
        add_input_fields(entry, record);
        json_object_array_add(reply.get(), entry);
    }
    return cgi_write_json(kRespJson, reply.get());
}

// Only the recorder's inputs 0 to 15 answer.
int on_get_alarm_input(char *text)
{
    int id = -1;
    alarm_in_record record;
    if (!param_text_int(text, &id) || !alarm_in_valid(id) || read_alarm_in(ZQDB_PATH, &record, id) < 0)
        return -1;
    static schedule_record schedule;
    read_alarmin_schedule(ZQDB_PATH, kRecAlarmInSchedule, &schedule, id);
    const JsonPtr reply = json_new_object();
    json_object *alarm = json_object_new_object();
    add_input_fields(alarm, record);
    json_add_int(alarm, "interval", record.interval);
    json_add_string(alarm, "triSnapshot", record.tri_snapshot);
    json_object_object_add(reply.get(), "alarm", alarm);
    json_object_object_add(reply.get(), "schedule", get_schedule_json_object(&schedule));
    return cgi_write_json(kRespJson, reply.get());
}

// The stored input keeps its actions: only the page's fields change, the
// trigger text with its mask.
int on_set_alarm_input_schedule(char *text)
{
    InputSetting setting{};
    alarm_in_record record;
    const JsonPtr request = read_checked_input(text, &setting, &record);
    if (!request)
        return -1;
    record.enable = setting.enable;
    if (write_alarm_in(ZQDB_PATH, &record) != 0)
        return cgi_error_to_webserver(kRespText);
    static schedule_record schedule;
    if (get_schedule_by_json(request.get(), "schedule", &schedule) == 0 &&
        write_alarm_in_schedule(ZQDB_PATH, &schedule, record.id, kAlarmInScheduleAction) != 0)
        return cgi_error_to_webserver(kRespText);
    alarm_notify_id(kMsgAlarmInChanged, record.id);
    alarm_send_log(kLogParamAlarmIn, record.id);
    return cgi_writeback_webserver(kRespText, "OK");
}

// Only inputs 0 to 15 change: another id would overwrite input 0.
int on_set_alarm_input(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    json_object *alarm = json_get_member(request.get(), "alarm");
    const int id = json_member_int(alarm, "camId", -1);
    alarm_in_record record;
    if (!json_object_is_type(alarm, json_type_object) || !alarm_in_valid(id))
        return -1;
    if (read_alarm_in(ZQDB_PATH, &record, id) < 0)
        return cgi_error_to_webserver(kRespText);
    event_set_text(alarm, "name", record.name, sizeof record.name);
    on_cgi_get_int_from_json(alarm, "type", &record.alarm_type);
    on_cgi_get_int_from_json(alarm, "enable", &record.enable);
    return store_input_and_answer(record);
}

// "enable" is checked but belongs to the other pages; the trigger text is
// stored with the mask derived from it.
int on_set_alarm_input_info(char *text)
{
    InputSetting setting{};
    alarm_in_record record;
    if (!read_checked_input(text, &setting, &record))
        return -1;
    return store_input_and_answer(record);
}
