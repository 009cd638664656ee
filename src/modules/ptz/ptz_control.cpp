// Driving a channel's PTZ camera: movement, presets, patterns, tours run
// and stopped, the camera's PTZ state and its basic PTZ settings. Commands
// are part of watching the channel live, so each needs the live view right
// for its channel.
#include <cstdio>
#include <cstring>

#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "front/access_gate.h"
#include "front/web_utils.h"
#include "modules/ptz/ptz.h"
#include "modules/ptz/ptz_records.h"

namespace {

// The basic settings as the camera reports them ([0] status first) and as
// a request sets them (from [1], with the channel mask).
const WireField kPtzBasicFields[] = {
    WIRE_INT("status", ptz_basic_setting, status),
    WIRE_INT("chnId", ptz_basic_setting, chnId),
    WIRE_INT("zoomStatus", ptz_basic_setting, zoomStatus),
    WIRE_INT("panTiltStatus", ptz_basic_setting, panTiltStatus),
    WIRE_INT("presetStatus", ptz_basic_setting, presetStatus),
    WIRE_INT("patrolStatus", ptz_basic_setting, patrolStatus),
    WIRE_INT("patternStatus", ptz_basic_setting, patternStatus),
    WIRE_INT("autoScanStatus", ptz_basic_setting, autoScanStatus),
    WIRE_INT("presetFreezing", ptz_basic_setting, presetFreezing),
    WIRE_INT("presetSpeed", ptz_basic_setting, presetSpeed),
    WIRE_INT("manualSpeed", ptz_basic_setting, manualSpeed),
    WIRE_INT("patrolRecovering", ptz_basic_setting, patrolRecovering),
    WIRE_INT("patrolRecoveryTime", ptz_basic_setting, patrolRecoveryTime),
    WIRE_INT("focusMode", ptz_basic_setting, focusMode),
    WIRE_INT("minFocusDistance", ptz_basic_setting, minFocusDistance),
    WIRE_INT("resumeTime", ptz_basic_setting, resumeTime),
    WIRE_INT("fanWorkingMode", ptz_basic_setting, fanWorkingMode),
    WIRE_TEXT("channelMask", ptz_basic_setting, channelMask),
};
constexpr size_t kPtzBasicCount = sizeof kPtzBasicFields / sizeof kPtzBasicFields[0];
constexpr WireLayout kPtzBasicReply{kPtzBasicFields, kPtzBasicCount - 1, sizeof(ptz_basic_setting)};
constexpr WireLayout kPtzBasicRequest{kPtzBasicFields + 1, kPtzBasicCount - 1, sizeof(ptz_basic_setting)};

// The pattern page's actions and the camera's action codes for them.
constexpr int32_t kPatternActions[] = {26, 21, 25, 27, 40};

// The request's channel under `key`, when it is a channel the session may
// watch live (a refused channel has its 403 written).
bool live_channel(json_object *request, const char *key, int *channel)
{
    return ptz_int(request, key, channel) && ptz_channel_valid(*channel) &&
           cgi_channel_admits(WebRight::LiveView, *channel);
}

// A movement or preset command: channel, action, speeds and fisheye stream.
ptz_cmd_record command_record(json_object *request, int channel, int action)
{
    ptz_cmd_record cmd{};
    cmd.channel = channel;
    cmd.action = action;
    cmd.pan_speed = json_member_int(request, "panSpeed");
    cmd.tilt_speed = json_member_int(request, "tiltSpeed");
    cmd.zoom_speed = json_member_int(request, "zoomSpeed");
    cmd.focus_speed = json_member_int(request, "focusSpeed");
    cmd.fisheye_type = json_member_int(request, "fisheyeType");
    cmd.stream_id = json_member_int(request, "streamId");
    return cmd;
}

// Every speed of a preset operation is present and not negative.
bool preset_speeds_valid(json_object *request)
{
    for (const char *key : {"panSpeed", "tiltSpeed", "zoomSpeed", "focusSpeed"}) {
        int speed = 0;
        if (!ptz_int(request, key, &speed) || speed < 0)
            return false;
    }
    return true;
}

int send_tour_command(char *text, int code)
{
    const JsonPtr request = ptz_parse(text);
    int channel = 0;
    if (!request || !live_channel(request.get(), "chn", &channel))
        return 0;
    ptz_tour_cmd cmd{};
    cmd.channel = channel;
    cmd.tour_id = json_member_int(request.get(), "tourid");
    cmd.fisheye_type = json_member_int(request.get(), "fisheyeType");
    cmd.stream_id = json_member_int(request.get(), "streamId");
    ptz_notify(code, &cmd, sizeof cmd);
    ptz_answer_ok();
    ptz_log(kPtzLogMove, channel);
    return 0;
}

// The JSON request's channel under `key` for the resources that answer a
// bad one with the JSON error.
bool json_live_channel(const char *text, const char *key, JsonPtr *request, int *channel)
{
    *request = ptz_parse(text);
    if (!*request || !ptz_int(request->get(), key, channel) || !ptz_channel_valid(*channel)) {
        cgi_error_to_webserver(kRespJson);
        return false;
    }
    return cgi_channel_admits(WebRight::LiveView, *channel);
}

} // namespace

