#include "modules/camera/camera_relay.h"

#include <cstdio>
#include <cstring>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/camera/camera.h"

int relay_reply_object(const ReplyReader &reply, const WireLayout *layout)
{
    if (layout == nullptr || reply.size() < layout->record_size)
        return -1;
    static char record[65536];
    if (layout->record_size > sizeof record || !reply.read(0, record, layout->record_size))
        return -1;
    const JsonPtr answer = json_new_object();
    relay_add_fields(answer.get(), record, *layout);
    cgi_write_json(kRespJson, answer.get());
    cgi_set_callback_done(1);
    return 0;
}

int relay_request(int code, const void *payload, int length, int error_kind)
{
    return cgi_ipc_request(on_camera_ipc_callback, code, length, payload, error_kind);
}

void relay_notify(int code, const void *payload, int length)
{
    cgi_ipc_notify(on_camera_ipc_callback, code, length, payload);
}

int relay_get_by_chnid(const char *text, int code)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (request == nullptr)
        return cgi_error_to_webserver(kRespJson);
    const int32_t chnid = relay_int(request.get(), "chnid");
    if (chnid < 0 || chnid > 63)
        return cgi_error_to_webserver(kRespJson);
    relay_request(code, &chnid, sizeof chnid, kRespJson);
    return 0;
}
