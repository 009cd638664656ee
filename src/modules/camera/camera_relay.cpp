#include "modules/camera/camera_relay.h"

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
