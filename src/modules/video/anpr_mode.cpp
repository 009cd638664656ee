// The plate mode events of a channel: the general mode keeps only its
// effective schedule; the black list, white list and visitor modes each
// keep an event record with its schedules and action tables.
#include <cstring>

#include "codecs/channel_db.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/video/anpr.h"
#include "modules/video/event_store.h"
#include "modules/video/video.h"
#include "platform/confdb/confdb.h"

namespace {

using Rec = smart_event_record;

// The answer's keys after the record head and the action intervals.
constexpr WireField kReplyTailList[] = {
    WIRE_INT("http_notification_interval", Rec, http_notification_interval),
    WIRE_TEXT("triChannels", Rec, tri_channels),
};
constexpr WireLayout kReplyTail = wire_layout(kReplyTailList, sizeof(Rec));

// The action tables of each list mode.
constexpr EventActionTables kModeTables[kAnprModeCount] = {
    {"lpr_black_white_led_params", "lpr_black_whiteled_esche", "lpr_black_mode_http_notification_sche",
     "lpr_black_mode_http_notification_params", kPtzTypeAnprFirst},
    {"lpr_white_white_led_params", "lpr_white_whiteled_esche", "lpr_white_mode_http_notification_sche",
     "lpr_white_mode_http_notification_params", kPtzTypeAnprFirst + 1},
    {"lpr_vistor_white_led_params", "lpr_vistor_whiteled_esche", "lpr_visitor_mode_http_notification_sche",
     "lpr_visitor_mode_http_notification_params", kPtzTypeAnprFirst + 2},
};

bool list_mode(int mode) { return mode >= kAnprModeFirst && mode < kAnprModeCount; }

// The store of (chnid, mode); the general mode has only its effective
// schedule.
EventActionStore anpr_store(int chnid, int mode)
{
    if (!list_mode(mode))
        return EventActionStore{0, {kRecAnprEffectiveSchedule, 0, 0, 0}, anpr_event_id(chnid, mode), {}};
    return EventActionStore{
        kRecAnprEvent,
        {kRecAnprEffectiveSchedule, kRecAnprAudibleSchedule, kRecAnprMailSchedule, kRecAnprPtzSchedule},
        anpr_event_id(chnid, mode),
        kModeTables[mode]};
}

bool mode_request(json_object *request, int *chnid, int *mode)
{
    *chnid = json_member_int(request, "chnid", -1);
    *mode = json_member_int(request, "mode", -2);
    return request != nullptr && camera_channel_valid(*chnid) && *mode >= kAnprModeGeneral &&
           *mode < kAnprModeCount;
}

void add_effective(json_object *reply, int chnid)
{
    static schedule_record schedule;
    confdb_read_record(ZQDB_PATH, kRecAnprEffectiveSchedule, anpr_event_id(chnid, kAnprModeGeneral),
                       &schedule, sizeof schedule);
    json_object_object_add(reply, "effective", get_schedule_json_object(&schedule));
}

// The general mode's dialog: only its effective schedule. 0 or -1.
int save_general(json_object *dialog, int chnid)
{
    static schedule_record schedule;
    if (get_schedule_by_json(dialog, "effective", &schedule) != 0)
        return 0;
    return confdb_write_record(ZQDB_PATH, kRecAnprEffectiveSchedule, anpr_event_id(chnid, kAnprModeGeneral),
                               &schedule, sizeof schedule);
}

} // namespace

int read_anpr_event(const char *db, Rec *record, int chnid, int mode)
{
    if (!camera_channel_valid(chnid) || !list_mode(mode)) {
        memset(record, 0, sizeof *record);
        return -1;
    }
    return confdb_read_record(db, kRecAnprEvent, anpr_event_id(chnid, mode), record, sizeof *record);
}

int write_anpr_event(const char *db, const Rec *record, int mode)
{
    if (!camera_channel_valid(record->chnid) || !list_mode(mode))
        return -1;
    return confdb_write_record(db, kRecAnprEvent, anpr_event_id(record->chnid, mode), record, sizeof *record);
}

int on_get_anpr_mode_params(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int chnid = -1;
    int mode = -1;
    if (!mode_request(request.get(), &chnid, &mode))
        return cgi_error_to_webserver(kRespJson);
    const JsonPtr reply = json_new_object();
    json_add_int(reply.get(), "chnid", chnid);
    json_add_int(reply.get(), "mode", mode);
    if (!list_mode(mode)) {
        add_effective(reply.get(), chnid);
        return cgi_write_json(kRespJson, reply.get());
    }
    Rec record;
    read_anpr_event(ZQDB_PATH, &record, chnid, mode);
    wire_add_fields(reply.get(), &record, kEventRecordBody);
    wire_add_fields(reply.get(), &record, kEventIntervals);
    wire_add_fields(reply.get(), &record, kReplyTail);
    const EventActionStore store = anpr_store(chnid, mode);
    event_store_add_schedules(reply.get(), store);
    const EventActionFields fields{record.chn_alarmout0, record.chn_alarmout1, record.audio_id, nullptr};
    event_actions_add_reply(reply.get(), store.tables, chnid, fields);
    return cgi_write_json(kRespJson, reply.get());
}

int on_set_anpr_mode_params(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int chnid = -1;
    int mode = -1;
    if (!mode_request(request.get(), &chnid, &mode))
        return cgi_error_to_webserver(kRespJson);
    json_object *dialog = json_get_member(request.get(), "dialog");
    if (!json_object_is_type(dialog, json_type_object))
        dialog = nullptr;
    int32_t enable = 0;
    const bool has_enable = json_value_int(json_get_member(request.get(), "enable"), &enable);
    const EventStoreSave how{&kEventDialogFields, true, true, true, has_enable ? &enable : nullptr};
    const int saved = list_mode(mode) ? event_store_save(dialog, anpr_store(chnid, mode), chnid, how)
                                      : save_general(dialog, chnid);
    if (saved < 0)
        return cgi_error_to_webserver(kRespJson);
    const anpr_mode_changed changed{chnid, mode};
    cgi_ipc_notify(on_video_ipc_callback, kMsgAnprModeChanged, sizeof changed, &changed);
    return cgi_writeback_webserver(kRespText, "OK");
}
