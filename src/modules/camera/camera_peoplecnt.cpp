// People counting: the 9 counting groups with their event dialogs, the
// resets of a group's counts, and the automatic backup of the counting
// reports. The records live in the database; the core daemon is told of
// each change and answers it.
#include <iterator>

#include "codecs/event_actions.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "front/web_utils.h"
#include "modules/camera/camera.h"
#include "platform/confdb/confdb.h"

namespace {

const WireField kGroupFields[] = {
    WIRE_INT("groupid", peoplecnt_group, groupid),
    WIRE_INT("enable", peoplecnt_group, enable),
    WIRE_INT("stays", peoplecnt_group, stays),
    WIRE_INT("liveview_auto_reset", peoplecnt_group, liveview_auto_reset),
    WIRE_INT("auto_day", peoplecnt_group, auto_day),
    WIRE_INT("liveview_font_size", peoplecnt_group, liveview_font_size),
    WIRE_TEXT("name", peoplecnt_group, name),
    WIRE_TEXT("auto_day_time", peoplecnt_group, auto_day_time),
    WIRE_TEXT("tri_channels", peoplecnt_group, tri_channels),
    WIRE_TEXT("liveview_green_tips", peoplecnt_group, liveview_green_tips),
    WIRE_TEXT("liveview_red_tips", peoplecnt_group, liveview_red_tips),
};
constexpr WireLayout kGroup = wire_layout(kGroupFields, sizeof(peoplecnt_group));

// The dialog's integers and picture channels, in the order it answers them.
const WireField kGroupActionFields[] = {
    WIRE_INT("triAlarms", event_action_fields, tri_alarms),
    WIRE_INT("interval", event_action_fields, interval),
    WIRE_INT("email_interval", event_action_fields, email_interval),
    WIRE_INT("email_pic_enable", event_action_fields, email_pic_enable),
    WIRE_TEXT("tri_channels_pic", event_action_fields, tri_channels_pic),
    WIRE_INT("ptz_interval", event_action_fields, ptz_interval),
    WIRE_INT("alarmout_interval", event_action_fields, alarmout_interval),
    WIRE_INT("white_interval", event_action_fields, white_interval),
};
constexpr WireLayout kGroupAction = wire_layout(kGroupActionFields, sizeof(event_action_fields));

const EventActionTables kGroupTables = {"people_cnt_white_led_params", "people_cnt_whiteled_esche",
                                        "people_cnt_http_notification_sche",
                                        "people_cnt_http_notification_params", kPtzTypePeopleCnt};
// The dialog shows no HTTP notification.
const EventActionTables kGroupReplyTables = {kGroupTables.white_led_params, kGroupTables.white_led_schedule,
                                             nullptr, nullptr, kPtzTypePeopleCnt};

const EventScheduleKey kGroupSchedules[] = {
    {"audible", kScheduleAudible},
    {"email", kScheduleEmail},
    {"ptz", kSchedulePtz},
};

const WireField kReportFields[] = {
    WIRE_INT("reportType", report_backup, reportType),
    WIRE_INT("enable", report_backup, enable),
    WIRE_TEXT("triChannels", report_backup, triChannels),
    WIRE_TEXT("triGroups", report_backup, triGroups),
    WIRE_INT("stayLengthType", report_backup, stayLengthType),
    WIRE_INT("stayLengthValue", report_backup, stayLengthValue),
    WIRE_INT("backupDay", report_backup, backupDay),
    WIRE_TEXT("backupTime", report_backup, backupTime),
    WIRE_INT("fileFormat", report_backup, fileFormat),
    WIRE_INT("timeRange", report_backup, timeRange),
    WIRE_INT("backupTo", report_backup, backupTo),
    WIRE_INT("lineMask", report_backup, lineMask),
};
constexpr WireLayout kReport = wire_layout(kReportFields, sizeof(report_backup));

bool group_valid(int group) { return group >= 0 && group < kPeopleCntGroups; }

// The "groupid" of a request, 0..8; false when the text does not parse or
// the group is out of range.
bool request_group(const JsonPtr &request, int *group)
{
    *group = request ? json_member_int(request.get(), "groupid") : -1;
    return group_valid(*group);
}

json_object *group_schedule_json(int kind, int group)
{
    static schedule_record schedule;
    read_peoplecnt_schedule(ZQDB_PATH, kind, &schedule, group);
    return get_schedule_json_object(&schedule);
}

// A group's event dialog, its PTZ actions last.
json_object *group_dialog_json(int group)
{
    peoplecnt_event record;
    read_peoplecnt_event(ZQDB_PATH, &record, group);
    json_object *dialog = json_object_new_object();
    json_add_int(dialog, "chnid", group);
    wire_add_fields(dialog, &record.action, kGroupAction);
    // The page shows the audible schedule as the dialog's effective one.
    json_object_object_add(dialog, "effective", group_schedule_json(kScheduleAudible, group));
    json_object_object_add(dialog, "audible", group_schedule_json(kScheduleAudible, group));
    json_object_object_add(dialog, "email", group_schedule_json(kScheduleEmail, group));
    json_object_object_add(dialog, "ptz", group_schedule_json(kSchedulePtz, group));
    const EventActionFields fields{record.action.chn_alarmout0, record.action.chn_alarmout1,
                                   record.action.audio_id, nullptr};
    event_actions_add_reply(dialog, kGroupReplyTables, group, fields);
    return dialog;
}

// Stores what the dialog request holds; 0, or -1 when a write failed.
int save_group_dialog(json_object *request, int group)
{
    peoplecnt_event record;
    if (save_event_schedules(request, kGroupSchedules, std::size(kGroupSchedules), write_peoplecnt_schedule,
                             group) != 0 ||
        read_peoplecnt_event(ZQDB_PATH, &record, group) != 0)
        return -1;
    const EventActionFields fields{record.action.chn_alarmout0, record.action.chn_alarmout1, 0, nullptr};
    int changes = event_actions_save(request, kGroupTables, group, fields, true);
    if (changes < 0)
        return -1;
    changes += set_ptz_params_by_json(group, kPtzTypePeopleCnt,
                                      json_value_array(json_get_member(request, "ptzParams")));
    if (event_set_action_fields(request, &record.action))
        ++changes;
    return changes == 0 || write_peoplecnt_event(ZQDB_PATH, &record) == 0 ? 0 : -1;
}

// Element i of the array under `key` updates record i (of `count`), by the
// keys it holds; elements past `count` and non-objects are skipped.
template <typename Record>
void update_from_array(json_object *request, const char *key, const WireLayout &layout, Record *list,
                       int count)
{
    json_object *array = json_value_array(json_get_member(request, key));
    const size_t size = json_array_size(array);
    for (size_t index = 0; index < size && index < static_cast<size_t>(count); ++index) {
        json_object *item = json_array_item(array, index);
        if (json_object_is_type(item, json_type_object))
            wire_update(item, layout, &list[index]);
    }
}

// A group's reset: `code` with the group, answered by the reply.
int send_group_reset(char *text, int code)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int group = -1;
    if (!request_group(request, &group))
        return cgi_error_to_webserver(kRespJson);
    const int32_t payload = group;
    relay_request(code, &payload, sizeof payload, kRespJson);
    return 0;
}

} // namespace

