// Event actions of the alarm inputs, the recorder's and the cameras': the
// dialog saves, the copies to other inputs and the action part of the
// getters, all through the shared event action codecs.
#include <cstdio>

#include "codecs/event_actions.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "modules/alarm/alarm.h"
#include "platform/confdb/confdb.h"

namespace {

const EventActionTables kAlarmInTables = {"alarm_in_white_led_params", "alarmin_whiteled_esche",
                                          "alarmin_http_notification_sche",
                                          "alarmin_http_notification_params", kPtzTypeAlarmIn};
// The recorder's input page shows no HTTP notification.
const EventActionTables kAlarmInReplyTables = {
    kAlarmInTables.white_led_params, kAlarmInTables.white_led_schedule, nullptr, nullptr, kPtzTypeAlarmIn};

#define CAMERA_ALARM_IN_TABLES(n)                                                                            \
    {                                                                                                        \
        "alarm_chnIn" #n "_white_led_params", "alarm_chnIn" #n "_whiteled_esche",                            \
            "alarm_chnIn" #n "_http_notification_sche", "alarm_chnIn" #n "_http_notification_params",        \
            converse_chn_alarmid_to_event_in(n)                                                              \
    }
const EventActionTables kCameraAlarmInTables[kCameraAlarmInputs] = {
    CAMERA_ALARM_IN_TABLES(0), CAMERA_ALARM_IN_TABLES(1), CAMERA_ALARM_IN_TABLES(2),
    CAMERA_ALARM_IN_TABLES(3)};
#undef CAMERA_ALARM_IN_TABLES

using ScheduleDecoder = int (*)(json_object *, const char *, schedule_record *);

struct DialogSchedule {
    const char *key;
    int alarm_in_kind;
    int camera_kind;
    ScheduleDecoder decode;
};

const DialogSchedule kDialogSchedules[] = {
    {"effective", kRecAlarminEffectiveSchedule, kRecAlarmChnInEffectiveSchedule, get_schedule_by_json},
    {"audible", kRecAlarminAudibleSchedule, kRecAlarmChnInAudibleSchedule, get_schedule_by_json_ex},
    {"email", kRecAlarminEmailSchedule, kRecAlarmChnInMailSchedule, get_schedule_by_json_ex},
    {"ptz", kRecAlarminPtzSchedule, kRecAlarmChnInPtzSchedule, get_schedule_by_json_ex},
};

// Stores the dialog's schedules of the recorder's input `id` (chnid < 0)
// or of the camera input {chnid, id}; 0, or -1 when a write failed.
int save_dialog_schedules(json_object *dialog, int chnid, int id)
{
    static schedule_record schedule;
    for (const DialogSchedule &entry : kDialogSchedules) {
        if (entry.decode(dialog, entry.key, &schedule) != 0)
            continue;
        const int written =
            chnid < 0 ? write_alarmin_schedule(ZQDB_PATH, entry.alarm_in_kind, &schedule, id)
                      : write_alarm_chnIn_schedule(ZQDB_PATH, entry.camera_kind, &schedule, chnid, id);
        if (written != 0)
            return -1;
    }
    return 0;
}

// The action part shared by both dialogs: the tables' lists and the
// alarm-output texts, then the PTZ list. Number of record changes, or -1.
int save_dialog_actions(json_object *dialog, const EventActionTables &tables, int owner, char *alarmout0,
                        char *alarmout1)
{
    const EventActionFields fields{alarmout0, alarmout1, 0, nullptr};
    const int actions = event_actions_save(dialog, tables, owner, fields, true);
    if (actions < 0)
        return -1;
    return actions + event_actions_save_ptz(dialog);
}

// The recorder's input adds its switch, the snapshot channels and the
// trigger mask.
bool apply_alarm_in_fields(json_object *dialog, alarm_in_record *record)
{
    bool changed = event_set_action_fields(dialog, record);
    changed |= on_cgi_get_int_from_json(dialog, "enable", &record->enable) == 0;
    changed |= event_set_text(dialog, "triSnapshot", record->tri_snapshot, sizeof record->tri_snapshot);
    if (const char *channels = json_member_text(dialog, "triChannels")) {
        alarm_in_set_tri_channels(record, channels);
        changed = true;
    }
    return changed;
}

bool apply_camera_alarm_in_fields(json_object *dialog, alarm_chnin_event_record *record)
{
    const bool changed = event_set_action_fields(dialog, record);
    return event_set_text(dialog, "triChannels", record->tri_channels, sizeof record->tri_channels) ||
           changed;
}

// What a copy of the recorder's input carries: all but its id, name,
// trigger channels and picture channels, and the fields other pages keep.
void take_alarm_in_setting(alarm_in_record *target, const alarm_in_record &source)
{
    target->enable = source.enable;
    target->alarm_type = source.alarm_type;
    target->tri_alarms = source.tri_alarms;
    target->interval = source.interval;
    target->email_interval = source.email_interval;
    target->reserved0 = source.reserved0;
    memcpy(target->tri_snapshot, source.tri_snapshot, sizeof target->tri_snapshot);
    memcpy(target->chn_alarmout0, source.chn_alarmout0, sizeof target->chn_alarmout0);
    memcpy(target->chn_alarmout1, source.chn_alarmout1, sizeof target->chn_alarmout1);
    target->ptz_interval = source.ptz_interval;
    target->alarmout_interval = source.alarmout_interval;
    target->white_interval = source.white_interval;
    target->http_notification_interval = source.http_notification_interval;
    target->email_pic_enable = source.email_pic_enable;
    target->audio_id = source.audio_id;
}

json_object *camera_schedule_json(int kind, int chnid, int alarm_id)
{
    static schedule_record schedule;
    read_alarm_chnIn_schedule(ZQDB_PATH, kind, &schedule, chnid, alarm_id);
    return get_schedule_json_object(&schedule);
}

} // namespace

