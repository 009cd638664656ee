// Motion settings of one channel: the whole setting with its actions, the
// detection settings, the action dialog and the live motion map.
#include <cstring>

#include "codecs/event_actions.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/video/video.h"
#include "platform/confdb/confdb.h"

namespace {

void add_motion_fields(json_object *reply, const motion_record &record)
{
    json_add_int(reply, "chnid", record.chnid);
    json_add_int(reply, "enable", record.enable);
    json_add_int(reply, "sensitivity", record.sensitivity);
    json_add_string(reply, "triChannels", record.tri_channels);
    json_add_int(reply, "triAlarms", record.tri_alarms);
    json_add_int(reply, "interval", record.interval);
    json_add_int(reply, "enableMS", record.enable_ms);
    json_add_string(reply, "motionTable", record.motion_table);
    json_add_int(reply, "email_enable", record.email_enable);
    json_add_int(reply, "email_interval", record.email_interval);
    json_add_int(reply, "email_pic_enable", record.email_pic_enable);
    json_add_string(reply, "tri_channels_pic", record.tri_channels_pic);
    json_add_int(reply, "ptz_interval", record.ptz_interval);
    json_add_int(reply, "alarmout_interval", record.alarmout_interval);
    json_add_int(reply, "http_notification_interval", record.http_notification_interval);
}

// The eight detection keys, all required, with their ranges.
bool check_movedetect_info(json_object *request, motion_record *record)
{
    const char *keys[] = {"camId", "enable", "sensitivity", "triAlarms", "interval", "enableMS"};
    int values[6] = {};
    for (size_t index = 0; index < 6; ++index)
        if (!json_value_int(json_get_member(request, keys[index]), &values[index]))
            return false;
    const char *channels = json_value_text(json_get_member(request, "triChannels"));
    const char *table = json_value_text(json_get_member(request, "motionTable"));
    if (channels == nullptr || table == nullptr || !camera_channel_valid(values[0]) || values[2] < 0 ||
        values[3] < 0 || values[4] < 0)
        return false;
    record->chnid = values[0];
    record->enable = values[1];
    record->sensitivity = values[2];
    record->tri_alarms = values[3];
    record->interval = values[4];
    record->enable_ms = values[5];
    snprintf(record->motion_table, sizeof record->motion_table, "%s", table);
    motion_set_tri_channels(record, channels);
    return true;
}

void send_motion_map(const motion_record &record)
{
    motion_map map{};
    snprintf(map.map, sizeof map.map, "%s", record.motion_table);
    map.sensitivity = record.sensitivity;
    map.chnid = record.chnid;
    cgi_ipc_notify(on_video_ipc_callback, kMsgSetMotionMap, sizeof map, &map);
}

// The plain record fields of the action dialog; true when any was present.
bool apply_action_fields(json_object *request, motion_record *record, bool with_http)
{
    bool changed = on_cgi_get_int_from_json(request, "enable", &record->enable) == 0;
    changed |= event_set_action_fields(request, record, with_http);
    if (const char *text = json_value_text(json_get_member(request, "triChannels"))) {
        motion_set_tri_channels(record, text);
        changed = true;
    }
    return changed;
}

const EventScheduleKey kMotionActionSchedules[] = {{"effective", kRecMotionEffectiveSchedule},
                                                   {"audible", kRecMotionAudibleSchedule},
                                                   {"email", kRecMotionEmailSchedule},
                                                   {"ptz", kRecMotionPtzSchedule}};

// The action keys of `request` for `chnid`, with the HTTP keys and the PTZ
// list for the dialog: number of changes, or -1 when a write failed.
int save_motion_actions(json_object *request, int chnid, bool dialog)
{
    motion_record record;
    if (save_event_schedules(request, kMotionActionSchedules, 4, chnid) != 0 ||
        read_motion(ZQDB_PATH, &record, chnid) < 0)
        return -1;
    record.chnid = chnid;
    const EventActionFields fields{record.chn_alarmout0, record.chn_alarmout1, record.audio_id, nullptr};
    const int actions = event_actions_save(request, kMotionActionTables, chnid, fields, dialog);
    if (actions < 0)
        return -1;
    const int ptz = dialog ? event_actions_save_ptz(request) : 0;
    const bool changed = apply_action_fields(request, &record, dialog) || actions > 0 || ptz > 0;
    if (changed && write_motion(ZQDB_PATH, &record) != 0)
        return -1;
    return (changed ? 1 : 0) + ptz;
}

} // namespace

