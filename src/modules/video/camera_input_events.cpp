// The camera's own alarm input event and its volume detection event: the
// getters ask the camera through the core daemon, the setters store the
// recorder-side trigger and tell the camera its switch and thresholds.
#include <algorithm>
#include <climits>
#include <cstring>

#include "codecs/channel_mask.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/video/camera_input.h"
#include "modules/video/region_count.h"
#include "modules/video/video.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kLogSubCameraEvent = 204;
constexpr int kLogParamCameraIo = 923;
constexpr int kLogParamVolumeDetect = 924;

constexpr WireField kCameraIoReplyList[] = {
    WIRE_INT("camId", camera_io_reply, cam_id),
    WIRE_INT("enable", camera_io_reply, enable),
    WIRE_INT("type", camera_io_reply, type),
    WIRE_INT("triActions", camera_io_reply, tri_actions),
};
constexpr WireLayout kCameraIoReply = wire_layout(kCameraIoReplyList, sizeof(camera_io_reply));

constexpr WireField kVolumeReplyList[] = {
    WIRE_INT("camId", volume_detect_reply, cam_id),
    WIRE_INT("enable", volume_detect_reply, enable),
    WIRE_INT("type", volume_detect_reply, type),
    WIRE_INT("volume", volume_detect_reply, volume),
    WIRE_INT("duration", volume_detect_reply, duration),
    WIRE_INT("onEvent", volume_detect_reply, on_event),
    WIRE_INT("offEvent", volume_detect_reply, off_event),
    WIRE_INT("ongoingEvent", volume_detect_reply, ongoing_event),
    WIRE_INT("triActions", volume_detect_reply, tri_actions),
};
constexpr WireLayout kVolumeReply = wire_layout(kVolumeReplyList, sizeof(volume_detect_reply));

// A required integer key and its range.
struct IntRule {
    const char *key;
    int minimum;
    int maximum;
    int32_t *out;
};

bool take_ints(json_object *request, const IntRule *rules, size_t count)
{
    for (size_t index = 0; index < count; ++index) {
        int value = 0;
        if (!json_value_int(json_get_member(request, rules[index].key), &value) ||
            value < rules[index].minimum || value > rules[index].maximum)
            return false;
        *rules[index].out = value;
    }
    return true;
}

// The reply's fixed words, then its trailing trigger channel text, read no
// further than the payload and the text's width. A shorter reply is none.
int answer_event_reply(const ReplyReader &reply, const WireLayout &layout)
{
    if (reply.size() < layout.record_size)
        return -1;
    const size_t length = std::min(reply.size() - layout.record_size, kCameraTriChannelsSize);
    char channels[kCameraTriChannelsSize];
    copy_field_text(channels, sizeof channels, reply.bytes(layout.record_size, length), length);
    const JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), reply.bytes(0, layout.record_size), layout);
    json_add_string(answer.get(), "triChannels", channels);
    cgi_write_json(kRespJson, answer.get());
    cgi_set_callback_done(1);
    return 0;
}

// Getters take the channel as a decimal body; anything but 0..63 gets no
// answer.
int ask_camera(const char *text, int code)
{
    int chnid = -1;
    if (!param_text_int(text, &chnid) || chnid < 0 || chnid > 63)
        return -1;
    const int32_t payload = chnid;
    cgi_ipc_request(on_video_ipc_callback, code, sizeof payload, &payload, kRespJson);
    return 0;
}

// The trigger record of a checked request: camId, enable, the mask of
// "triChannels" and "triActions".
camera_event_record event_record(int32_t cam_id, int32_t enable, int32_t tri_actions, const char *channels)
{
    camera_event_record record{};
    record.cam_id = cam_id;
    record.enable = enable;
    record.tri_channel_mask = static_cast<int32_t>(channel_mask_low(channel_mask_from_text(channels)));
    record.tri_actions = tri_actions;
    return record;
}

int write_event(const char *db, int kind, const camera_event_record *record)
{
    if (record->cam_id < 0 || record->cam_id > 63)
        return -1;
    return confdb_write_record(db, kind, record->cam_id, record, sizeof *record);
}

// Stores the record, sends the message and the operation log, answers
// "OK"; a failed write sends nothing and answers the text error.
int store_and_tell(int kind, const camera_event_record &record, int code, const void *message, int length,
                   int log_param)
{
    if (write_event(ZQDB_PATH, kind, &record) != 0)
        return cgi_error_to_webserver(kRespText);
    cgi_ipc_notify(on_video_ipc_callback, code, length, message);
    cgi_send_operation_log(kLogSubCameraEvent, log_param, record.cam_id + 1);
    return cgi_writeback_webserver(kRespText, "OK");
}

} // namespace

int write_cameraio(const char *db, const camera_event_record *record)
{
    return write_event(db, kRecCameraIoEvent, record);
}

int write_volumedetect(const char *db, const camera_event_record *record)
{
    return write_event(db, kRecVolumeDetect, record);
}

int on_get_camera_io_event(char *text) { return ask_camera(text, kMsgGetCameraIo); }

int on_get_volume_detect(char *text) { return ask_camera(text, kMsgGetVolumeDetect); }

int on_set_camera_io_event(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    camera_io_set message{};
    int32_t tri_actions = 0;
    const IntRule rules[] = {{"camId", 0, 63, &message.cam_id},
                             {"enable", INT_MIN, 1, &message.enable},
                             {"type", 0, INT_MAX, &message.type},
                             {"triActions", INT_MIN, INT_MAX, &tri_actions}};
    const char *channels = json_member_text(request.get(), "triChannels");
    if (!request || channels == nullptr || !take_ints(request.get(), rules, sizeof rules / sizeof rules[0]))
        return -1;
    const camera_event_record record = event_record(message.cam_id, message.enable, tri_actions, channels);
    return store_and_tell(kRecCameraIoEvent, record, kMsgSetCameraIo, &message, sizeof message,
                          kLogParamCameraIo);
}

int on_set_volume_detect(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    volume_detect_set message{};
    int32_t tri_actions = 0;
    const IntRule rules[] = {{"camId", 0, 63, &message.cam_id},
                             {"enable", INT_MIN, 1, &message.enable},
                             {"type", 0, INT_MAX, &message.type},
                             {"volume", 0, INT_MAX, &message.volume},
                             {"duration", 0, INT_MAX, &message.duration},
                             {"onEvent", 0, INT_MAX, &message.on_event},
                             {"offEvent", 0, INT_MAX, &message.off_event},
                             {"ongoingEvent", 0, INT_MAX, &message.ongoing_event},
                             {"triActions", INT_MIN, INT_MAX, &tri_actions}};
    const char *channels = json_member_text(request.get(), "triChannels");
    if (!request || channels == nullptr || !take_ints(request.get(), rules, sizeof rules / sizeof rules[0]))
        return -1;
    const camera_event_record record = event_record(message.cam_id, message.enable, tri_actions, channels);
    return store_and_tell(kRecVolumeDetect, record, kMsgSetVolumeDetect, &message, sizeof message,
                          kLogParamVolumeDetect);
}

int camera_input_decode_reply(int code, const ReplyReader &reply)
{
    switch (code) {
    case kReplyGetCameraIo:
        answer_event_reply(reply, kCameraIoReply);
        return 1;
    case kReplyGetVolumeDetect:
        answer_event_reply(reply, kVolumeReply);
        return 1;
    default:
        return fisheye_decode_reply(code, reply) != 0 ? 1 : region_count_decode_reply(code, reply);
    }
}
