// The network service pages: date, time zone and NTP; PPPoE; DDNS; e-mail
// with the test mail; SNMP; the channel access flag and the PoE count.
// Each setting is a field table over its record: the pages read and
// write the record through it, then name the changed service to the core
// daemon and log the change.
#include <cstdio>
#include <cstring>
#include <ctime>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "codecs/device_db.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/network/network.h"
#include "modules/network/network_services.h"
#include "modules/network/service_records.h"
#include "platform/confdb/confdb.h"
#include "platform/netutil/netutil.h"

namespace {

constexpr int kLogSubTime = 225;
constexpr int kLogParamTime = 900;
constexpr int kLogParamPppoe = 915;
constexpr int kLogParamDdns = 916;
constexpr int kLogParamMail = 917;
constexpr int kFailoverNtpOnly = 2;

constexpr WireField kTimeFields[] = {
    WIRE_INT("ntpEnable", time_record, ntpEnable),       WIRE_INT("dstEnable", time_record, dstEnable),
    WIRE_TEXT("timeZone", time_record, timeZone),        WIRE_TEXT("timeZoneName", time_record, timeZoneName),
    WIRE_TEXT("ntpServer", time_record, ntpServer),      WIRE_INT("syncEnable", time_record, syncEnable),
    WIRE_INT("syncInterval", time_record, syncInterval), WIRE_INT("syncPc", time_record, syncPc),
};
constexpr WireLayout kTimeLayout = wire_layout(kTimeFields, sizeof(time_record));
// The keys a time setting must hold.
constexpr WireField kTimeRequired[] = {
    WIRE_INT("ntpEnable", time_record, ntpEnable),   WIRE_INT("dstEnable", time_record, dstEnable),
    WIRE_TEXT("timeZone", time_record, timeZone),    WIRE_TEXT("timeZoneName", time_record, timeZoneName),
    WIRE_INT("syncEnable", time_record, syncEnable), WIRE_INT("syncInterval", time_record, syncInterval),
    WIRE_INT("syncPc", time_record, syncPc),
};

constexpr WireField kPppoeFields[] = {
    WIRE_INT("enable", pppoe_record, enable),
    WIRE_INT("autoConnect", pppoe_record, autoConnect),
    WIRE_TEXT("userName", pppoe_record, userName),
    WIRE_TEXT("password", pppoe_record, password),
};
constexpr WireLayout kPppoeLayout = wire_layout(kPppoeFields, sizeof(pppoe_record));

constexpr WireField kDdnsFields[] = {
    WIRE_INT("enable", ddns_record, enable),
    WIRE_TEXT("domain", ddns_record, domain),
    WIRE_TEXT("userName", ddns_record, userName),
    WIRE_TEXT("password", ddns_record, password),
    WIRE_TEXT("hostName", ddns_record, hostName),
    WIRE_TEXT("ddnsurl", ddns_record, ddnsurl),
    WIRE_TEXT("freeDNSHash", ddns_record, freeDNSHash),
    WIRE_INT("updateFreq", ddns_record, updateFreq),
};
// The ports are "http_port" and "rtsp_port" in the answer but "http" and
// "rtsp" in a setting.
constexpr WireField kDdnsPortsShown[] = {
    WIRE_INT("http_port", ddns_record, http_port),
    WIRE_INT("rtsp_port", ddns_record, rtsp_port),
};
constexpr WireField kDdnsPortsSet[] = {
    WIRE_INT("http", ddns_record, http_port),
    WIRE_INT("rtsp", ddns_record, rtsp_port),
};
constexpr WireLayout kDdnsLayout = wire_layout(kDdnsFields, sizeof(ddns_record));

constexpr WireField kEmailFields[] = {
    WIRE_INT("enable", email_record, enable),
    WIRE_TEXT("userName", email_record, userName),
    WIRE_TEXT("password", email_record, password),
    WIRE_TEXT("smtpServer", email_record, smtpServer),
    WIRE_INT("smtpPort", email_record, smtpPort),
    WIRE_TEXT("senderAddr", email_record, senderAddr),
    WIRE_TEXT("senderName", email_record, senderName),
    WIRE_INT("enableTls", email_record, enableTls),
    WIRE_INT("enableAttach", email_record, enableAttach),
    WIRE_INT("captureInterval", email_record, captureInterval),
};
constexpr WireLayout kEmailLayout = wire_layout(kEmailFields, sizeof(email_record));
constexpr WireField kReceiverFields[] = {
    WIRE_TEXT("receiverAddr", email_receiver, receiverAddr),
    WIRE_TEXT("receiverName", email_receiver, receiverName),
};
constexpr WireList kReceivers = {wire_layout(kReceiverFields, sizeof(email_receiver)),
                                 offsetof(email_record, receivers), kEmailReceivers, sizeof(email_receiver)};
constexpr WireField kHostNameFields[] = {
    WIRE_INT("enableHostName", port_record, enableHostName),
    WIRE_TEXT("hostName", port_record, hostName),
};
constexpr WireLayout kHostNameLayout = wire_layout(kHostNameFields, sizeof(port_record));

bool in_range(json_object *request, const char *key, int low, int high)
{
    int value = 0;
    return json_value_int(json_get_member(request, key), &value) && value >= low && value <= high;
}

// A setting's record out of its layout into a JSON object.
template <typename Record> JsonPtr record_json(const Record &record, const WireLayout &layout)
{
    JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), &record, layout);
    return answer;
}

