// The smaller network resources: mode, restart, the configured MAC, the
// default-route interface, multicast and the IP conflict checks.
#include <cctype>
#include <cstdio>
#include <cstring>

#include "codecs/json_util.h"
#include "codecs/network_db.h"
#include "codecs/params.h"
#include "front/web_utils.h"
#include "modules/network/network.h"
#include "modules/network/network_records.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kMulticastId = 0;
constexpr int kMacConfSize = 32;
// The stored text with a ':' after every second character: room for the
// longest stored text (31 characters) and its 15 separators.
constexpr size_t kMacShownSize = 48;

int read_multicast(multicast_record *record)
{
    return confdb_read_record(ZQDB_PATH, kRecMulticast, kMulticastId, record, sizeof *record);
}

int write_multicast(const multicast_record *record)
{
    return confdb_write_record(ZQDB_PATH, kRecMulticast, kMulticastId, record, sizeof *record);
}

// "1A2B3C4D5E6F" becomes "1A:2B:3C:4D:5E:6F": a ':' goes after every
// second character that a letter or digit follows. The result is cut at
// `size` - 1 characters.
void format_mac_text(const char *stored, char *out, size_t size)
{
    size_t length = 0;
    for (size_t at = 0; stored[at] != '\0' && length + 1 < size; ++at) {
        out[length++] = stored[at];
        if (at % 2 == 1 && isalnum(static_cast<unsigned char>(stored[at + 1])) && length + 1 < size)
            out[length++] = ':';
    }
    out[length] = '\0';
}

} // namespace

int on_get_network_mode(char * /*text*/)
{
    char answer[16];
    snprintf(answer, sizeof answer, "%d", read_network_mode(ZQDB_PATH));
    return cgi_writeback_webserver(kRespText, answer);
}

int on_restart_network(char * /*text*/)
{
    const char payload[kRestartPayload] = {};
    network_notify(kMsgRestartNetwork, payload, sizeof payload);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_get_mac0(char * /*text*/)
{
    char stored[kMacConfSize] = {};
    read_mac_conf(ZQDB_PATH, stored, sizeof stored);
    char shown[kMacShownSize];
    format_mac_text(stored, shown, sizeof shown);
    const JsonPtr answer = json_new_object();
    json_add_string(answer.get(), "mac0", shown);
    return cgi_write_json(kRespJson, answer.get());
}

// The record keeps the choice; the core daemon applies it and answers.
int on_cgi_set_default_route(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int route = 0;
    network_record record;
    if (!request || !json_value_int(json_get_member(request.get(), "defaultRoute"), &route) ||
        read_network(ZQDB_PATH, &record) < 0)
        return cgi_error_to_webserver(kRespJson);
    record.default_route = route;
    if (write_network(ZQDB_PATH, &record) != 0)
        return cgi_error_to_webserver(kRespJson);
    const int32_t payload = route;
    return network_request(kMsgSetDefaultRoute, &payload, sizeof payload, kRespJson);
}

int on_cgi_get_multicast(char * /*text*/)
{
    multicast_record record;
    if (read_multicast(&record) < 0)
        return cgi_error_to_webserver(kRespJson);
    char ip[sizeof record.ip];
    copy_field_text(ip, sizeof ip, record.ip, sizeof record.ip);
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "enable", record.enable);
    json_add_string(answer.get(), "ip", ip);
    return cgi_write_json(kRespJson, answer.get());
}

int on_cgi_set_multicast(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    multicast_record record;
    if (!request || read_multicast(&record) < 0)
        return cgi_error_to_webserver(kRespJson);
    on_cgi_get_int_from_json(request.get(), "enable", &record.enable);
    if (const char *ip = json_member_text(request.get(), "ip")) {
        memset(record.ip, 0, sizeof record.ip);
        snprintf(record.ip, sizeof record.ip, "%s", ip);
    }
    if (write_multicast(&record) != 0)
        return cgi_error_to_webserver(kRespJson);
    return network_request(kMsgSetMulticast, &record, sizeof record, kRespJson);
}

// A request without the address asks nothing of the core daemon.
int on_ip_conflict(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    const char *ip = json_member_text(request.get(), "ip");
    if (ip == nullptr)
        return cgi_error_to_webserver(kRespText);
    ip_conflict_request payload{};
    snprintf(payload.ip, sizeof payload.ip, "%s", ip);
    return network_request(kMsgIpConflict, &payload, sizeof payload, kRespText);
}

int on_ip_conflict_by_dev(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    const char *dev = json_member_text(request.get(), "dev");
    const char *ip = json_member_text(request.get(), "ip");
    if (dev == nullptr || ip == nullptr)
        return cgi_error_to_webserver(kRespText);
    ip_conflict_dev_request payload{};
    snprintf(payload.dev, sizeof payload.dev, "%s", dev);
    snprintf(payload.ip, sizeof payload.ip, "%s", ip);
    return network_request(kMsgIpConflictByDev, &payload, sizeof payload, kRespText);
}