int save_event_schedules(json_object *request, const EventScheduleKey *schedules, size_t count, int chnid)
{
    return save_event_schedules(request, schedules, count, write_motion_schedule_kind, chnid);
}

int on_get_movedetect_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    const int chnid = json_member_int(request.get(), "chnid", -1);
    if (!request || !camera_channel_valid(chnid))
        return cgi_error_to_webserver(kRespJson);
    motion_record record;
    read_motion(ZQDB_PATH, &record, chnid);
    record.chnid = chnid;
    const JsonPtr reply = json_new_object();
    add_motion_fields(reply.get(), record);
    add_schedule(reply.get(), "effective", read_motion_schedule_kind, kRecMotionEffectiveSchedule, chnid,
                 false);
    add_schedule(reply.get(), "audible", read_motion_schedule_kind, kRecMotionAudibleSchedule, chnid, true);
    add_schedule(reply.get(), "email", read_motion_schedule_kind, kRecMotionEmailSchedule, chnid, true);
    add_schedule(reply.get(), "ptz", read_motion_schedule_kind, kRecMotionPtzSchedule, chnid, true);
    const EventActionFields fields{record.chn_alarmout0, record.chn_alarmout1, record.audio_id,
                                   &record.white_interval};
    event_actions_add_reply(reply.get(), kMotionActionTables, chnid, fields);
    return cgi_write_json(kRespJson, reply.get());
}

// The stored record keeps its actions; only the detection fields change.
int on_set_movedetect_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    motion_record sent{};
    if (!request || !check_movedetect_info(request.get(), &sent))
        return -1;
    motion_record record;
    if (read_motion(ZQDB_PATH, &record, sent.chnid) < 0)
        return cgi_error_to_webserver(kRespText);
    record.chnid = sent.chnid;
    record.enable = sent.enable;
    record.sensitivity = sent.sensitivity;
    record.tri_alarms = sent.tri_alarms;
    record.interval = sent.interval;
    record.enable_ms = sent.enable_ms;
    memcpy(record.motion_table, sent.motion_table, sizeof record.motion_table);
    motion_set_tri_channels(&record, sent.tri_channels);
    if (write_motion(ZQDB_PATH, &record) != 0)
        return cgi_error_to_webserver(kRespText);
    video_notify_motion(record.chnid);
    send_motion_map(record);
    video_send_motion_sched(record.chnid, record.enable_ms);
    video_send_motion_log(record.chnid);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_set_move_action(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    const int chnid = json_member_int(request.get(), "chnid", -1);
    if (!request || !camera_channel_valid(chnid))
        return cgi_error_to_webserver(kRespJson);
    if (save_motion_actions(request.get(), chnid, false) < 0)
        return cgi_error_to_webserver(kRespText);
    video_notify_motion(chnid);
    return cgi_writeback_webserver(kRespText, "OK");
}

int save_motion_dialog_data(json_object *dialog)
{
    const int chnid = json_member_int(dialog, "chnid", -1);
    if (!json_object_is_type(dialog, json_type_object) || !camera_channel_valid(chnid))
        return 0;
    const int changes = save_motion_actions(dialog, chnid, true);
    if (changes >= 0)
        video_notify_motion(chnid);
    return changes;
}

int on_get_motion_map(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    const int id = json_member_int(request.get(), "id", -1);
    if (!request || !camera_channel_valid(id))
        return -1;
    const int32_t payload = id;
    cgi_ipc_request(on_video_ipc_callback, kMsgGetMotionMap, sizeof payload, &payload, kRespText);
    return 0;
}