// After a stored setting: the service named to the core daemon, the change
// logged, "OK".
int answer_service_stored(const char *service, int log_param)
{
    network_service_changed(service);
    cgi_send_operation_log(kLogSubNetworkService, log_param, 0);
    return cgi_writeback_webserver(kRespText, "OK");
}

void add_clock(json_object *answer)
{
    const time_t now = time(nullptr);
    struct tm local {};
    localtime_r(&now, &local);
    char text[32];
    const struct {
        const char *key;
        const char *format;
        int value;
    } parts[] = {
        {"dateYear", "%.4d", local.tm_year + 1900}, {"dateMon", "%.2d", local.tm_mon + 1},
        {"dateDay", "%.2d", local.tm_mday},         {"dateHour", "%.2d", local.tm_hour},
        {"dateMin", "%.2d", local.tm_min},          {"dateSec", "%.2d", local.tm_sec},
    };
    for (const auto &part : parts) {
        snprintf(text, sizeof text, part.format, part.value);
        json_add_string(answer, part.key, text);
    }
    strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    json_add_string(answer, "serverTime", text);
}

// The 1701 payload: the manual time in double quotes while the clock is
// set by hand, else zero. Only a whole date and time is passed on, so no
// quote or shell syntax can ride along. False when the manual time is
// needed and is no such time.
bool build_time_payload(json_object *request, char (&payload)[kTimePayloadSize])
{
    memset(payload, 0, sizeof payload);
    if (json_member_int(request, "ntpEnable") != 0 ||
        json_member_int(request, "failoverMode") == kFailoverNtpOnly)
        return true;
    char manual[128] = {};
    on_cgi_get_string_from_json(request, "manualTime", manual, sizeof manual);
    struct tm parsed {};
    if (!param_time_text(manual, &parsed))
        return false;
    snprintf(payload, sizeof payload, "\"%s\"", manual);
    return true;
}

} // namespace

void network_service_changed(const char *service)
{
    service_name payload{};
    snprintf(payload.name, sizeof payload.name, "%s", service);
    network_notify(kMsgServiceChanged, &payload, sizeof payload);
}

int on_get_time_info(char * /*text*/)
{
    time_record record;
    if (read_time(ZQDB_PATH, &record) < 0)
        return cgi_error_to_webserver(kRespJson);
    const JsonPtr answer = json_new_object();
    add_clock(answer.get());
    wire_add_fields(answer.get(), &record, kTimeLayout);
    return cgi_write_json(kRespJson, answer.get());
}

int on_set_time_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request || !wire_has_all(request.get(), wire_layout(kTimeRequired, sizeof(time_record))) ||
        !in_range(request.get(), "ntpEnable", 0, 1) || !in_range(request.get(), "dstEnable", 0, 1))
        return 0;
    char payload[kTimePayloadSize];
    if (!build_time_payload(request.get(), payload))
        return 0;
    time_record record{};
    wire_update(request.get(), kTimeLayout, &record);
    if (write_time(ZQDB_PATH, &record) != 0)
        return cgi_error_to_webserver(kRespText);
    cgi_writeback_webserver(kRespText, "OK");
    // The core daemon confirms the new time; then the clock follows it.
    if (network_request(kMsgSetTime, payload, sizeof payload, kRespJson) != 0)
        network_notify(kMsgTimeApplied, nullptr, 0);
    cgi_send_operation_log(kLogSubTime, kLogParamTime, 0);
    return 0;
}

int on_get_pppoe_info(char * /*text*/)
{
    pppoe_record record;
    if (read_pppoe(ZQDB_PATH, &record) < 0)
        return cgi_error_to_webserver(kRespJson);
    const JsonPtr answer = record_json(record, kPppoeLayout);
    netconf_info link{};
    const bool has_address = if_get_netconf("ppp0", &link) == 0 && link.ip[0] != '\0';
    json_add_string(answer.get(), "pppoeipaddr", has_address ? link.ip : "0.0.0.0");
    return cgi_write_json(kRespJson, answer.get());
}

