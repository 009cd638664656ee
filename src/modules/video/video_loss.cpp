// Video loss of one channel: the basic setting, the plain schedule, the
// whole setting with its actions and its copy to other channels, and the
// alarm outputs of several channels at once.
#include <cstddef>
#include <cstring>

#include "codecs/channel_mask.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/video/video.h"
#include "modules/video/video_loss.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kLogSubVideoLoss = 204;
constexpr int kLogParamVideoLoss = 908;

const EventScheduleKey kVideoLossSchedules[] = {{"audible", kRecVideolossAudibleSchedule},
                                                {"email", kRecVideolossEmailSchedule},
                                                {"ptz", kRecVideolossPtzSchedule}};

uint64_t channel_bit(int chnid) { return uint64_t{1} << chnid; }

void notify_channel(int chnid)
{
    const int32_t payload = chnid;
    cgi_ipc_notify(on_video_ipc_callback, kMsgVideoLossChanged, sizeof payload, &payload);
}

// The basic setting's keys, all present and in range.
bool check_videolost_info(json_object *request, video_lost_record *sent)
{
    int enable = -1;
    const bool present = json_value_int(json_get_member(request, "camId"), &sent->camId) &&
                         json_value_int(json_get_member(request, "enable"), &enable) &&
                         json_value_int(json_get_member(request, "triAlarms"), &sent->tri_alarms) &&
                         json_value_int(json_get_member(request, "interval"), &sent->interval);
    return present && camera_channel_valid(sent->camId) && enable >= 0 && enable <= 2 &&
           sent->tri_alarms >= 0 && sent->interval >= 0;
}

// A video loss schedule as stored, a record of its own kind per channel.
int read_video_loss_schedule(const char *db, int kind, schedule_record *schedule, int chnid)
{
    return confdb_read_record(db, kind, chnid, schedule, sizeof *schedule);
}

// The record fields of the dialog; true when any was present.
bool apply_record_fields(json_object *dialog, video_lost_record *record)
{
    const EventIntKey keys[] = {
        {"enable", &record->enable},
        {"triAlarms", &record->tri_alarms},
        {"interval", &record->interval},
        {"audioId", &record->audio_id},
        {"email_interval", &record->email_interval},
        {"ptz_interval", &record->ptz_interval},
        {"alarmout_interval", &record->alarmout_interval},
        {"white_interval", &record->white_interval},
        {"http_notification_interval", &record->http_notification_interval},
    };
    return event_set_ints(dialog, keys, sizeof keys / sizeof keys[0]);
}

// The dialog's schedules, action lists and record fields of `chnid`; the
// record is written when anything of it changed. 0 or -1.
int save_videoloss_dialog(json_object *dialog, int chnid)
{
    video_lost_record record;
    if (save_event_schedules(dialog, kVideoLossSchedules, 3, chnid) != 0 ||
        read_video_lost(ZQDB_PATH, &record, chnid) < 0)
        return -1;
    const EventActionFields fields{record.chn_alarmout0, record.chn_alarmout1, record.audio_id, nullptr};
    const int actions = event_actions_save(dialog, kVideoLossActionTables, chnid, fields, true);
    if (actions < 0)
        return -1;
    const int ptz = event_actions_save_ptz(dialog);
    const bool changed = apply_record_fields(dialog, &record) || actions > 0 || ptz > 0;
    return changed ? write_video_lost(ZQDB_PATH, &record) : 0;
}

// Channel `chnid`'s whole setting onto the masked channels; 0 or -1.
int copy_videoloss_setting(int chnid, uint64_t mask)
{
    video_lost_record record;
    if (read_video_lost(ZQDB_PATH, &record, chnid) < 0 || copy_video_losts(ZQDB_PATH, record, mask) != 0)
        return -1;
    for (const EventScheduleKey &schedule : kVideoLossSchedules)
        if (copy_schedule_kind(schedule.kind, chnid, mask) != 0)
            return -1;
    return copy_event_action_tables(kVideoLossActionTables, chnid, mask);
}

} // namespace

void video_notify_mask(int code, uint64_t mask)
{
    const uint32_t payload[2] = {channel_mask_low(mask), channel_mask_high(mask)};
    cgi_ipc_notify(on_video_ipc_callback, code, sizeof payload, payload);
}

int on_get_videolost_info(char *text)
{
    int chnid = -1;
    if (!param_text_int(text, &chnid) || !camera_channel_valid(chnid))
        return -1;
    video_lost_record record;
    read_video_lost(ZQDB_PATH, &record, chnid);
    const JsonPtr reply = json_new_object();
    json_add_int(reply.get(), "camId", record.camId);
    json_add_int(reply.get(), "enable", record.enable);
    json_add_int(reply.get(), "triAlarms", record.tri_alarms);
    json_add_int(reply.get(), "interval", record.interval);
    return cgi_write_json(kRespJson, reply.get());
}

