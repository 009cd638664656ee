// Regions and motion detection kept on the camera, and the camera's text
// of one of its events.
#include <cstring>
#include <string>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/camera/camera.h"

namespace {

constexpr int kAreaIdMax = 16;

// ---- Regions ---------------------------------------------------------------

const WireField kAreaFields[] = {
    WIRE_INT("enable", ipc_area, enable), WIRE_INT("left", ipc_area, left),
    WIRE_INT("top", ipc_area, top),       WIRE_INT("right", ipc_area, right),
    WIRE_INT("bottom", ipc_area, bottom),
};
constexpr WireLayout kArea = wire_layout(kAreaFields, sizeof(ipc_area));
constexpr WireList kAreaReply = {kArea, offsetof(ipc_area_info, areas), kIpcAreas, sizeof(ipc_area)};
constexpr WireList kAreaRequest = {kArea, offsetof(ipc_area_setting, areas), kIpcAreas, sizeof(ipc_area)};

const WireField kAreaHeadFields[] = {
    WIRE_INT("enable", ipc_area_info, enable),
    WIRE_TEXT("sdkversion", ipc_area_info, sdkversion),
};
constexpr WireLayout kAreaHead = wire_layout(kAreaHeadFields, sizeof(ipc_area_info));

// ---- Motion detection ------------------------------------------------------

const WireField kMotionFields[] = {
    WIRE_INT("chnid", ipc_motion_params, chnid),
    WIRE_INT("enable", ipc_motion_params, enable),
    WIRE_INT("sensitivity", ipc_motion_params, sensitivity),
    WIRE_INT("minsize", ipc_motion_params, minsize),
    WIRE_INT("mintime", ipc_motion_params, mintime),
    WIRE_INT("adaptability", ipc_motion_params, adaptability),
    WIRE_TEXT("map_mask", ipc_motion_params, map_mask),
};
constexpr WireLayout kMotion = wire_layout(kMotionFields, sizeof(ipc_motion_params));
const WireField kMotionTailFields[] = {
    WIRE_INT("isNtPlatform", ipc_motion_info, isNtPlatform),
};

// ---- Event text --------------------------------------------------------------

const WireField kEventTextFields[] = {
    WIRE_INT("chnid", ipc_event_text_query, chnid),
    WIRE_INT("mainType", ipc_event_text_query, mainType),
    WIRE_INT("subType", ipc_event_text_query, subType),
    WIRE_TEXT("time", ipc_event_text_query, time),
};

} // namespace

int on_get_ipc_area_param(char *text) { return relay_get_channel(text, "id", kMsgGetAreaParam, kRespJson); }

int on_get_ipc_area_param_cb(const ReplyReader &reply)
{
    JsonPtr areas(wire_list_json(reply, kAreaReply, "id"));
    if (!areas)
        return -1;
    const JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), reply.bytes(0, kAreaHead.record_size), kAreaHead);
    json_object_object_add(answer.get(), "area", areas.release());
    return relay_answer_json(answer.get());
}

// The channels are the first "cnt" elements of "chnid" that the array
// holds and that name channels 0..63; the areas the first 16 of "area".
int on_set_ipc_area_param(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    json_object *chnid = json_value_array(json_get_member(request.get(), "chnid"));
    if (chnid == nullptr)
        return cgi_error_to_webserver(kRespText);
    ipc_area_setting setting{};
    const int limit = clamp_count(json_member_int(request.get(), "cnt"), kCameraChannels);
    setting.channel_count = relay_channel_list(chnid, static_cast<size_t>(limit), setting.channels, 0);
    setting.enable = json_member_int(request.get(), "enable");
    wire_list_fill(json_get_member(request.get(), "area"), kAreaRequest, WireForm::kKeyed, &setting);
    relay_notify(kMsgSetAreaParam, &setting, sizeof setting);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_set_ipc_area_id(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int channel = -1;
    const int area = request ? json_member_int(request.get(), "area_id", -1) : -1;
    if (!relay_request_channel(request, "chan_id", &channel) || area < 0 || area > kAreaIdMax)
        return cgi_error_to_webserver(kRespJson);
    const ipc_area_id payload = {channel, area};
    relay_notify(kMsgSetAreaId, &payload, sizeof payload);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_get_ipc_motion(char *text) { return relay_get_channel(text, "chnid", kMsgGetIpcMotion, kRespJson); }

int on_get_ipc_motion_cb(const ReplyReader &reply)
{
    static ipc_motion_info info;
    if (!reply.record(0, &info))
        return -1;
    const JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), &info.params, kMotion);
    json_object_object_add(answer.get(), "effective", get_schedule_json_object_ipc(&info.params.schedule));
    wire_add_fields(answer.get(), &info, wire_layout(kMotionTailFields, sizeof info));
    return relay_answer_json(answer.get());
}

int on_set_ipc_motion(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int channel = -1;
    if (!relay_request_channel(request, "chnid", &channel))
        return cgi_error_to_webserver(kRespJson);
    static ipc_motion_setting setting;
    memset(&setting, 0, sizeof setting);
    const uint64_t copies = get_copy_flag_by_json(request.get(), "copyChn", "copyCnt") | uint64_t{1}
                                                                                             << channel;
    setting.copy_mask[0] = static_cast<uint32_t>(copies);
    setting.copy_mask[1] = static_cast<uint32_t>(copies >> 32);
    wire_fill(request.get(), kMotion, &setting.params);
    get_schedule_by_json_ipc(request.get(), "effective", &setting.params.schedule);
    relay_request(kMsgSetIpcMotion, &setting, sizeof setting, kRespJson);
    return 0;
}

int on_get_ipc_event_text(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int channel = -1;
    if (!relay_request_channel(request, "chnid", &channel))
        return cgi_error_to_webserver(kRespText);
    ipc_event_text_query query{};
    wire_fill(request.get(), wire_layout(kEventTextFields, sizeof query), &query);
    relay_request(kMsgGetEventText, &query, sizeof query, kRespText);
    return 0;
}

// The reply is the text itself, up to its first NUL; no text is the error.
int on_get_ipc_event_text_cb(const ReplyReader &reply)
{
    const char *bytes = reply.size() > 0 ? reply.bytes(0, reply.size()) : nullptr;
    const std::string text =
        bytes != nullptr ? std::string(bytes, strnlen(bytes, reply.size())) : std::string();
    if (text.empty())
        cgi_error_to_webserver(kRespText);
    else
        cgi_writeback_webserver(kRespText, text.c_str());
    cgi_set_callback_done(1);
    return 0;
}