int on_set_pppoe_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request || !in_range(request.get(), "enable", 0, 1))
        return 0;
    pppoe_record record{};
    wire_update(request.get(), kPppoeLayout, &record);
    if (write_pppoe(ZQDB_PATH, &record) != 0)
        return cgi_error_to_webserver(kRespText);
    return answer_service_stored("pppoe", kLogParamPppoe);
}

int on_get_ddns_info(char * /*text*/)
{
    ddns_record record;
    if (read_ddns(ZQDB_PATH, &record) < 0)
        return cgi_error_to_webserver(kRespJson);
    const JsonPtr answer = record_json(record, kDdnsLayout);
    wire_add_fields(answer.get(), &record, wire_layout(kDdnsPortsShown, sizeof record));
    char mac0[kMacText] = {};
    char mac1[kMacText] = {};
    get_mac_addr(mac0, mac1);
    json_add_string(answer.get(), "mac", mac0);
    return cgi_write_json(kRespJson, answer.get());
}

int on_set_ddns_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int frequency = 0;
    if (!request || !in_range(request.get(), "enable", 0, 1) ||
        !json_value_int(json_get_member(request.get(), "updateFreq"), &frequency) || frequency < 0)
        return 0;
    ddns_record record{};
    wire_update(request.get(), kDdnsLayout, &record);
    wire_update(request.get(), wire_layout(kDdnsPortsSet, sizeof record), &record);
    if (write_ddns(ZQDB_PATH, &record) != 0)
        return cgi_error_to_webserver(kRespText);
    return answer_service_stored("ddns", kLogParamDdns);
}

int on_get_ddns_status(char * /*text*/) { return network_request(kMsgDdnsStatus, nullptr, 0, kRespJson); }

int on_get_email_info(char * /*text*/)
{
    email_record record;
    port_record ports;
    if (read_email(ZQDB_PATH, &record) < 0 || read_port(ZQDB_PATH, &ports) < 0)
        return cgi_error_to_webserver(kRespJson);
    const JsonPtr answer = record_json(record, kEmailLayout);
    wire_add_fields(answer.get(), &ports, kHostNameLayout);
    const ReplyReader bytes(reinterpret_cast<const char *>(&record), sizeof record);
    json_object_object_add(answer.get(), "receivers", wire_list_json(bytes, kReceivers));
    return cgi_write_json(kRespJson, answer.get());
}

int on_set_email_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int value = 0;
    if (!request || !json_value_int(json_get_member(request.get(), "smtpPort"), &value) || value < 0 ||
        !in_range(request.get(), "enableTls", 0, 2) || !in_range(request.get(), "enableAttach", 0, 1) ||
        !json_value_int(json_get_member(request.get(), "captureInterval"), &value) || value < 0)
        return 0;
    email_record record;
    port_record ports;
    if (read_email(ZQDB_PATH, &record) < 0 || read_port(ZQDB_PATH, &ports) < 0)
        return cgi_error_to_webserver(kRespText);
    wire_clear_texts(kEmailLayout, &record);
    wire_update(request.get(), kEmailLayout, &record);
    json_object *receivers = json_value_array(json_get_member(request.get(), "receivers"));
    for (size_t index = 0; index < json_array_size(receivers) && index < kEmailReceivers; ++index) {
        email_receiver *receiver = &record.receivers[index];
        wire_clear_texts(kReceivers.entry, receiver);
        wire_update(json_array_item(receivers, index), kReceivers.entry, receiver);
    }
    wire_update(request.get(), kHostNameLayout, &ports);
    if (write_email(ZQDB_PATH, &record) != 0 || write_port(ZQDB_PATH, &ports) != 0)
        return cgi_error_to_webserver(kRespText);
    return answer_service_stored("mail", kLogParamMail);
}

int on_test_email(char * /*text*/)
{
    char payload[kTestMailSize] = "testmail";
    return network_request(kMsgTestMail, payload, sizeof payload, kRespText);
}

int on_get_access_info(char * /*text*/)
{
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "access", get_param_int(ZQDB_PATH, "ch_access", 0));
    return cgi_write_json(kRespJson, answer.get());
}

int on_get_poe_max(char * /*text*/)
{
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "max_poe_num", get_param_int(ZQDB_PATH, "max_poe_num", 0));
    return cgi_write_json(kRespJson, answer.get());
}

// Replies of the service pages.

int on_set_systime_cb(const ReplyReader & /*reply*/)
{
    cgi_set_callback_done(1);
    return 0;
}

int on_ddns_status_cb(const ReplyReader &reply) { return on_cgi_common_json_cb(1, reply); }

int on_test_email_cb(const ReplyReader &reply)
{
    if (reply.size() < sizeof(int32_t))
        return -1;
    cgi_writeback_webserver(kRespText, reply.int32_at(0) == 0 ? "OK" : "ERROR");
    cgi_set_callback_done(1);
    return 0;
}
