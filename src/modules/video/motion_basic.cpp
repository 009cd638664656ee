// Detection settings of one channel that keep its actions, the trigger
// selection alone, and the copy of one channel's setting to others.
#include <cstdio>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "front/web_utils.h"
#include "modules/video/video.h"
#include "platform/confdb/confdb.h"

namespace {

// The stored record of the request's "camId" (0..63) with its own channel
// set; false when the id is missing or out of range, or the read failed.
bool read_requested_motion(json_object *request, motion_record *record, int *chnid)
{
    *chnid = -1;
    json_value_int(json_get_member(request, "camId"), chnid);
    if (!camera_channel_valid(*chnid) || read_motion(ZQDB_PATH, record, *chnid) < 0)
        return false;
    record->chnid = *chnid;
    return true;
}

// The parsed request and, as read_requested_motion gives it, the stored
// record with the detection fields both basic setters replace taken from
// the request; null when the text does not parse or the record is refused.
JsonPtr read_detection_request(const char *text, motion_record *record, int *chnid)
{
    JsonPtr request(get_request_tokener_json_object(text));
    if (!request || !read_requested_motion(request.get(), record, chnid))
        return nullptr;
    on_cgi_get_int_from_json(request.get(), "sensitivity", &record->sensitivity);
    on_cgi_get_int_from_json(request.get(), "triAlarms", &record->tri_alarms);
    on_cgi_get_int_from_json(request.get(), "interval", &record->interval);
    on_cgi_get_int_from_json(request.get(), "enableMS", &record->enable_ms);
    return request;
}

// Stores the changed record, tells the core daemon and logs it; a failed
// write is answered as such and tells nobody.
int store_motion_and_answer(const motion_record *record, int chnid)
{
    if (write_motion(ZQDB_PATH, record) != 0)
        return cgi_error_to_webserver(kRespText);
    video_notify_motion(chnid);
    video_send_motion_log(chnid);
    return cgi_writeback_webserver(kRespText, "OK");
}

} // namespace

// The trigger text is stored with its mask, so both keep telling the same.
int on_set_motion_basic(char *text)
{
    motion_record record;
    int chnid = -1;
    const JsonPtr request = read_detection_request(text, &record, &chnid);
    if (!request)
        return -1;
    if (const char *channels = json_value_text(json_get_member(request.get(), "triChannels")))
        motion_set_tri_channels(&record, channels);
    return store_motion_and_answer(&record, chnid);
}

int on_set_motion_with_schedule(char *text)
{
    motion_record record;
    int chnid = -1;
    const JsonPtr request = read_detection_request(text, &record, &chnid);
    if (!request)
        return -1;
    on_cgi_get_int_from_json(request.get(), "enable", &record.enable);
    if (write_motion(ZQDB_PATH, &record) != 0)
        return cgi_error_to_webserver(kRespText);
    video_notify_motion(chnid);
    static schedule_record schedule;
    if (get_schedule_by_json(request.get(), "schedule", &schedule) == 0) {
        if (write_motion_schedule_kind(ZQDB_PATH, kRecMotionSchedule, &schedule, chnid) != 0)
            return cgi_error_to_webserver(kRespText);
        video_notify_motion(chnid);
    }
    video_send_motion_sched(chnid, record.enable_ms);
    return cgi_writeback_webserver(kRespText, "OK");
}

// Type 1 replaces the trigger channels, type 2 the NVR alarm outputs.
int on_set_move_others(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    motion_record record;
    int chnid = -1;
    if (!read_requested_motion(request.get(), &record, &chnid))
        return cgi_error_to_webserver(kRespText);
    int type = 0;
    json_value_int(json_get_member(request.get(), "type"), &type);
    const char *channels = json_value_text(json_get_member(request.get(), "triChannels"));
    if (type == 1 && channels != nullptr)
        motion_set_tri_channels(&record, channels);
    else if (type == 2)
        on_cgi_get_int_from_json(request.get(), "triAlarms", &record.tri_alarms);
    return store_motion_and_answer(&record, chnid);
}

// Only a valid source channel is copied: an absent one would wipe the
// targets with an empty setting.
int on_set_motion_batch(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int chnid = -1;
    json_value_int(json_get_member(request.get(), "chnid"), &chnid);
    if (!request || !camera_channel_valid(chnid))
        return -1;
    if (save_motion_dialog_data(json_get_member(request.get(), "dialog")) < 0)
        return cgi_error_to_webserver(kRespText);
    const uint64_t mask = get_copy_flag_by_json(request.get(), "copyChn", "copyCnt");
    motion_record record;
    if (read_motion(ZQDB_PATH, &record, chnid) < 0)
        return cgi_error_to_webserver(kRespText);
    record.chnid = chnid;
    int sensitivity = 0;
    int enable_ms = 0;
    json_value_int(json_get_member(request.get(), "sensitivity"), &sensitivity);
    json_value_int(json_get_member(request.get(), "enableMS"), &enable_ms);
    record.sensitivity = sensitivity;
    record.enable_ms = enable_ms;
    if (copy_motion_setting(record, mask) != 0)
        return cgi_error_to_webserver(kRespText);
    cgi_send_copy_log(static_cast<uint32_t>(mask), static_cast<uint32_t>(mask >> 32));
    const char *table = json_value_text(json_get_member(request.get(), "motionTable"));
    video_send_motion_copy(table, sensitivity, chnid, enable_ms, mask);
    return cgi_writeback_webserver(kRespText, "OK");
}
