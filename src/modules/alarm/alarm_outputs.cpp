// The recorder's alarm outputs: the list, one output with its schedule,
// its change (optionally copied to other outputs) and its switch.
#include "codecs/event_actions.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/alarm/alarm.h"
#include "platform/confdb/confdb.h"

namespace {

void add_output_fields(json_object *object, const alarm_out_record &record)
{
    json_add_int(object, "id", record.id);
    json_add_field(object, "name", record.name);
    json_add_int(object, "type", record.type);
    json_add_int(object, "enable", record.enable);
    json_add_int(object, "durationTime", record.duration_time);
}

// The fields of the request that change an output; true when any was present.
bool apply_output_fields(json_object *request, alarm_out_record *record)
{
    const EventIntKey keys[] = {
        {"enable", &record->enable},
        {"type", &record->type},
        {"durationTime", &record->duration_time},
    };
    bool changed = event_set_text(request, "name", record->name, sizeof record->name);
    changed |= event_set_ints(request, keys, sizeof keys / sizeof keys[0]);
    return changed;
}

// Output `source`'s type, enable and duration, and its schedule, onto the
// outputs of `mask`; the core daemon hears of each copy in rising order.
int copy_output_setting(const alarm_out_record &source, uint32_t mask)
{
    alarm_out_record list[kAlarmOutputs];
    if (read_alarm_outs(ZQDB_PATH, list) != 0)
        return -1;
    for (int target = 0; target < kAlarmOutputs; ++target) {
        if ((mask >> target & 1u) == 0)
            continue;
        list[target].type = source.type;
        list[target].enable = source.enable;
        list[target].duration_time = source.duration_time;
    }
    if (write_alarm_outs(ZQDB_PATH, list, mask) != 0 ||
        copy_alarm_out_schedules(ZQDB_PATH, source.id, mask) != 0)
        return -1;
    for (int target = 0; target < kAlarmOutputs; ++target)
        if ((mask >> target & 1u) != 0)
            alarm_notify_id(kMsgAlarmOutChanged, target);
    return 0;
}

// The dialog's schedule and the request's fields of output `record->id`;
// 0 or -1 when a write failed.
int store_output(json_object *request, alarm_out_record *record)
{
    static schedule_record schedule;
    if (get_schedule_by_json(json_get_member(request, "dialog"), "effective", &schedule) == 0 &&
        write_alarm_out_schedule(ZQDB_PATH, &schedule, record->id) != 0)
        return -1;
    if (read_alarm_out(ZQDB_PATH, record, record->id) < 0)
        return -1;
    if (apply_output_fields(request, record) && write_alarm_out(ZQDB_PATH, record) != 0)
        return -1;
    return 0;
}

} // namespace

int on_get_alarm_outputs(char * /*text*/)
{
    alarm_out_record list[kAlarmOutputs];
    if (read_alarm_outs(ZQDB_PATH, list) != 0)
        return cgi_error_to_webserver(kRespJson);
    const JsonPtr reply = json_new_array();
    for (const alarm_out_record &record : list) {
        json_object *entry = json_object_new_object();
        add_output_fields(entry, record);
        json_object_array_add(reply.get(), entry);
    }
    return cgi_write_json(kRespJson, reply.get());
}

int on_get_alarm_output(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    const int id = json_member_int(request.get(), "alarmId", -1);
    alarm_out_record record;
    if (!alarm_out_valid(id) || read_alarm_out(ZQDB_PATH, &record, id) < 0)
        return cgi_error_to_webserver(kRespJson);
    static schedule_record schedule;
    read_alarm_out_schedule(ZQDB_PATH, &schedule, id);
    const JsonPtr reply = json_new_object();
    add_output_fields(reply.get(), record);
    json_object_object_add(reply.get(), "effective", get_schedule_json_object_ex(&schedule));
    return cgi_write_json(kRespJson, reply.get());
}

// Copies go only to the other outputs 0 to 3; the log names the source and
// every output the setting went to.
int on_set_alarm_output(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    alarm_out_record record{};
    record.id = json_member_int(request.get(), "alarmId", -1);
    if (!alarm_out_valid(record.id))
        return cgi_error_to_webserver(kRespText);
    if (store_output(request.get(), &record) != 0)
        return cgi_error_to_webserver(kRespText);
    alarm_notify_id(kMsgAlarmOutChanged, record.id);
    const uint32_t mask = alarm_copy_mask(request.get(), record.id, kAlarmOutputs);
    if (mask != 0 && copy_output_setting(record, mask) != 0)
        return cgi_error_to_webserver(kRespText);
    alarm_send_copy_log(kLogParamAlarmOut, record.id, mask | uint32_t{1} << record.id);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_set_alarm_output_switch(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    alarm_out_switch payload{-1, 0};
    if (!request || !json_value_int(json_get_member(request.get(), "id"), &payload.id) ||
        !json_value_int(json_get_member(request.get(), "enable"), &payload.enable) ||
        !alarm_out_valid(payload.id))
        return -1;
    cgi_ipc_notify(on_alarm_ipc_callback, kMsgAlarmOutSwitch, sizeof payload, &payload);
    alarm_send_log(kLogParamAlarmOut, payload.id);
    return cgi_writeback_webserver(kRespText, "OK");
}
