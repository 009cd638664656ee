// The recorder-side actions and schedules of each smart event of a channel:
// the action dialog saved with a rule, the schedule page and the record
// getter and setters.
#include <cstdio>

#include "codecs/channel_db.h"
#include "codecs/channel_mask.h"
#include "codecs/event_actions.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/video/vca.h"
#include "modules/video/video.h"
#include "platform/confdb/confdb.h"

namespace {

using Rec = smart_event_record;

// Integer and text fields the dialog takes; "triChannels" is taken apart,
// since its mask is rebuilt.
constexpr WireField kDialogFieldList[] = {
    WIRE_INT("triAlarms", Rec, tri_alarms),
    WIRE_INT("interval", Rec, interval),
    WIRE_INT("audioId", Rec, audio_id),
    WIRE_INT("email_interval", Rec, email_interval),
    WIRE_INT("email_pic_enable", Rec, email_pic_enable),
    WIRE_TEXT("tri_channels_pic", Rec, tri_channels_pic),
    WIRE_INT("ptz_interval", Rec, ptz_interval),
    WIRE_INT("alarmout_interval", Rec, alarmout_interval),
    WIRE_INT("white_interval", Rec, white_interval),
    WIRE_INT("http_notification_interval", Rec, http_notification_interval),
};
constexpr WireLayout kDialogFields = wire_layout(kDialogFieldList, sizeof(Rec));

// The schedule page's fields: the dialog's with "enable" and without the
// HTTP interval.
constexpr WireField kPageFieldList[] = {
    WIRE_INT("enable", Rec, enable),
    WIRE_INT("triAlarms", Rec, tri_alarms),
    WIRE_INT("interval", Rec, interval),
    WIRE_INT("audioId", Rec, audio_id),
    WIRE_INT("email_interval", Rec, email_interval),
    WIRE_INT("email_pic_enable", Rec, email_pic_enable),
    WIRE_TEXT("tri_channels_pic", Rec, tri_channels_pic),
    WIRE_INT("ptz_interval", Rec, ptz_interval),
    WIRE_INT("alarmout_interval", Rec, alarmout_interval),
    WIRE_INT("white_interval", Rec, white_interval),
};
constexpr WireLayout kPageFields = wire_layout(kPageFieldList, sizeof(Rec));

// The stored record as the pages read it, in answer order.
constexpr WireField kCommonFieldList[] = {
    WIRE_INT("chnid", Rec, chnid),
    WIRE_INT("enable", Rec, enable),
    WIRE_INT("triAlarms", Rec, tri_alarms),
    WIRE_INT("interval", Rec, interval),
    WIRE_INT("email_interval", Rec, email_interval),
    WIRE_INT("email_pic_enable", Rec, email_pic_enable),
    WIRE_TEXT("tri_channels_pic", Rec, tri_channels_pic),
};
constexpr WireLayout kCommonFields = wire_layout(kCommonFieldList, sizeof(Rec));

constexpr WireField kAlarmoutFieldList[] = {
    WIRE_INT("ptz_interval", Rec, ptz_interval),
    WIRE_INT("alarmout_interval", Rec, alarmout_interval),
    WIRE_TEXT("triChannels", Rec, tri_channels),
};
constexpr WireLayout kAlarmoutFields = wire_layout(kAlarmoutFieldList, sizeof(Rec));

struct ScheduleKey {
    const char *key;
    int kind;
};
constexpr ScheduleKey kSchedules[] = {{"effective", kRecSmartEventEffectiveSchedule},
                                      {"audible", kRecSmartEventAudibleSchedule},
                                      {"email", kRecSmartEventMailSchedule},
                                      {"ptz", kRecSmartEventPtzSchedule}};

// The action tables of one event, named by the database library.
struct SmartTables {
    char white_params[64];
    char white_schedule[64];
    char http_schedule[64];
    char http_params[64];
    EventActionTables tables;
};

void smart_tables(int index, bool with_http, SmartTables *out)
{
    get_vca_white_table_name(1, index, out->white_params, sizeof out->white_params);
    get_vca_white_table_name(0, index, out->white_schedule, sizeof out->white_schedule);
    get_vca_http_table_name(0, index, out->http_schedule, sizeof out->http_schedule);
    get_vca_http_table_name(1, index, out->http_params, sizeof out->http_params);
    out->tables = {out->white_params, out->white_schedule, with_http ? out->http_schedule : nullptr,
                   with_http ? out->http_params : nullptr, get_smart_event_ptz_type(index)};
}

void set_tri_channels(Rec *record, const char *text)
{
    fill_field_text(record->tri_channels, sizeof record->tri_channels, text);
    record->tri_channel_mask =
        static_cast<int32_t>(channel_mask_low(channel_mask_from_text(record->tri_channels)));
}

// The four schedules present in `request` (the effective one unless
// `effective` is false); 0, or -1 when a write failed.
int save_schedules(json_object *request, int chnid, int index, bool effective)
{
    static schedule_record schedule;
    for (const ScheduleKey &sche : kSchedules) {
        if (!effective && sche.kind == kRecSmartEventEffectiveSchedule)
            continue;
        if (get_schedule_by_json(request, sche.key, &schedule) == 0 &&
            write_smart_event_schedule(ZQDB_PATH, sche.kind, &schedule, chnid, index) != 0)
            return -1;
    }
    return 0;
}

// The actions of `request` for (chnid, index): the dialog with the HTTP keys
// and the PTZ list, the schedule page without them. The number of changes,
// or -1 when a write failed or the record could not be read.
int save_actions(json_object *request, int chnid, int index, bool dialog)
{
    Rec record;
    if (save_schedules(request, chnid, index, !dialog || index != kSmartEventPeopleCount) != 0 ||
        read_smart_event(ZQDB_PATH, &record, chnid, index) < 0)
        return -1;
    record.chnid = chnid;
    SmartTables tables;
    smart_tables(index, dialog, &tables);
    const EventActionFields fields{record.chn_alarmout0, record.chn_alarmout1, record.audio_id, nullptr};
    const int actions = event_actions_save(request, tables.tables, chnid, fields, dialog);
    if (actions < 0)
        return -1;
    const int ptz = dialog ? event_actions_save_ptz(request) : 0;
    size_t fields_set = wire_update(request, dialog ? kDialogFields : kPageFields, &record);
    if (const char *text = json_value_text(json_get_member(request, "triChannels"))) {
        set_tri_channels(&record, text);
        ++fields_set;
    }
    const bool changed = fields_set > 0 || actions > 0 || ptz > 0;
    if (changed && write_smart_event(ZQDB_PATH, &record, index) != 0)
        return -1;
    return (changed ? 1 : 0) + ptz;
}

bool smart_event_request(json_object *request, const char *channel_key, const char *index_key, int *chnid,
                         int *index)
{
    *chnid = json_member_int(request, channel_key, -1);
    *index = json_member_int(request, index_key, -1);
    return request != nullptr && camera_channel_valid(*chnid) && *index >= 0 && *index < kSmartEventCount;
}

void add_schedule(json_object *reply, const char *key, int kind, int chnid, int index)
{
    static schedule_record schedule;
    read_smart_event_schedule(ZQDB_PATH, kind, &schedule, chnid, index);
    json_object_object_add(reply, key, get_schedule_json_object(&schedule));
}

json_object *smart_event_json(Rec *record, int index)
{
    json_object *action = json_object_new_object();
    json_add_int(action, "chnid", record->chnid);
    json_add_int(action, "event", index);
    wire_add_fields(action, record, WireLayout{kCommonFieldList + 1, kCommonFields.count - 1, sizeof(Rec)});
    wire_add_fields(action, record, kAlarmoutFields);
    for (const ScheduleKey &sche : kSchedules)
        add_schedule(action, sche.key, sche.kind, record->chnid, index);
    SmartTables tables;
    smart_tables(index, false, &tables);
    const EventActionFields fields{record->chn_alarmout0, record->chn_alarmout1, record->audio_id,
                                   &record->white_interval};
    event_actions_add_reply(action, tables.tables, record->chnid, fields);
    return action;
}

} // namespace