int save_alarm_in_dialog(json_object *dialog, alarm_in_record *record)
{
    if (save_dialog_schedules(dialog, -1, record->id) != 0)
        return -1;
    const int actions =
        save_dialog_actions(dialog, kAlarmInTables, record->id, record->chn_alarmout0, record->chn_alarmout1);
    if (actions < 0)
        return -1;
    return actions + (apply_alarm_in_fields(dialog, record) ? 1 : 0);
}

int copy_alarm_in_setting(const alarm_in_record &source, uint32_t mask)
{
    const int id = source.id;
    static alarm_in_record list[kAlarmInputs];
    if (!alarm_in_valid(id) || read_alarm_ins(ZQDB_PATH, list) != 0)
        return -1;
    mask &= ~(uint32_t{1} << id);
    for (int target = 0; target < kAlarmInputs; ++target)
        if ((mask >> target & 1u) != 0)
            take_alarm_in_setting(&list[target], source);
    if (write_alarm_ins(ZQDB_PATH, list, mask) != 0)
        return -1;
    for (const DialogSchedule &entry : kDialogSchedules)
        if (copy_alarmin_schedules(ZQDB_PATH, entry.alarm_in_kind, id, mask) != 0)
            return -1;
    return copy_event_action_tables(kAlarmInTables, id, mask);
}

void add_alarm_in_actions(json_object *reply, const alarm_in_record &record)
{
    const EventActionFields fields{const_cast<char *>(record.chn_alarmout0),
                                   const_cast<char *>(record.chn_alarmout1), record.audio_id,
                                   &record.white_interval};
    event_actions_add_reply(reply, kAlarmInReplyTables, record.id, fields);
}

