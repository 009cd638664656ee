// The video module's reply callback, its decoders and the core messages
// the motion handlers share.
#include <cstdio>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/video/camera_input.h"
#include "modules/video/anpr.h"
#include "modules/video/vca.h"
#include "modules/video/video.h"
#include "modules/video/video_osd.h"

namespace {

constexpr int kLogSubMotion = 204;
constexpr int kLogParamMotion = 909;

// Every day 0..6 enabled with the one period 0, 0, 24, 0.
void fill_all_day(motion_day_schedule *schedule)
{
    for (int day = 0; day < 7; ++day) {
        schedule->days[day].day = day;
        schedule->days[day].enable = 1;
        for (int period = 0; period < 4; ++period)
            schedule->days[day].periods[period].values[2] = 24;
    }
}

} // namespace

int on_video_ipc_callback(void * /*context*/, const char *header, const char *payload)
{
    if (header == nullptr || payload == nullptr)
        return 0;
    const ReplyReader reply(payload, ipc_reply_size(header));
    const int code = ipc_reply_code(header);
    switch (code) {
    case kReplyGetMotionMap:
        return on_get_motion_map_cb(reply);
    case kReplyGetOsdConfig:
        return on_get_osdconfig_cb(reply);
    case kReplySetOsdConfig:
        return on_set_osdconfig_cb(reply);
    case kReplyGetIpcPrivacyMask:
        return on_get_ipc_privacy_mask_cb(reply);
    case kReplyGetIpcModelType:
        return on_get_ipc_model_type_cb(reply);
    case kReplySetPrivacyEdit:
        return on_cgi_res_json_cb(reply);
    default:
        if (camera_input_decode_reply(code, reply) != 0)
            return 0;
        if (vca_decode_reply(code, reply) == 0)
            anpr_decode_reply(code, reply);
        return 0;
    }
}

// A reply shorter than the record is no answer.
int on_get_motion_map_cb(const ReplyReader &reply)
{
    motion_map map;
    if (!reply.record(0, &map))
        return -1;
    char text[kMotionMapSize + 1];
    copy_field_text(text, sizeof text, map.map, sizeof map.map);
    const JsonPtr answer = json_new_object();
    json_add_string(answer.get(), "map", text);
    json_add_int(answer.get(), "sensitivity", map.sensitivity);
    json_add_int(answer.get(), "result", map.result);
    json_add_int(answer.get(), "enable", map.enable);
    json_add_int(answer.get(), "modelType", map.model_type);
    json_add_int(answer.get(), "fishdisplay", map.fishdisplay);
    json_add_int(answer.get(), "fishtransfer", map.fishtransfer);
    json_add_int(answer.get(), "fishinstall", map.fishinstall);
    cgi_write_json(kRespJson, answer.get());
    cgi_set_callback_done(1);
    return 0;
}

void video_notify_motion(int chnid)
{
    const int32_t payload = chnid;
    cgi_ipc_notify(on_video_ipc_callback, kMsgMotionChanged, sizeof payload, &payload);
}

void video_send_motion_log(int chnid)
{
    LogRecord record;
    cgi_init_log_info(&record);
    record.sub_type = kLogSubMotion;
    record.param_code = kLogParamMotion;
    record.object = chnid + 1;
    cgi_send_log_info(&record);
}

void video_send_motion_sched(int chnid, int enable_ms)
{
    motion_sched_enable enable{};
    enable.chnid = chnid;
    enable.enable = enable_ms == 1 ? 1 : 0;
    cgi_ipc_notify(on_video_ipc_callback, kMsgMotionSchedEnable, sizeof enable, &enable);
    if (enable_ms != 1)
        return;
    motion_day_schedule schedule{};
    schedule.chnid = chnid;
    fill_all_day(&schedule);
    cgi_ipc_notify(on_video_ipc_callback, kMsgMotionDaySchedule, sizeof schedule, &schedule);
}

void cgi_send_copy_log(uint32_t mask_low, uint32_t mask_high)
{
    LogRecord record;
    cgi_init_log_info(&record);
    record.sub_type = kLogSubMotion;
    record.param_code = kLogParamMotion;
    cgi_send_copy_log_info(&record, static_cast<uint64_t>(mask_high) << 32 | mask_low);
}

void video_send_motion_copy(const char *table, int sensitivity, int chnid, int enable_ms, uint64_t mask)
{
    motion_map_batch batch{};
    snprintf(batch.map, sizeof batch.map, "%s", table != nullptr ? table : "");
    batch.sensitivity = sensitivity;
    batch.chnid = chnid;
    batch.enable_ms = enable_ms;
    motion_sched_enable enable{};
    enable.chnid = chnid;
    enable.enable = enable_ms == 1 ? 1 : 0;
    motion_day_schedule schedule{};
    fill_all_day(&schedule);
    for (int target = 0; target < kVideoChannels; ++target) {
        if ((mask >> target & 1u) == 0)
            continue;
        batch.channels[batch.count++] = target;
        enable.channels[enable.count++] = target;
        schedule.channels[schedule.count++] = target;
    }
    cgi_ipc_notify(on_video_ipc_callback, kMsgMotionMapBatch, sizeof batch, &batch);
    cgi_ipc_notify(on_video_ipc_callback, kMsgMotionCopied, sizeof mask, &mask);
    cgi_ipc_notify(on_video_ipc_callback, kMsgMotionSchedEnable, sizeof enable, &enable);
    if (enable_ms == 1)
        cgi_ipc_notify(on_video_ipc_callback, kMsgMotionDayScheduleBatch, sizeof schedule, &schedule);
}
