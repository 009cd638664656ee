// Fisheye cameras: the mounting, display and correction modes of a channel,
// and the check and setting of a fisheye camera reached by its access data.
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/video/camera_input.h"
#include "modules/video/vca_rule_util.h"
#include "modules/video/video.h"

namespace {

constexpr WireField kModeSetList[] = {
    WIRE_INT("chnid", fisheye_mode_set, chnid),
    WIRE_INT("fishmount", fisheye_mode_set, fishmount),
    WIRE_INT("fishdisplay", fisheye_mode_set, fishdisplay),
    WIRE_INT("fishcorrect", fisheye_mode_set, fishcorrect),
};
constexpr WireLayout kModeSet = wire_layout(kModeSetList, sizeof(fisheye_mode_set));

constexpr WireField kModeReplyList[] = {
    WIRE_INT("chnid", fisheye_mode_reply, chnid),
    WIRE_INT("result", fisheye_mode_reply, result),
    WIRE_INT("fishmount", fisheye_mode_reply, fishmount),
    WIRE_INT("fishdisplay", fisheye_mode_reply, fishdisplay),
    WIRE_INT("fishcorrect", fisheye_mode_reply, fishcorrect),
};
constexpr WireLayout kModeReply = wire_layout(kModeReplyList, sizeof(fisheye_mode_reply));

// The access data of 3373, then the modes that 3374 adds.
constexpr WireField kCameraList[] = {
    WIRE_TEXT("ddns", fisheye_camera, ddns),         WIRE_TEXT("ipaddr", fisheye_camera, ipaddr),
    WIRE_TEXT("username", fisheye_camera, username), WIRE_TEXT("password", fisheye_camera, password),
    WIRE_INT("port", fisheye_camera, port),          WIRE_INT("transfer", fisheye_camera, transfer),
    WIRE_INT("install", fisheye_camera, install),    WIRE_INT("display", fisheye_camera, display),
};
constexpr WireLayout kCamera = wire_layout(kCameraList, sizeof(fisheye_camera));
constexpr WireLayout kCameraAccess{kCameraList, 5, kFisheyeCheckSize};

constexpr WireField kCheckReplyList[] = {
    WIRE_INT("transfer", fisheye_camera_check_reply, transfer),
    WIRE_INT("install", fisheye_camera_check_reply, install),
    WIRE_INT("display", fisheye_camera_check_reply, display),
    WIRE_INT("streamCnt", fisheye_camera_check_reply, stream_cnt),
};
constexpr WireLayout kCheckReply = wire_layout(kCheckReplyList, sizeof(fisheye_camera_check_reply));

int answer_mode(const ReplyReader &reply)
{
    fisheye_mode_reply record;
    if (!reply.record(0, &record))
        return -1;
    const JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), &record, kModeReply);
    return vca_answer_json(answer.get());
}

// "support" is 1 only for a support word of 1.
int answer_check(const ReplyReader &reply)
{
    fisheye_camera_check_reply record;
    if (!reply.record(0, &record))
        return -1;
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "support", record.support == 1 ? 1 : 0);
    wire_add_fields(answer.get(), &record, kCheckReply);
    return vca_answer_json(answer.get());
}

int answer_result(const ReplyReader &reply)
{
    if (reply.size() < sizeof(int32_t))
        return -1;
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "res", reply.int32_at(0));
    return vca_answer_json(answer.get());
}

// The access data (and with `modes` the modes) of a request; texts it
// leaves out are empty. A body that is not JSON gets no answer.
int send_camera(const char *text, int code, bool modes)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    fisheye_camera camera{};
    wire_update(request.get(), modes ? kCamera : kCameraAccess, &camera);
    cgi_ipc_request(on_video_ipc_callback, code, static_cast<int>(modes ? sizeof camera : kFisheyeCheckSize),
                    &camera, kRespJson);
    return 0;
}

} // namespace

int on_get_fisheye_mode(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    const int id = json_member_int(request.get(), "id", -1);
    if (!request || id < 0 || id > 63)
        return -1;
    const int32_t payload = id;
    cgi_ipc_request(on_video_ipc_callback, kMsgGetFisheyeMode, sizeof payload, &payload, kRespText);
    return 0;
}

// A channel outside 0..63 gets no answer, as the getter's.
int on_cgi_set_fisheye_mode(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    const int chnid = json_member_int(request.get(), "chnid", -1);
    if (!request || chnid < 0 || chnid > 63)
        return -1;
    fisheye_mode_set mode{};
    wire_update(request.get(), kModeSet, &mode);
    cgi_ipc_request(on_video_ipc_callback, kMsgSetFisheyeMode, sizeof mode, &mode, kRespJson);
    return 0;
}

int on_cgi_check_fisheye_info(char *text) { return send_camera(text, kMsgCheckFisheyeCamera, false); }

int on_cgi_set_fisheye_info(char *text) { return send_camera(text, kMsgSetFisheyeCamera, true); }

int fisheye_decode_reply(int code, const ReplyReader &reply)
{
    switch (code) {
    case kReplySetFisheyeMode:
        vca_answer_status(reply);
        return 1;
    case kReplyGetFisheyeMode:
        answer_mode(reply);
        return 1;
    case kReplyCheckFisheyeCamera:
        answer_check(reply);
        return 1;
    case kReplySetFisheyeCamera:
        answer_result(reply);
        return 1;
    default:
        return 0;
    }
}
