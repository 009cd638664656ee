// Schedules and actions of several video loss channels or recorder alarm
// inputs at once: the alarm sound and e-mail schedules with their switches,
// the PTZ schedule with the source's PTZ actions, the effective schedule of
// one input, and the alarm outputs or trigger channels of several inputs.
#include <cstring>

#include "codecs/alarm_db.h"
#include "codecs/channel_mask.h"
#include "codecs/event_action_db.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/alarm/alarm_records.h"
#include "modules/video/video.h"
#include "modules/video/video_loss.h"
#include "platform/confdb/confdb.h"

namespace {

// The ids of the request's first "cnt" elements of "chnid" that lie
// below `limit`.
uint64_t listed_ids(json_object *request, int limit)
{
    const uint64_t mask = get_copy_flag_by_json(request, "chnid", "cnt");
    return limit >= 64 ? mask : mask & ((uint64_t{1} << limit) - 1);
}

// The request's schedule under every listed id; a request without one
// leaves the stored schedules. 0 or -1.
int store_listed_schedule(json_object *request, int kind, uint64_t mask)
{
    static schedule_record schedule;
    if (mask == 0 || get_schedule_by_json(request, "schedule", &schedule) != 0)
        return 0;
    return confdb_write_masked(ZQDB_PATH, kind, &schedule, sizeof schedule, 0, mask);
}

// The switch and interval of one kind of action on every listed record;
// the mask of the records whose values changed.
template <typename Record>
uint64_t set_switch_and_interval(Record *list, int count, uint64_t listed, int32_t Record::*on,
                                 int32_t Record::*interval, json_object *request)
{
    const int enable = json_member_int(request, "enable", 0);
    const int every = json_member_int(request, "interval", 0);
    uint64_t changed = 0;
    for (int id = 0; id < count; ++id) {
        if ((listed >> id & 1u) == 0 || (list[id].*on == enable && list[id].*interval == every))
            continue;
        list[id].*on = enable;
        list[id].*interval = every;
        changed |= uint64_t{1} << id;
    }
    return changed;
}

struct SwitchSchedule {
    int kind;
    int32_t video_lost_record::*on;
    int32_t video_lost_record::*interval;
};

int store_videoloss_switch(char *text, const SwitchSchedule &target)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    const uint64_t listed = listed_ids(request.get(), kCameraChannels);
    static video_lost_record list[kCameraChannels];
    if (read_video_losts(ZQDB_PATH, list) != 0)
        return cgi_error_to_webserver(kRespText);
    const uint64_t changed =
        set_switch_and_interval(list, kCameraChannels, listed, target.on, target.interval, request.get());
    if (store_listed_schedule(request.get(), target.kind, listed) != 0 ||
        write_video_losts(ZQDB_PATH, list, changed) != 0)
        return cgi_error_to_webserver(kRespText);
    video_notify_mask(kMsgVideoLossesChanged, listed);
    return cgi_writeback_webserver(kRespText, "OK");
}

struct AlarmInSchedule {
    int kind;
    int32_t alarm_in_record::*on;
    int32_t alarm_in_record::*interval;
    bool snapshot; // the e-mail page also sets the snapshot channels
};

int store_alarmin_switch(char *text, const AlarmInSchedule &target)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    const uint64_t listed = listed_ids(request.get(), kAlarmInputs);
    static alarm_in_record list[kAlarmInputs];
    if (read_alarm_ins(ZQDB_PATH, list) != 0)
        return cgi_error_to_webserver(kRespText);
    uint64_t changed =
        set_switch_and_interval(list, kAlarmInputs, listed, target.on, target.interval, request.get());
    const char *snapshot = json_member_text(request.get(), "triSnapshot");
    for (int id = 0; target.snapshot && snapshot != nullptr && id < kAlarmInputs; ++id)
        if ((listed >> id & 1u) != 0) {
            fill_field_text(list[id].tri_snapshot, sizeof list[id].tri_snapshot, snapshot);
            changed |= uint64_t{1} << id;
        }
    if (store_listed_schedule(request.get(), target.kind, listed) != 0 ||
        write_alarm_ins(ZQDB_PATH, list, static_cast<uint32_t>(changed)) != 0)
        return cgi_error_to_webserver(kRespText);
    video_notify_mask(kMsgAlarmInsChanged, listed);
    return cgi_writeback_webserver(kRespText, "OK");
}