int on_cgi_get_peoplecnt_settings(char *text)
{
    // A request without a text (or without "action") lists the groups alone.
    const JsonPtr request(get_request_tokener_json_object(text));
    const bool with_dialog = request && json_member_int(request.get(), "action") != 0;
    static peoplecnt_group groups[kPeopleCntGroups];
    read_peoplecnt_settings(ZQDB_PATH, groups);
    const JsonPtr answer = json_new_object();
    json_object *list = json_object_new_array();
    for (int group = 0; group < kPeopleCntGroups; ++group) {
        json_object *entry = json_object_new_object();
        wire_add_fields(entry, &groups[group], kGroup);
        if (with_dialog)
            json_object_object_add(entry, "dialog", group_dialog_json(group));
        json_object_array_add(list, entry);
    }
    json_object_object_add(answer.get(), "groups", list);
    return cgi_write_json(kRespJson, answer.get());
}

int on_cgi_set_peoplecnt_settings(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    static peoplecnt_group groups[kPeopleCntGroups];
    if (!request || read_peoplecnt_settings(ZQDB_PATH, groups) != 0)
        return cgi_error_to_webserver(kRespJson);
    update_from_array(request.get(), "groups", kGroup, groups, kPeopleCntGroups);
    for (int group = 0; group < kPeopleCntGroups; ++group)
        groups[group].groupid = group;
    if (write_peoplecnt_settings(ZQDB_PATH, groups) != 0)
        return cgi_error_to_webserver(kRespJson);
    const int32_t payload = 0;
    relay_request(kMsgPeopleCntChanged, &payload, sizeof payload, kRespJson);
    return 0;
}

int on_cgi_get_peoplecnt_action(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int group = -1;
    if (!request_group(request, &group))
        return cgi_error_to_webserver(kRespJson);
    const JsonPtr dialog(group_dialog_json(group));
    json_object_object_del(dialog.get(), "ptzParams");
    return cgi_write_json(kRespJson, dialog.get());
}

// The save is answered by the core daemon's reply to the change notice.
int on_cgi_set_peoplecnt_action(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int group = -1;
    if (!request_group(request, &group) || save_group_dialog(request.get(), group) != 0)
        return cgi_error_to_webserver(kRespJson);
    const int32_t payload[2] = {group, -1};
    relay_request(kMsgPeopleCntActionChanged, payload, sizeof payload, kRespJson);
    return 0;
}

int on_cgi_set_peoplecnt_db_reset(char *text) { return send_group_reset(text, kMsgPeopleCntDbReset); }

int on_cgi_set_peoplecnt_liveview_reset(char *text)
{
    return send_group_reset(text, kMsgPeopleCntLiveviewReset);
}

int on_cgi_get_report_auto_backup(char *)
{
    static report_backup list[kReportKinds];
    read_peoplecnt_auto_backup(ZQDB_PATH, list);
    const JsonPtr answer = json_new_object();
    json_object *reports = json_object_new_array();
    for (const report_backup &report : list) {
        json_object *entry = json_object_new_object();
        wire_add_fields(entry, &report, kReport);
        json_object_array_add(reports, entry);
    }
    json_object_object_add(answer.get(), "report", reports);
    json_add_int(answer.get(), "email", 1);
    return cgi_write_json(kRespJson, answer.get());
}

// Report kinds the request leaves out keep their stored settings.
int on_cgi_set_report_auto_backup(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    static report_backup list[kReportKinds];
    if (!request || read_peoplecnt_auto_backup(ZQDB_PATH, list) != 0)
        return cgi_error_to_webserver(kRespJson);
    update_from_array(request.get(), "report", kReport, list, kReportKinds);
    if (write_peoplecnt_auto_backup(ZQDB_PATH, list) != 0)
        return cgi_error_to_webserver(kRespJson);
    relay_request(kMsgReportBackupChanged, nullptr, 0, kRespJson);
    return 0;
}
