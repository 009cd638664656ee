// One of the recorder's alarm inputs with all its actions: the page's
// getter, and its save with the disarming linkage and the copy to other
// inputs.
#include "codecs/event_actions.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "front/web_utils.h"
#include "modules/alarm/alarm.h"
#include "platform/confdb/confdb.h"

namespace {

void add_nvr_input_fields(json_object *reply, const alarm_in_record &record)
{
    json_add_int(reply, "alarmId", record.id);
    json_add_string(reply, "name", record.name);
    json_add_int(reply, "alarmType", record.alarm_type);
    json_add_int(reply, "enable", record.enable);
    json_add_int(reply, "triAlarms", record.tri_alarms);
    json_add_int(reply, "interval", record.interval);
    json_add_int(reply, "email_interval", record.email_interval);
    json_add_int(reply, "email_pic_enable", record.email_pic_enable);
    json_add_string(reply, "tri_channels_pic", record.tri_channels_pic);
    json_add_int(reply, "ptz_interval", record.ptz_interval);
    json_add_int(reply, "alarmout_interval", record.alarmout_interval);
    json_add_string(reply, "triChannels", record.tri_channels);
    json_add_string(reply, "triSnapshot", record.tri_snapshot);
}

// The disarming linkage belongs to input 0; it is written when the request
// changes it. 0 or -1.
int store_disarming(json_object *request)
{
    disarming_record record;
    if (read_disarming(ZQDB_PATH, &record) < 0)
        return -1;
    const EventIntKey keys[] = {
        {"linkageAction", &record.linkage_action},
        {"disarmActionMask", &record.disarm_action_mask},
    };
    if (!event_set_ints(request, keys, sizeof keys / sizeof keys[0]))
        return 0;
    return write_disarming(ZQDB_PATH, &record);
}

// The request's changes of input `record->id` (its own keys, the disarming
// linkage, the dialog), the record written when any changed; 0 or -1.
int store_nvr_input(json_object *request, alarm_in_record *record)
{
    bool changed = on_cgi_get_int_from_json(request, "alarmType", &record->alarm_type) == 0;
    changed |= event_set_text(request, "name", record->name, sizeof record->name);
    if (record->id == 0 && store_disarming(request) != 0)
        return -1;
    json_object *dialog = json_get_member(request, "dialog");
    if (json_object_is_type(dialog, json_type_object)) {
        const int changes = save_alarm_in_dialog(dialog, record);
        if (changes < 0)
            return -1;
        changed |= changes > 0;
    }
    return changed && write_alarm_in(ZQDB_PATH, record) != 0 ? -1 : 0;
}

} // namespace

int on_get_nvr_alarm_input(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    const int id = json_member_int(request.get(), "alarmId", -1);
    alarm_in_record record;
    if (!alarm_in_valid(id) || read_alarm_in(ZQDB_PATH, &record, id) < 0)
        return cgi_error_to_webserver(kRespJson);
    const JsonPtr reply = json_new_object();
    add_nvr_input_fields(reply.get(), record);
    add_schedule(reply.get(), "effective", read_alarmin_schedule, kRecAlarminEffectiveSchedule, id, false);
    add_schedule(reply.get(), "audible", read_alarmin_schedule, kRecAlarminAudibleSchedule, id, true);
    add_schedule(reply.get(), "email", read_alarmin_schedule, kRecAlarminEmailSchedule, id, true);
    add_schedule(reply.get(), "ptz", read_alarmin_schedule, kRecAlarminPtzSchedule, id, true);
    add_alarm_in_actions(reply.get(), record);
    return cgi_write_json(kRespJson, reply.get());
}

// Copies go only to the other inputs 0 to 15.
int on_set_nvr_alarm_input(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    const int id = json_member_int(request.get(), "alarmId", -1);
    if (!alarm_in_valid(id))
        return cgi_error_to_webserver(kRespJson);
    alarm_in_record record;
    if (read_alarm_in(ZQDB_PATH, &record, id) < 0 || store_nvr_input(request.get(), &record) != 0)
        return cgi_error_to_webserver(kRespText);
    const uint32_t mask = alarm_copy_mask(request.get(), id, kAlarmInputs);
    if (mask != 0 && copy_alarm_in_setting(record, mask) != 0)
        return cgi_error_to_webserver(kRespText);
    alarm_notify_mask(kMsgAlarmInsChanged, mask | uint32_t{1} << id);
    return cgi_writeback_webserver(kRespText, "OK");
}