int save_camera_alarm_in_dialog(json_object *dialog, int chnid, int alarm_id)
{
    alarm_chnin_event_record record;
    if (!camera_alarm_in_valid(chnid, alarm_id) || save_dialog_schedules(dialog, chnid, alarm_id) != 0 ||
        read_alarm_chnIn_event(ZQDB_PATH, &record, chnid, alarm_id) < 0)
        return -1;
    const int actions = save_dialog_actions(dialog, kCameraAlarmInTables[alarm_id], chnid,
                                            record.chn_alarmout0, record.chn_alarmout1);
    if (actions < 0)
        return -1;
    if (!apply_camera_alarm_in_fields(dialog, &record) && actions == 0)
        return 0;
    return write_alarm_chnIn_event(ZQDB_PATH, &record) == 0 ? 1 : -1;
}

int copy_camera_alarm_in_setting(int chnid, int alarm_id, uint64_t mask)
{
    if (!camera_alarm_in_valid(chnid, alarm_id) ||
        copy_alarm_chnIn_events(ZQDB_PATH, chnid, alarm_id, mask) != 0)
        return -1;
    for (const DialogSchedule &entry : kDialogSchedules)
        if (copy_alarm_chnIn_schedules(ZQDB_PATH, entry.camera_kind, chnid, alarm_id, mask) != 0)
            return -1;
    return copy_event_action_tables(kCameraAlarmInTables[alarm_id], chnid, mask);
}

void add_camera_alarm_in_setting(json_object *entry, int chnid, int alarm_id)
{
    alarm_chnin_name_record name;
    read_alarm_chnIn_event_name(ZQDB_PATH, &name, chnid, alarm_id);
    alarm_chnin_event_record record;
    read_alarm_chnIn_event(ZQDB_PATH, &record, chnid, alarm_id);
    const EventActionTables &tables = kCameraAlarmInTables[alarm_id];
    json_add_field(entry, "alarmName", name.name);
    json_object_object_add(entry, "effective",
                           camera_schedule_json(kRecAlarmChnInEffectiveSchedule, chnid, alarm_id));
    json_object_object_add(entry, "audible",
                           camera_schedule_json(kRecAlarmChnInAudibleSchedule, chnid, alarm_id));
    json_add_int(entry, "interval", record.interval);
    json_add_int(entry, "audioId", record.audio_id);
    json_add_int(entry, "audioIdMask", get_audio_file_id_mask());
    json_object_object_add(entry, "email", camera_schedule_json(kRecAlarmChnInMailSchedule, chnid, alarm_id));
    json_add_int(entry, "email_interval", record.email_interval);
    json_add_int(entry, "email_pic_enable", record.email_pic_enable);
    json_add_field(entry, "tri_channels_pic", record.tri_channels_pic);
    json_object_object_add(entry, "ptz", camera_schedule_json(kRecAlarmChnInPtzSchedule, chnid, alarm_id));
    json_add_int(entry, "ptz_interval", record.ptz_interval);
    json_object_object_add(entry, "ptzParams", get_ptz_params_json_object(tables.ptz_type, chnid));
    json_add_int(entry, "alarmout_interval", record.alarmout_interval);
    json_add_int(entry, "triAlarms", record.tri_alarms);
    json_add_field(entry, "triChannels", record.tri_channels);
    json_object *alarmouts = json_object_new_array();
    json_object_array_add(alarmouts, json_field_string(record.chn_alarmout0, sizeof record.chn_alarmout0));
    json_object_array_add(alarmouts, json_field_string(record.chn_alarmout1, sizeof record.chn_alarmout1));
    json_object_object_add(entry, "triChnAlarms", alarmouts);
    json_object_object_add(entry, "white",
                           get_whiteled_schedule_json_object(chnid, tables.white_led_schedule));
    json_object_object_add(entry, "whiteInfo", get_white_params_json_object(chnid, tables.white_led_params));
    json_add_int(entry, "white_interval", record.white_interval);
    json_add_int(entry, "http_notification_interval", record.http_notification_interval);
    json_object_object_add(entry, "httpSche", get_http_schedule_json_object(chnid, tables.http_schedule));
    json_object_object_add(entry, "httpParams", get_http_params_json_object(chnid, tables.http_params));
}
