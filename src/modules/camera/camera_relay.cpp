#include "modules/camera/camera_relay.h"

#include <algorithm>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/camera/camera.h"

bool relay_low_chnid(const char *text, int *chnid)
{
    constexpr int kLowChannels = 16;
    return on_cgi_get_value_by_json(text, "chnid", chnid) == 0 && *chnid >= 0 && *chnid < kLowChannels;
}

int relay_request(int code, const void *payload, int length, int error_kind)
{
    return cgi_ipc_request(on_camera_ipc_callback, code, length, payload, error_kind);
}

void relay_notify(int code, const void *payload, int length)
{
    cgi_ipc_notify(on_camera_ipc_callback, code, length, payload);
}

bool relay_request_channel(const JsonPtr &request, const char *key, int *channel)
{
    *channel = request ? json_member_int(request.get(), key) : -1;
    return camera_channel_valid(*channel);
}

int relay_get_channel(const char *text, const char *key, int code, int error_kind)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int channel = -1;
    if (!relay_request_channel(request, key, &channel))
        return cgi_error_to_webserver(error_kind);
    const int32_t payload = channel;
    relay_request(code, &payload, sizeof payload, error_kind);
    return 0;
}

int relay_channel_list(json_object *list, size_t limit, int32_t channels[kCameraChannels], int32_t empty)
{
    int kept = 0;
    const size_t count = std::min(json_array_size(list), limit);
    for (size_t index = 0; index < count && kept < kCameraChannels; ++index) {
        int channel = -1;
        if (json_value_int(json_array_item(list, index), &channel) && camera_channel_valid(channel))
            channels[kept++] = channel;
    }
    for (int slot = kept; slot < kCameraChannels; ++slot)
        channels[slot] = empty;
    return kept;
}

int relay_answer_json(json_object *answer)
{
    if (answer == nullptr)
        cgi_error_to_webserver(kRespJson);
    else
        cgi_write_json(kRespJson, answer);
    cgi_set_callback_done(1);
    return 0;
}

int relay_record_json(const ReplyReader &reply, const RelayRecord &record)
{
    for (size_t part = 0; part < record.count; ++part)
        if (reply.bytes(0, record.parts[part].record_size) == nullptr)
            return -1;
    const JsonPtr answer = json_new_object();
    for (size_t part = 0; answer && part < record.count; ++part)
        wire_add_fields(answer.get(), reply.bytes(0, record.parts[part].record_size), record.parts[part]);
    return relay_answer_json(answer.get());
}