// The source's PTZ actions onto every listed id, each entry owned by its
// new id, and the request's schedule under every listed id.
int store_ptz_schedule(char *text, int ptz_type, int limit, int schedule_kind, int message)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    const int source = json_member_int(request.get(), "camId", -1);
    if (source < 0 || source >= limit)
        return cgi_error_to_webserver(kRespText);
    const uint64_t listed = listed_ids(request.get(), limit);
    if (copy_ptz_params_all(ZQDB_PATH, ptz_type, source, listed) != 0 ||
        store_listed_schedule(request.get(), schedule_kind, listed) != 0)
        return cgi_error_to_webserver(kRespText);
    video_notify_mask(message, listed);
    return cgi_writeback_webserver(kRespText, "OK");
}

} // namespace

int on_set_videolost_audible_sche(char *text)
{
    return store_videoloss_switch(text, {kRecVideolossAudibleSchedule, &video_lost_record::audible_enable,
                                         &video_lost_record::interval});
}

int on_set_videolost_email_sche(char *text)
{
    return store_videoloss_switch(text, {kRecVideolossEmailSchedule, &video_lost_record::email_enable,
                                         &video_lost_record::email_interval});
}

int on_set_alarmin_audible_sche(char *text)
{
    return store_alarmin_switch(text, {kRecAlarminAudibleSchedule, &alarm_in_record::audible_enable,
                                       &alarm_in_record::interval, false});
}

int on_set_alarmin_email_sche(char *text)
{
    return store_alarmin_switch(text, {kRecAlarminEmailSchedule, &alarm_in_record::email_enable,
                                       &alarm_in_record::email_interval, true});
}

int on_set_videoloss_ptz_sche(char *text)
{
    return store_ptz_schedule(text, kPtzTypeVideoLoss, kCameraChannels, kRecVideolossPtzSchedule,
                              kMsgVideoLossesChanged);
}

int on_set_alarmin_ptz_sche(char *text)
{
    return store_ptz_schedule(text, kPtzTypeAlarmIn, kAlarmInputs, kRecAlarminPtzSchedule,
                              kMsgAlarmInsChanged);
}

int on_set_alarmin_effective_sche(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    const int id = json_member_int(request.get(), "camId", -1);
    if (!alarm_in_valid(id))
        return cgi_error_to_webserver(kRespText);
    static schedule_record schedule;
    memset(&schedule, 0, sizeof schedule);
    get_schedule_by_json(request.get(), "schedule", &schedule);
    if (write_alarmin_schedule(ZQDB_PATH, kRecAlarminEffectiveSchedule, &schedule, id) != 0)
        return cgi_error_to_webserver(kRespText);
    const int32_t payload = id;
    cgi_ipc_notify(on_video_ipc_callback, kMsgAlarmInChanged, sizeof payload, &payload);
    return cgi_writeback_webserver(kRespText, "OK");
}

// Type 0 sets the trigger channels of the listed inputs, any other type
// their alarm outputs; the source's effective schedule goes with them.
int on_set_alarm_others(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    const int source = json_member_int(request.get(), "camId", -1);
    if (!request || !alarm_in_valid(source))
        return -1;
    const uint64_t listed = listed_ids(request.get(), kAlarmInputs);
    static alarm_in_record list[kAlarmInputs];
    if (read_alarm_ins(ZQDB_PATH, list) != 0)
        return cgi_error_to_webserver(kRespText);
    const int type = json_member_int(request.get(), "type", 0);
    const int tri_alarms = json_member_int(request.get(), "triAlarms", 0);
    const char *channels = json_member_text(request.get(), "triChannels");
    for (int id = 0; id < kAlarmInputs; ++id) {
        if ((listed >> id & 1u) == 0)
            continue;
        if (type != 0)
            list[id].tri_alarms = tri_alarms;
        else if (channels != nullptr)
            alarm_in_set_tri_channels(&list[id], channels);
    }
    if (copy_alarmin_schedules(ZQDB_PATH, kRecAlarminEffectiveSchedule, source,
                               static_cast<uint32_t>(listed)) != 0 ||
        write_alarm_ins(ZQDB_PATH, list, static_cast<uint32_t>(listed)) != 0)
        return cgi_error_to_webserver(kRespText);
    video_notify_mask(kMsgAlarmInsChanged, listed);
    cgi_send_copy_log(channel_mask_low(listed), channel_mask_high(listed));
    return cgi_writeback_webserver(kRespText, "OK");
}
