// The network module's reply callback, its decoder table and the decoders.
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/network/network.h"
#include "modules/network/network_records.h"

namespace {

struct NetworkReply {
    int code;
    NetworkDecoder decode;
};

const NetworkReply kNetworkReplies[] = {
    {kReplySetDefaultRoute, on_cgi_set_default_route_cb},
    {kReplySetMulticast, on_cgi_set_multicast_cb},
    {kReplyIpConflict, on_ip_conflict_cb},
    {kReplyIpConflictByDev, on_ip_conflict_cb},
};

} // namespace

// A reply without payload is no answer.
int on_network_ipc_callback(void * /*context*/, const char *header, const char *payload)
{
    if (header == nullptr || payload == nullptr || ipc_reply_size(header) == 0)
        return 0;
    const int code = ipc_reply_code(header);
    for (const NetworkReply &row : kNetworkReplies)
        if (row.code == code)
            return row.decode(ReplyReader(payload, ipc_reply_size(header)));
    return 0;
}

int on_cgi_set_default_route_cb(const ReplyReader &reply) { return on_cgi_res_json_cb(reply); }

int on_cgi_set_multicast_cb(const ReplyReader &reply) { return on_cgi_res_json_cb(reply); }

// "0" when the address is free, "-1" when the core daemon found it in use.
int on_ip_conflict_cb(const ReplyReader &reply)
{
    if (reply.count(sizeof(int32_t)) == 0)
        return -1;
    cgi_writeback_webserver(kRespText, reply.int32_at(0) == 0 ? "0" : "-1");
    cgi_set_callback_done(1);
    return 0;
}

int network_request(int code, const void *payload, int length, int error_kind)
{
    return cgi_ipc_request(on_network_ipc_callback, code, length, payload, error_kind);
}

void network_notify(int code, const void *payload, int length)
{
    cgi_ipc_notify(on_network_ipc_callback, code, length, payload);
}
