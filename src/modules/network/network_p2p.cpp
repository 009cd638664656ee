// P2P cloud access: its status, switching it on and off, the registration
// test against the P2P service, and unbinding the device.
#include <cstdio>
#include <cstring>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/network/network.h"
#include "modules/network/network_services.h"
#include "modules/network/service_records.h"
#include "platform/confdb/confdb.h"
#include "platform/netutil/netutil.h"
#include "platform/p2p/p2p_client.h"

namespace {

// Where the P2P service listens: settings of the device, so that a test
// or a private installation can name its own.
constexpr const char *kP2pHostKey = "p2p_server";
constexpr const char *kP2pPortKey = "p2p_server_port";
constexpr int kP2pDefaultPort = 9999;
constexpr size_t kP2pHostSize = 128;

constexpr WireField kP2pStatusFields[] = {
    WIRE_INT("enable", p2p_status, enable),
    WIRE_TEXT("company", p2p_status, company),
    WIRE_TEXT("email", p2p_status, email),
    WIRE_INT("p2pstatus", p2p_status, p2pstatus),
    WIRE_TEXT("cloudAccount", p2p_status, cloudAccount),
    WIRE_TEXT("registerCode", p2p_status, registerCode),
    WIRE_TEXT("dealer", p2p_status, dealer),
    WIRE_TEXT("model", p2p_status, model),
    WIRE_TEXT("ipc", p2p_status, ipc),
    WIRE_TEXT("cloudServer", p2p_status, cloudServer),
    WIRE_INT("region", p2p_status, region),
};

// The answer of an enabling request by the core daemon's result.
const char *enable_answer(int32_t result)
{
    switch (result) {
    case 0:
        return "ERR_OK";
    case 2:
        return "ERR_NOTFOUND";
    case 3:
        return "ERR_NETWORK";
    case 5:
        return "ERR_MAC_FORMAT";
    case 6:
        return "ERR_AUTH_FAILED";
    case 7:
        return "ERR_NO_UUID";
    default:
        return "ERR_UNKNOWN";
    }
}

template <size_t N> void copy_text(char (&to)[N], const char *from, size_t from_size)
{
    copy_field_text(to, N, from, from_size);
}

// The registration record: the device's MAC, name and serial number, and
// the registration details of the stored P2P setting.
void build_register_record(json_object *request, const p2p_record &stored, p2p_register_record *record)
{
    memset(record, 0, sizeof *record);
    char mac0[kMacText] = {};
    char mac1[kMacText] = {};
    get_mac_addr(mac0, mac1);
    snprintf(record->mac, sizeof record->mac, "%s", mac0);
    on_cgi_get_string_from_json(request, "deviceName", record->deviceName, sizeof record->deviceName);
    on_cgi_get_string_from_json(request, "sn", record->sn, sizeof record->sn);
    copy_text(record->company, stored.company, sizeof stored.company);
    copy_text(record->email, stored.email, sizeof stored.email);
    copy_text(record->dealer, stored.dealer, sizeof stored.dealer);
    copy_text(record->model, stored.model, sizeof stored.model);
}

int reply_text(const ReplyReader &reply, const char *text)
{
    if (reply.size() < sizeof(int32_t))
        return -1;
    cgi_writeback_webserver(kRespText, text);
    cgi_set_callback_done(1);
    return 0;
}

} // namespace

int on_get_p2p_info(char * /*text*/) { return network_request(kMsgP2pStatus, nullptr, 0, kRespJson); }

int on_set_p2p_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int enable = 0;
    if (!request || !json_value_int(json_get_member(request.get(), "enableP2P"), &enable))
        return 0;
    const int region = json_member_int(request.get(), "region");
    p2p_record record{};
    if (enable != 0) {
        record.enable = enable;
        record.region = region;
        return network_request(kMsgP2pEnable, &record, sizeof record, kRespText);
    }
    if (read_p2p_info(ZQDB_PATH, &record) < 0)
        return cgi_error_to_webserver(kRespText);
    record.enable = 0;
    record.region = region;
    if (write_p2p_info(ZQDB_PATH, &record) != 0)
        return cgi_error_to_webserver(kRespText);
    return network_request(kMsgP2pDisable, &record, sizeof record, kRespText);
}

// Answers the registration result as a decimal code; a registration the
// service accepted hands its answer text on to the core daemon.
int on_test_p2p(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    p2p_record stored;
    if (!request || read_p2p_info(ZQDB_PATH, &stored) < 0)
        return 0;
    p2p_register_record record;
    build_register_record(request.get(), stored, &record);
    char host[kP2pHostSize] = {};
    get_param_value(ZQDB_PATH, kP2pHostKey, host, sizeof host, "");
    const int port = get_param_int(ZQDB_PATH, kP2pPortKey, kP2pDefaultPort);
    char answer[kP2pAnswerSize];
    const int result = p2p_register_device(host, port, &record, sizeof record, answer);
    if (result == kP2pRegisterDone)
        network_notify(kMsgP2pEnable, answer, static_cast<int>(strlen(answer)));
    char code[8];
    snprintf(code, sizeof code, "%d", result);
    return cgi_writeback_webserver(kRespText, code);
}

int on_cgi_p2p_unbind_device(char * /*text*/)
{
    return network_request(kMsgP2pUnbind, nullptr, 0, kRespJson);
}

int on_p2p_status_info_cb(const ReplyReader &reply)
{
    if (reply.size() < sizeof(p2p_status))
        return -1;
    const JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), reply.bytes(0, sizeof(p2p_status)),
                    wire_layout(kP2pStatusFields, sizeof(p2p_status)));
    cgi_write_json(kRespJson, answer.get());
    cgi_set_callback_done(1);
    return 0;
}

int on_enable_p2p_cb(const ReplyReader &reply) { return reply_text(reply, enable_answer(reply.int32_at(0))); }

int on_disable_p2p_cb(const ReplyReader &reply)
{
    return reply_text(reply, reply.int32_at(0) == 0 ? "OK" : "ERR");
}

int on_p2p_unbind_cb(const ReplyReader & /*reply*/)
{
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "res", 0);
    cgi_write_json(kRespJson, answer.get());
    cgi_set_callback_done(1);
    return 0;
}