int on_send_ptz_cmd(char *text)
{
    const JsonPtr request = ptz_parse(text);
    int channel = 0;
    int action = 0;
    if (!request || !ptz_camera_channel(request.get(), "channelId", &channel) ||
        !ptz_int(request.get(), "action", &action) || action < 0 ||
        !cgi_channel_admits(WebRight::LiveView, channel))
        return 0;
    ptz_cmd_record cmd = command_record(request.get(), channel, action);
    ptz_notify(kMsgPtzCmd, &cmd, sizeof cmd);
    // Focusing with autofocus on asks the camera to focus by itself.
    if (action == kPtzActionFocusNear && json_member_int(request.get(), "isAutoFocus") == 1) {
        cmd.action = kPtzActionAutoFocus;
        ptz_notify(kMsgPtzCmd, &cmd, sizeof cmd);
    }
    ptz_send_speed_param(channel, cmd.pan_speed);
    ptz_log(kPtzLogMove, channel);
    return 0;
}

int on_preset_op(char *text)
{
    const JsonPtr request = ptz_parse(text);
    int channel = 0;
    int preset = 0;
    int action = 0;
    if (!request || !ptz_camera_channel(request.get(), "channelId", &channel) ||
        !ptz_int(request.get(), "presetId", &preset) || preset < 0 || preset > kPtzMaxPresetId ||
        !ptz_int(request.get(), "action", &action) || action < 0 || !preset_speeds_valid(request.get()) ||
        !cgi_channel_admits(WebRight::LiveView, channel))
        return 0;
    ptz_cmd_record cmd = command_record(request.get(), channel, action);
    cmd.preset_id = preset;
    const char *name = json_member_text(request.get(), "name");
    if (action == kPtzActionSetPreset)
        fill_field_text(cmd.name, kPtzCmdNameChars + 1, name);
    ptz_notify(kMsgPtzPreset, &cmd, sizeof cmd);
    if (cmd.fisheye_type == 1 && action == kPtzActionSetPreset) {
        char value[128];
        snprintf(value, sizeof value, "%d:%d:%.31s", cmd.stream_id, preset, name != nullptr ? name : "");
        ptz_send_camera_param(channel, "ipncptz=setfishpreset", value);
    } else {
        ptz_answer_ok();
    }
    ptz_log(kPtzLogSetting, channel);
    return 0;
}

int on_set_ptz_tour_run(char *text) { return send_tour_command(text, kMsgPtzTourRun); }

int on_set_ptz_tour_stop(char *text) { return send_tour_command(text, kMsgPtzTourStop); }

int on_set_ptz_pattern(char *text)
{
    const JsonPtr request = ptz_parse(text);
    int channel = 0;
    if (!request || !live_channel(request.get(), "chn", &channel))
        return 0;
    const int action = json_member_int(request.get(), "action", -1);
    ptz_cmd_record cmd{};
    cmd.channel = channel;
    cmd.action = action >= 0 && action < 5 ? kPatternActions[action] : 0;
    cmd.preset_id = json_member_int(request.get(), "tourid");
    ptz_notify(kMsgPtzPattern, &cmd, sizeof cmd);
    ptz_answer_ok();
    ptz_log(kPtzLogSetting, channel);
    return 0;
}

