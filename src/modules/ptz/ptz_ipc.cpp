// The PTZ module's reply callback, its decoders and the helpers every PTZ
// handler uses.
#include <cstdio>
#include <cstring>

#include "codecs/ipc_common_param.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/ptz/ptz.h"
#include "modules/ptz/ptz_records.h"
#include "platform/confdb/confdb.h"

namespace {

struct PtzReply {
    int code;
    PtzDecoder decode;
};

int common_json(const ReplyReader &reply)
{
    return on_cgi_common_json_cb(static_cast<int>(reply.count(sizeof(int32_t))), reply);
}

// The camera took the parameter: whatever the reply holds, "OK".
int camera_param_set(const ReplyReader &)
{
    cgi_writeback_webserver(kRespText, "OK");
    cgi_set_callback_done(1);
    return 0;
}

const PtzReply kPtzReplies[] = {
    {kReplyPtzSupport, on_ip_ptzsupport_cb},
    {kReplyPtzInfo, on_ptz_reply_info},
    {kReplyFishPtzInfo, on_ptz_reply_info},
    {kReplyPtzBasicGet, on_cgi_get_ptz_basic_cb},
    {kReplyPtzBasicSet, common_json},
    {kReplyPtzSpeedParam, camera_param_set},
    {kReplyPtzControl, on_cgi_set_ptz_control_cb},
    {kReplyPtzLedStatus, on_cgi_get_led_status_cb},
};

constexpr int kDefaultMaxCameras = 32;

} // namespace

int ptz_write_json_done(json_object *answer)
{
    cgi_write_json(kRespJson, answer);
    cgi_set_callback_done(1);
    return 0;
}

// A reply without payload is no answer.
int on_ptz_ipc_callback(void * /*context*/, const char *header, const char *payload)
{
    if (header == nullptr || payload == nullptr)
        return 0;
    const int code = ipc_reply_code(header);
    for (const PtzReply &row : kPtzReplies)
        if (row.code == code)
            return row.decode(ReplyReader(payload, ipc_reply_size(header)));
    return 0;
}

// "-1" when the camera has no PTZ, "0" otherwise.
int on_ip_ptzsupport_cb(const ReplyReader &reply)
{
    if (reply.count(sizeof(int32_t)) == 0)
        return -1;
    cgi_writeback_webserver(kRespText, reply.int32_at(0) == -1 ? "-1" : "0");
    cgi_set_callback_done(1);
    return 0;
}

namespace {

json_object *presets_json(const ptz_state_record &state)
{
    json_object *presets = json_object_new_array();
    for (const ptz_preset_state &preset : state.presets) {
        char name[kPtzPresetName + 1];
        copy_field_text(name, sizeof name, preset.name, sizeof preset.name);
        json_object *entry = json_object_new_object();
        json_add_int(entry, "enable", preset.enable);
        json_add_string(entry, "name", name);
        json_object_array_add(presets, entry);
    }
    return presets;
}

// A tour's points from the first while the preset id is above 0.
json_object *tours_json(const ptz_state_record &state)
{
    json_object *tours = json_object_new_array();
    for (const ptz_tour_state &tour : state.tours) {
        json_object *points = json_object_new_array();
        for (int point = 0; point < kPtzTourPoints && tour.preset_id[point] > 0; ++point) {
            json_object *entry = json_object_new_object();
            json_add_int(entry, "preset_id", tour.preset_id[point]);
            json_add_int(entry, "speed", tour.speed[point]);
            json_add_int(entry, "timeout", tour.timeout[point]);
            json_object_array_add(points, entry);
        }
        json_object_array_add(tours, points);
    }
    return tours;
}

json_object *ints_json(const int32_t *values, int count)
{
    json_object *array = json_object_new_array();
    for (int index = 0; index < count; ++index)
        json_object_array_add(array, json_object_new_int(values[index]));
    return array;
}

} // namespace

int on_ptz_reply_info(const ReplyReader &reply)
{
    const JsonPtr answer = json_new_object();
    static ptz_state_record state;
    if (!reply.record(0, &state)) {
        json_add_string(answer.get(), "status", "Error");
        return ptz_write_json_done(answer.get());
    }
    json_add_string(answer.get(), "status", "OK");
    json_object_object_add(answer.get(), "PRESET", presets_json(state));
    json_object_object_add(answer.get(), "TOUR", tours_json(state));
    json_object *patterns = json_object_new_array();
    for (const int32_t enable : state.pattern_enable) {
        json_object *entry = json_object_new_object();
        json_add_int(entry, "enable", enable);
        json_object_array_add(patterns, entry);
    }
    json_object_object_add(answer.get(), "PATTERN", patterns);
    json_object_object_add(answer.get(), "autoscan_status",
                           ints_json(state.autoscan_status, kPtzAutoscanStatus));
    json_object *tour_status = json_object_new_array();
    for (const auto &group : state.tour_status)
        json_object_array_add(tour_status, ints_json(group, kPtzTours));
    json_object_object_add(answer.get(), "tour_status", tour_status);
    return ptz_write_json_done(answer.get());
}

int on_cgi_set_ptz_control_cb(const ReplyReader &reply) { return on_cgi_res_json_cb(reply); }

int on_cgi_get_led_status_cb(const ReplyReader &reply)
{
    if (reply.size() < 2 * sizeof(int32_t))
        return -1;
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "chnid", reply.int32_at(0));
    json_add_int(answer.get(), "status", reply.int32_at(4));
    return ptz_write_json_done(answer.get());
}

int ptz_request(int code, const void *payload, int length, int error_kind)
{
    return cgi_ipc_request(on_ptz_ipc_callback, code, length, payload, error_kind);
}

void ptz_notify(int code, const void *payload, int length)
{
    cgi_ipc_notify(on_ptz_ipc_callback, code, length, payload);
}

void ptz_log(int param_code, int channel) { cgi_send_operation_log(kPtzLogSubType, param_code, channel + 1); }

int ptz_send_camera_param(int channel, const char *key, const char *value)
{
    ipc_common_param param{};
    param.channel = channel;
    fill_field_text(param.httpname, sizeof param.httpname, "vsetting.html");
    fill_field_text(param.key, sizeof param.key, key);
    fill_field_text(param.value, sizeof param.value, value);
    return ptz_request(kMsgSetIpcCommonParam, &param, sizeof param, kRespText);
}

int ptz_send_speed_param(int channel, int speed)
{
    char value[16];
    snprintf(value, sizeof value, "%d", speed <= 1 ? 1 : speed - 1);
    return ptz_send_camera_param(channel, "ptzspeed", value);
}

int ptz_answer_ok() { return cgi_writeback_webserver(kRespText, "OK"); }

JsonPtr ptz_parse(const char *text) { return JsonPtr(get_request_tokener_json_object(text)); }

bool ptz_int(json_object *request, const char *key, int *out)
{
    return json_value_int(json_get_member(request, key), out);
}

bool ptz_channel_valid(int channel) { return channel >= 0 && channel < kPtzChannels; }

bool ptz_camera_channel(json_object *request, const char *key, int *channel)
{
    const int cameras =
        clamp_count(get_param_int(ZQDB_PATH, "max_cameras", kDefaultMaxCameras), kPtzChannels);
    return ptz_int(request, key, channel) && *channel >= 0 && *channel < cameras;
}