// "enable" is checked but stays as stored.
int on_set_videolost_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    video_lost_record sent{};
    if (!request || !check_videolost_info(request.get(), &sent))
        return -1;
    video_lost_record record;
    if (read_video_lost(ZQDB_PATH, &record, sent.camId) < 0)
        return cgi_error_to_webserver(kRespText);
    record.tri_alarms = sent.tri_alarms;
    record.interval = sent.interval;
    if (write_video_lost(ZQDB_PATH, &record) != 0)
        return cgi_error_to_webserver(kRespText);
    notify_channel(record.camId);
    cgi_send_operation_log(kLogSubVideoLoss, kLogParamVideoLoss, record.camId + 1);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_set_videolost_schedule(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    const int chnid = json_member_int(request.get(), "camId", -1);
    if (!request || !camera_channel_valid(chnid))
        return -1;
    static schedule_record schedule;
    if (get_schedule_by_json(request.get(), "schedule", &schedule) == 0 &&
        write_video_loss_schedule(ZQDB_PATH, &schedule, chnid) != 0)
        return cgi_error_to_webserver(kRespText);
    video_lost_record record;
    if (read_video_lost(ZQDB_PATH, &record, chnid) < 0)
        return cgi_error_to_webserver(kRespText);
    on_cgi_get_int_from_json(request.get(), "enable", &record.enable);
    if (write_video_lost(ZQDB_PATH, &record) != 0)
        return cgi_error_to_webserver(kRespText);
    notify_channel(chnid);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_get_videoloss_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    const int chnid = json_member_int(request.get(), "chnid", -1);
    if (!request || !camera_channel_valid(chnid))
        return cgi_error_to_webserver(kRespJson);
    video_lost_record record;
    read_video_lost(ZQDB_PATH, &record, chnid);
    const JsonPtr reply = json_new_object();
    json_object *out = reply.get();
    json_add_int(out, "chnid", chnid);
    json_add_int(out, "enable", record.enable);
    json_add_int(out, "triAlarms", record.tri_alarms);
    json_add_int(out, "interval", record.interval);
    json_add_int(out, "email_interval", record.email_interval);
    json_add_int(out, "ptz_interval", record.ptz_interval);
    json_add_int(out, "alarmout_interval", record.alarmout_interval);
    json_add_int(out, "white_interval", record.white_interval);
    json_add_int(out, "http_notification_interval", record.http_notification_interval);
    for (const EventScheduleKey &schedule : kVideoLossSchedules)
        add_schedule(out, schedule.key, read_video_loss_schedule, schedule.kind, chnid, true);
    const EventActionFields fields{record.chn_alarmout0, record.chn_alarmout1, record.audio_id, nullptr};
    event_actions_add_reply(out, kVideoLossActionTables, chnid, fields);
    return cgi_write_json(kRespJson, out);
}

int on_set_videoloss_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    const int chnid = json_member_int(request.get(), "chnid", -1);
    if (!request || !camera_channel_valid(chnid))
        return cgi_error_to_webserver(kRespJson);
    json_object *dialog = json_get_member(request.get(), "dialog");
    if (json_object_is_type(dialog, json_type_object) && save_videoloss_dialog(dialog, chnid) != 0)
        return cgi_error_to_webserver(kRespText);
    const uint64_t mask = get_copy_flag_by_json(request.get(), "copyChn", "copyCnt") & ~channel_bit(chnid);
    if (mask != 0 && copy_videoloss_setting(chnid, mask) != 0)
        return cgi_error_to_webserver(kRespText);
    video_notify_mask(kMsgVideoLossesChanged, mask | channel_bit(chnid));
    return cgi_writeback_webserver(kRespText, "OK");
}

// Only the channels whose value changes are written and announced; every
// listed channel is logged.
int on_set_videolost_others(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    const uint64_t listed = get_copy_flag_by_json(request.get(), "chnid", "cnt");
    const int tri_alarms = json_member_int(request.get(), "triAlarms", 0);
    static video_lost_record list[kCameraChannels];
    if (read_video_losts(ZQDB_PATH, list) != 0)
        return cgi_error_to_webserver(kRespText);
    uint64_t changed = 0;
    for (int chnid = 0; chnid < kCameraChannels; ++chnid)
        if ((listed >> chnid & 1u) != 0 && list[chnid].tri_alarms != tri_alarms)
            changed |= channel_bit(chnid);
    if (changed != 0 &&
        confdb_set_records_int(ZQDB_PATH, kRecVideoLoss, sizeof list[0],
                               offsetof(video_lost_record, tri_alarms), tri_alarms, changed) != 0)
        return cgi_error_to_webserver(kRespText);
    video_notify_mask(kMsgVideoLossesChanged, changed);
    cgi_send_copy_log(channel_mask_low(listed), channel_mask_high(listed));
    return cgi_writeback_webserver(kRespText, "OK");
}