void video_notify_smart_event(uint64_t mask)
{
    cgi_ipc_notify(on_video_ipc_callback, kMsgSmartEventChanged, sizeof mask, &mask);
}

int save_smart_event_dialog_data(int index, json_object *dialog, uint64_t copy_mask)
{
    const int chnid = json_member_int(dialog, "chnid", -1);
    if (!json_object_is_type(dialog, json_type_object) || !camera_channel_valid(chnid) || index < 0 ||
        index >= kSmartEventCount)
        return 0;
    const int changes = save_actions(dialog, chnid, index, true);
    if (changes < 0)
        return -1;
    const bool copied = copy_smart_event_action(index, chnid, channel_mask_low(copy_mask),
                                                channel_mask_high(copy_mask), 0) == 0;
    video_notify_smart_event((copied ? copy_mask : 0) | uint64_t{1} << chnid);
    return changes;
}

int on_get_smart_event_schedule(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int chnid = -1;
    int index = -1;
    if (!smart_event_request(request.get(), "chnid", "event", &chnid, &index))
        return cgi_error_to_webserver(kRespJson);
    Rec record;
    read_smart_event(ZQDB_PATH, &record, chnid, index);
    record.chnid = chnid;
    const JsonPtr reply = json_new_object();
    json_object *actions = json_object_new_array();
    json_object_array_add(actions, smart_event_json(&record, index));
    json_object_object_add(reply.get(), "action", actions);
    return cgi_write_json(kRespJson, reply.get());
}

int on_set_smart_event_schedule(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int chnid = -1;
    int index = -1;
    if (!smart_event_request(request.get(), "chnid", "event", &chnid, &index) ||
        save_actions(request.get(), chnid, index, false) < 0)
        return cgi_error_to_webserver(kRespText);
    video_notify_smart_event(uint64_t{1} << chnid);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_set_vca_allrtm_others(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int chnid = -1;
    int index = -1;
    Rec record;
    if (!smart_event_request(request.get(), "channel", "event", &chnid, &index) ||
        read_smart_event(ZQDB_PATH, &record, chnid, index) < 0)
        return cgi_writeback_webserver(kRespText, "ERROT");
    record.chnid = chnid;
    const int type = json_member_int(request.get(), "type", 0);
    if (type == 2)
        on_cgi_get_int_from_json(request.get(), "triAlarms", &record.tri_alarms);
    const char *channels = json_member_text(request.get(), "triChannels");
    if (type == 1 && channels != nullptr)
        set_tri_channels(&record, channels);
    if (write_smart_event(ZQDB_PATH, &record, index) != 0)
        return cgi_writeback_webserver(kRespText, "ERROT");
    video_notify_smart_event(uint64_t{1} << chnid);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_get_vca_common_para(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int chnid = -1;
    int index = -1;
    Rec record;
    if (!smart_event_request(request.get(), "channel", "type", &chnid, &index) ||
        read_smart_event(ZQDB_PATH, &record, chnid, index) < 0)
        return cgi_error_to_webserver(kRespText);
    record.chnid = chnid;
    const JsonPtr reply = json_new_object();
    wire_add_fields(reply.get(), &record, kCommonFields);
    wire_add_fields(reply.get(), &record, WireLayout{kAlarmoutFieldList + 2, 1, sizeof(Rec)});
    return cgi_write_json(kRespJson, reply.get());
}
