// Status handlers: each asks the core daemon and answers from its reply.
#include "codecs/json_util.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/status/status.h"
#include "modules/status/status_records.h"

int on_cgi_status_nop(char * /*text*/) { return 0; }

int on_get_usage_info(char * /*text*/)
{
    cgi_ipc_request(on_status_ipc_callback, kMsgGetUsage, 0, nullptr, kRespJson);
    return 0;
}

int on_status_ipc_callback(void * /*context*/, const char *header, const char *payload)
{
    if (header == nullptr || payload == nullptr)
        return 0;
    const ReplyReader reply(payload, ipc_reply_size(header));
    switch (ipc_reply_code(header)) {
    case kReplyUsage:
        return on_get_usage_info_cb(reply);
    default:
        return 0;
    }
}

// A reply too short for its record is no answer: the handler's wait runs
// out and it writes the generic error.
int on_get_usage_info_cb(const ReplyReader &reply)
{
    usage_record usage;
    if (!reply.record(0, &usage))
        return -1;
    JsonPtr object = json_new_object();
    json_add_int(object.get(), "total", usage.total);
    json_add_int(object.get(), "free", usage.free);
    json_add_int(object.get(), "used", usage.used);
    cgi_write_json(kRespJson, object.get());
    cgi_set_callback_done(1);
    return 0;
}
