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
#include "modules/video/event_store.h"
#include "modules/video/vca.h"
#include "modules/video/video.h"
#include "platform/confdb/confdb.h"

namespace {

using Rec = smart_event_record;

constexpr WireField kAlarmoutFieldList[] = {
    WIRE_INT("ptz_interval", Rec, ptz_interval),
    WIRE_INT("alarmout_interval", Rec, alarmout_interval),
    WIRE_TEXT("triChannels", Rec, tri_channels),
};
constexpr WireLayout kAlarmoutFields = wire_layout(kAlarmoutFieldList, sizeof(Rec));

// The action tables of one event, named by the database library.
struct SmartTables {
    char white_params[64];
    char white_schedule[64];
    char http_schedule[64];
    char http_params[64];
};

// Where the actions of (chnid, index) are kept; `names` holds the table
// names the store points to.
EventActionStore smart_store(int chnid, int index, SmartTables *names)
{
    get_vca_white_table_name(1, index, names->white_params, sizeof names->white_params);
    get_vca_white_table_name(0, index, names->white_schedule, sizeof names->white_schedule);
    get_vca_http_table_name(0, index, names->http_schedule, sizeof names->http_schedule);
    get_vca_http_table_name(1, index, names->http_params, sizeof names->http_params);
    return EventActionStore{kRecSmartEvent,
                            {kRecSmartEventEffectiveSchedule, kRecSmartEventAudibleSchedule,
                             kRecSmartEventMailSchedule, kRecSmartEventPtzSchedule},
                            index << 8 | chnid,
                            {names->white_params, names->white_schedule, names->http_schedule,
                             names->http_params, get_smart_event_ptz_type(index)}};
}

// The actions of `request` for (chnid, index): the dialog with the HTTP keys
// and the PTZ list, the schedule page without them. The number of changes,
// or -1 when a write failed or the record could not be read.
int save_actions(json_object *request, int chnid, int index, bool dialog)
{
    SmartTables names;
    const EventActionStore store = smart_store(chnid, index, &names);
    const EventStoreSave how{dialog ? &kEventDialogFields : &kEventPageFields,
                             !dialog || index != kSmartEventPeopleCount, dialog, dialog, nullptr};
    return event_store_save(request, store, chnid, how);
}

bool smart_event_request(json_object *request, const char *channel_key, const char *index_key, int *chnid,
                         int *index)
{
    *chnid = json_member_int(request, channel_key, -1);
    *index = json_member_int(request, index_key, -1);
    return request != nullptr && camera_channel_valid(*chnid) && *index >= 0 && *index < kSmartEventCount;
}

json_object *smart_event_json(Rec *record, int index)
{
    json_object *action = json_object_new_object();
    json_add_int(action, "chnid", record->chnid);
    json_add_int(action, "event", index);
    wire_add_fields(action, record, kEventRecordBody);
    wire_add_fields(action, record, kAlarmoutFields);
    SmartTables names;
    EventActionStore store = smart_store(record->chnid, index, &names);
    event_store_add_schedules(action, store);
    store.tables.http_schedule = store.tables.http_params = nullptr;
    const EventActionFields fields{record->chn_alarmout0, record->chn_alarmout1, record->audio_id,
                                   &record->white_interval};
    event_actions_add_reply(action, store.tables, record->chnid, fields);
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
        event_set_tri_channels(&record, channels);
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
    wire_add_fields(reply.get(), &record, kEventRecordHead);
    wire_add_fields(reply.get(), &record, WireLayout{kAlarmoutFieldList + 2, 1, sizeof(Rec)});
    return cgi_write_json(kRespJson, reply.get());
}
