// The network module's reply callback, its decoder table and the decoders.
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/network/network.h"
#include "modules/network/network_records.h"
#include "modules/network/network_services.h"
#include "modules/network/service_records.h"

namespace {

// Replies that confirm without a payload are answers even when empty.
enum class Payload : bool { kRequired, kOptional };

struct NetworkReply {
    int code;
    NetworkDecoder decode;
    Payload payload = Payload::kRequired;
};

const NetworkReply kNetworkReplies[] = {
    {kReplySetDefaultRoute, on_cgi_set_default_route_cb},
    {kReplySetMulticast, on_cgi_set_multicast_cb},
    {kReplyIpConflict, on_ip_conflict_cb},
    {kReplyIpConflictByDev, on_ip_conflict_cb},
    {kReplySetTime, on_set_systime_cb, Payload::kOptional},
    {kReplyDdnsStatus, on_ddns_status_cb},
    {kReplyTestMail, on_test_email_cb},
    {kReplyP2pStatus, on_p2p_status_info_cb},
    {kReplyP2pEnable, on_enable_p2p_cb},
    {kReplyP2pDisable, on_disable_p2p_cb},
    {kReplyP2pUnbind, on_p2p_unbind_cb, Payload::kOptional},
    {kReplyCertCreate, on_create_cert_cb, Payload::kOptional},
    {kReplyCertInstall, on_resp_install_cert},
};

} // namespace

// A reply without payload is no answer, unless its decoder reads none.
int on_network_ipc_callback(void * /*context*/, const char *header, const char *payload)
{
    if (header == nullptr)
        return 0;
    const int code = ipc_reply_code(header);
    const unsigned size = payload != nullptr ? ipc_reply_size(header) : 0;
    for (const NetworkReply &row : kNetworkReplies)
        if (row.code == code && (size > 0 || row.payload == Payload::kOptional))
            return row.decode(ReplyReader(payload, size));
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