int on_get_ptz_info(char *text)
{
    const JsonPtr request = ptz_parse(text);
    int channel = 0;
    if (!request || !live_channel(request.get(), "chn", &channel))
        return 0;
    if (json_member_int(request.get(), "fisheyeType") == 0) {
        const int32_t payload = channel;
        return ptz_request(kMsgPtzInfo, &payload, sizeof payload, kRespJson);
    }
    const int32_t payload[2] = {channel, json_member_int(request.get(), "streamId")};
    return ptz_request(kMsgFishPtzInfo, payload, sizeof payload, kRespJson);
}

int on_set_ptz_preset_call(char *text)
{
    const JsonPtr request = ptz_parse(text);
    int channel = 0;
    if (!request || !live_channel(request.get(), "channelId", &channel))
        return 0;
    const int32_t payload[2] = {channel, json_member_int(request.get(), "action")};
    ptz_notify(kMsgPtzPresetCall, payload, sizeof payload);
    ptz_answer_ok();
    ptz_log(kPtzLogMove, channel);
    return 0;
}

int on_set_ptz_zomm(char *text)
{
    const JsonPtr request = ptz_parse(text);
    int channel = 0;
    if (!request || !live_channel(request.get(), "camId", &channel))
        return 0;
    const int32_t payload[3] = {channel, json_member_int(request.get(), "Zoom"),
                                json_member_int(request.get(), "ZoomSpeed")};
    ptz_notify(kMsgPtzZoom, payload, sizeof payload);
    ptz_answer_ok();
    ptz_log(kPtzLogMove, channel);
    return 0;
}

int on_set_ipc_speed(char *text)
{
    const JsonPtr request = ptz_parse(text);
    int channel = 0;
    if (!request || !live_channel(request.get(), "chn", &channel))
        return 0;
    ptz_send_speed_param(channel, json_member_int(request.get(), "Speed"));
    ptz_log(kPtzLogSetting, channel);
    return 0;
}

int on_cgi_set_ptz_control(char *text)
{
    JsonPtr request;
    int channel = 0;
    if (!json_live_channel(text, "chnid", &request, &channel))
        return 0;
    const int32_t payload[2] = {channel, json_member_int(request.get(), "ptzCmd")};
    ptz_request(kMsgPtzControl, payload, sizeof payload, kRespJson);
    ptz_log(kPtzLogSetting, channel);
    return 0;
}

int on_cgi_get_led_status(char *text)
{
    JsonPtr request;
    int channel = 0;
    if (!json_live_channel(text, "chnid", &request, &channel))
        return 0;
    const int32_t payload = channel;
    return ptz_request(kMsgPtzLedStatus, &payload, sizeof payload, kRespJson);
}

int on_cgi_get_ptz_basic(char *text)
{
    const JsonPtr request = ptz_parse(text);
    if (!request)
        return cgi_error_to_webserver(kRespJson);
    const int32_t payload = json_member_int(request.get(), "chnId");
    return ptz_request(kMsgPtzBasicGet, &payload, sizeof payload, kRespJson);
}

int on_cgi_get_ptz_basic_cb(const ReplyReader &reply)
{
    ptz_basic_setting setting;
    if (!reply.record(0, &setting))
        return -1;
    const JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), &setting, kPtzBasicReply);
    return ptz_write_json_done(answer.get());
}

// Keys the request leaves out are sent as 0 (the mask as an empty text).
int on_cgi_set_ptz_basic(char *text)
{
    const JsonPtr request = ptz_parse(text);
    if (!request)
        return cgi_error_to_webserver(kRespJson);
    ptz_basic_setting setting{};
    wire_update(request.get(), kPtzBasicRequest, &setting);
    setting.status = 0;
    return ptz_request(kMsgPtzBasicSet, &setting, sizeof setting, kRespJson);
}
