// Motion schedules of one channel: getters by decimal body, setters by
// {"camId", "schedule"}.
#include <cstdlib>
#include <cstring>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "front/web_utils.h"
#include "modules/video/video.h"
#include "platform/confdb/confdb.h"

namespace {

// Any number reads: a channel that was never stored shows an empty week.
int answer_schedule(char *text, int kind)
{
    int chnid = 0;
    if (!param_text_int(text, &chnid))
        return -1;
    static schedule_record schedule;
    read_motion_schedule_kind(ZQDB_PATH, kind, &schedule, chnid);
    const JsonPtr reply(get_schedule_json_object(&schedule));
    return cgi_write_json(kRespJson, reply.get());
}

// The channel of a setter request, checked; -1 after answering the error,
// -2 for a body that gets no answer.
int setter_channel(json_object *request)
{
    if (request == nullptr)
        return -2;
    int chnid = -1;
    json_value_int(json_get_member(request, "camId"), &chnid);
    if (!camera_channel_valid(chnid)) {
        cgi_error_to_webserver(kRespText);
        return -1;
    }
    return chnid;
}

int store_schedule(char *text, int kind)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    const int chnid = setter_channel(request.get());
    if (chnid < 0)
        return -1;
    static schedule_record schedule;
    memset(&schedule, 0, sizeof schedule);
    get_schedule_by_json(request.get(), "schedule", &schedule);
    if (write_motion_schedule_kind(ZQDB_PATH, kind, &schedule, chnid) != 0)
        return cgi_error_to_webserver(kRespText);
    video_notify_motion(chnid);
    return cgi_writeback_webserver(kRespText, "OK");
}

// The getters that check their number answer nothing outside 0 to 63.
int answer_schedule_of_channel(char *text, int kind)
{
    int id = 0;
    if (!param_text_int(text, &id) || id < 0 || id > 63)
        return -1;
    return answer_schedule(text, kind);
}

} // namespace

int OnGetMotionSchedule(char *text) { return answer_schedule(text, kRecMotionAudibleSchedule); }
int on_get_move_email_sche(char *text) { return answer_schedule(text, kRecMotionEmailSchedule); }
int on_get_move_effective_sche(char *text) { return answer_schedule(text, kRecMotionEffectiveSchedule); }
int on_get_move_ptz_sche(char *text) { return answer_schedule(text, kRecMotionPtzSchedule); }

int OnSetMotionSchedule(char *text) { return store_schedule(text, kRecMotionSchedule); }
int on_set_move_effective_sche(char *text) { return store_schedule(text, kRecMotionEffectiveSchedule); }
int on_set_move_ptz_sche(char *text) { return store_schedule(text, kRecMotionPtzSchedule); }

// The e-mail switch and interval go to the motion record first.
int on_set_move_email_sche(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    const int chnid = setter_channel(request.get());
    if (chnid < 0)
        return -1;
    motion_record record;
    if (read_motion(ZQDB_PATH, &record, chnid) < 0)
        return cgi_error_to_webserver(kRespText);
    record.chnid = chnid;
    record.email_enable = 0;
    record.email_interval = 0;
    json_value_int(json_get_member(request.get(), "enable"), &record.email_enable);
    json_value_int(json_get_member(request.get(), "interval"), &record.email_interval);
    static schedule_record schedule;
    memset(&schedule, 0, sizeof schedule);
    get_schedule_by_json(request.get(), "schedule", &schedule);
    if (write_motion(ZQDB_PATH, &record) != 0 ||
        write_motion_schedule_kind(ZQDB_PATH, kRecMotionEmailSchedule, &schedule, chnid) != 0)
        return cgi_error_to_webserver(kRespText);
    video_notify_motion(chnid);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_get_videolost_schedule(char *text)
{
    return answer_schedule_of_channel(text, kRecVideolossAudibleSchedule);
}
int on_get_videolost_email_sche(char *text) { return answer_schedule(text, kRecVideolossEmailSchedule); }
int on_get_videoloss_ptz_sche(char *text) { return answer_schedule(text, kRecVideolossPtzSchedule); }
int on_get_alarmin_audible_sche(char *text)
{
    return answer_schedule_of_channel(text, kRecAlarminAudibleSchedule);
}
int on_get_alarmin_email_sche(char *text) { return answer_schedule(text, kRecAlarminEmailSchedule); }
int on_get_alarmin_effective_sche(char *text) { return answer_schedule(text, kRecAlarminEffectiveSchedule); }
int on_get_alarmin_ptz_sche(char *text) { return answer_schedule(text, kRecAlarminPtzSchedule); }
