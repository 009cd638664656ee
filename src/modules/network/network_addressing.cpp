// The addressing page: the stored addressing of bond0 or of eth0 and eth1
// with the kernel's IPv6 addresses where the setting leaves them to the
// kernel, and its change.
#include <cstdio>

#include "codecs/json_util.h"
#include "codecs/network_db.h"
#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/network/network.h"
#include "modules/network/network_services.h"
#include "modules/network/network_records.h"
#include "platform/confdb/confdb.h"
#include "platform/netutil/netutil.h"

namespace {

constexpr int kLogSubNetwork = 204;
constexpr int kLogParamNetwork = 914;
constexpr int kLogMainConflict = 32;
constexpr int kLogSubConflict = 406;
// IPv6 address types: stored values only, stored values unless they are
// empty, and the type whose gateway is the kernel's (never taken from a
// request).
constexpr int kIp6Stored = 0;
constexpr int kIp6StoredOrKernel = 1;
constexpr int kIp6KernelGateway = 2;

// The keys of the first port (bond0, or eth0 in multi-address mode) and of
// the second (eth1): the page shows the addressing before the MAC, the
// name servers and MTU after it.
constexpr WireField kHeadKeys1[] = {
    WIRE_INT("enableNetwork1", net_port_block, enable),
    WIRE_INT("networkType", net_port_block, type),
    WIRE_TEXT("ipAddr", net_port_block, ip),
    WIRE_TEXT("netmask", net_port_block, netmask),
    WIRE_TEXT("gateway", net_port_block, gateway),
};
constexpr WireField kTailKeys1[] = {
    WIRE_TEXT("DNS1", net_port_block, dns1),
    WIRE_TEXT("DNS2", net_port_block, dns2),
    WIRE_INT("mtu", net_port_block, mtu),
};
constexpr WireField kHeadKeys2[] = {
    WIRE_INT("enableNetwork2", net_port_block, enable), WIRE_INT("networkType2", net_port_block, type),
    WIRE_TEXT("ipAddr2", net_port_block, ip),           WIRE_TEXT("netmask2", net_port_block, netmask),
    WIRE_TEXT("gateway2", net_port_block, gateway),
};
constexpr WireField kTailKeys2[] = {
    WIRE_TEXT("DNS12", net_port_block, dns1),
    WIRE_TEXT("DNS22", net_port_block, dns2),
    WIRE_INT("mtu2", net_port_block, mtu),
};
constexpr WireField kIp6Keys1[] = {
    WIRE_TEXT("ip6Addr", net_ip6_text, addr),
    WIRE_TEXT("ip6netmask", net_ip6_text, netmask),
};
constexpr WireField kIp6GatewayKeys1[] = {WIRE_TEXT("ip6gateway", net_ip6_text, gateway)};
constexpr WireField kIp6Keys2[] = {
    WIRE_TEXT("ip6Addr2", net_ip6_text, addr),
    WIRE_TEXT("ip6netmask2", net_ip6_text, netmask),
};
constexpr WireField kIp6GatewayKeys2[] = {WIRE_TEXT("ip6gateway2", net_ip6_text, gateway)};

// One interface of the page: its kernel name, its keys and its fields in
// the network record.
struct NetPort {
    const char *ifname;
    const char *mac_key;
    const char *ip6_type_key;
    WireLayout head;
    WireLayout tail;
    WireLayout ip6;
    WireLayout ip6_gateway;
    net_port_block network_record::*block;
    net_ip6_text network_record::*ip6_text;
    int32_t network_record::*ip6_type;
};

// bond0 and eth0 carry the same keys, each from its own fields.
constexpr NetPort first_port(const char *ifname, net_port_block network_record::*block,
                             net_ip6_text network_record::*ip6_text, int32_t network_record::*ip6_type)
{
    return NetPort{
        ifname,
        "macAddr",
        "ip6networkType",
        wire_layout(kHeadKeys1, sizeof(net_port_block)),
        wire_layout(kTailKeys1, sizeof(net_port_block)),
        wire_layout(kIp6Keys1, sizeof(net_ip6_text)),
        wire_layout(kIp6GatewayKeys1, sizeof(net_ip6_text)),
        block,
        ip6_text,
        ip6_type,
    };
}

const NetPort kBond0 =
    first_port("bond0", &network_record::bond0, &network_record::bond0_ip6, &network_record::bond0_ip6_type);
const NetPort kEth0 =
    first_port("eth0", &network_record::eth0, &network_record::eth0_ip6, &network_record::eth0_ip6_type);
const NetPort kEth1 = {
    "eth1",
    "macAddr2",
    "ip6networkType2",
    wire_layout(kHeadKeys2, sizeof(net_port_block)),
    wire_layout(kTailKeys2, sizeof(net_port_block)),
    wire_layout(kIp6Keys2, sizeof(net_ip6_text)),
    wire_layout(kIp6GatewayKeys2, sizeof(net_ip6_text)),
    &network_record::eth1,
    &network_record::eth1_ip6,
    &network_record::eth1_ip6_type,
};

// The IPv6 keys of a port: the stored texts when its type says so (and,
// for type 1, both address and netmask are stored), otherwise what the
// kernel has; a key the kernel has no value for is left out.
void add_ip6_keys(json_object *answer, const network_record &record, const NetPort &port)
{
    const int type = record.*port.ip6_type;
    const net_ip6_text &stored = record.*port.ip6_text;
    if (type == kIp6Stored ||
        (type == kIp6StoredOrKernel && stored.addr[0] != '\0' && stored.netmask[0] != '\0')) {
        wire_add_fields(answer, &stored, port.ip6);
        wire_add_fields(answer, &stored, port.ip6_gateway);
        return;
    }
    char address[kIpv6AddrText];
    char netmask[kIpv6MaskText];
    if (net_get_ipv6_ifaddr(type == kIp6StoredOrKernel ? 1 : 0, port.ifname, address, netmask) == 0) {
        json_add_string(answer, port.ip6.fields[0].key, address);
        json_add_string(answer, port.ip6.fields[1].key, netmask);
    }
    char gateway[kIpv6AddrText];
    if (net_get_ipv6_gateway2(0, port.ifname, gateway) == 0 ||
        net_get_ipv6_gateway2(1, port.ifname, gateway) == 0)
        json_add_string(answer, port.ip6_gateway.fields[0].key, gateway);
}

void add_ip6_type_and_keys(json_object *answer, const network_record &record, const NetPort &port)
{
    json_add_int(answer, port.ip6_type_key, record.*port.ip6_type);
    add_ip6_keys(answer, record, port);
}

// Bonded: one set of addressing keys for bond0, with eth0's MAC.
void add_bond_keys(json_object *answer, const network_record &record, const char *mac0)
{
    const net_port_block &block = record.*kBond0.block;
    json_add_int(answer, "primaryNet", record.primary_net);
    wire_add_fields(answer, &block, kBond0.head);
    json_add_string(answer, kBond0.mac_key, mac0);
    wire_add_fields(answer, &block, kBond0.tail);
    add_ip6_type_and_keys(answer, record, kBond0);
}

// Multi-address: the keys of one port, IPv6 before the MAC.
void add_muti_port_keys(json_object *answer, const network_record &record, const NetPort &port,
                        const char *mac)
{
    const net_port_block &block = record.*port.block;
    wire_add_fields(answer, &block, port.head);
    add_ip6_type_and_keys(answer, record, port);
    json_add_string(answer, port.mac_key, mac);
    wire_add_fields(answer, &block, port.tail);
}

void update_ip6(json_object *request, const NetPort &port, network_record *record)
{
    on_cgi_get_int_from_json(request, port.ip6_type_key, &(record->*port.ip6_type));
    net_ip6_text &text = record->*port.ip6_text;
    wire_update(request, port.ip6, &text);
    if (record->*port.ip6_type != kIp6KernelGateway)
        wire_update(request, port.ip6_gateway, &text);
}

void update_port(json_object *request, const NetPort &port, network_record *record)
{
    net_port_block &block = record->*port.block;
    wire_update(request, port.head, &block);
    wire_update(request, port.tail, &block);
    update_ip6(request, port, record);
}

void send_network_log(int main_type, int sub_type)
{
    LogRecord log;
    cgi_init_log_info(&log);
    log.main_type = main_type;
    log.sub_type = sub_type;
    log.param_code = kLogParamNetwork;
    cgi_send_log_info(&log);
}

// Takes the request's addressing of the mode into the record and stores
// that mode's part of it; 0 or -1.
int store_addressing(json_object *request, network_record *record)
{
    if (record->mode == kNetModeMulti) {
        update_port(request, kEth0, record);
        update_port(request, kEth1, record);
        on_cgi_get_int_from_json(request, "defaultRoute", &record->default_route);
        return write_network_muti(ZQDB_PATH, record);
    }
    if (record->mode == kNetModeBondFailover)
        on_cgi_get_int_from_json(request, "primaryNet", &record->primary_net);
    update_port(request, kBond0, record);
    return write_network_bond(ZQDB_PATH, record);
}

} // namespace

// The text is the mode whose layout to show; one outside 0..2 shows the
// stored mode's, and a stored mode outside 0..2 (or none) only the default
// route 0.
int on_get_network_info(char *text)
{
    int mode = 0;
    if (!param_text_int(text, &mode))
        return -1;
    if (!network_mode_valid(mode))
        mode = read_network_mode(ZQDB_PATH);
    network_record record;
    if (read_network(ZQDB_PATH, &record) < 0)
        return cgi_error_to_webserver(kRespJson);
    char mac0[kMacText];
    char mac1[kMacText];
    const JsonPtr answer = json_new_object();
    if (network_mode_valid(mode)) {
        get_mac_addr(mac0, mac1);
        char host_name[sizeof record.host_name];
        copy_field_text(host_name, sizeof host_name, record.host_name, sizeof record.host_name);
        json_add_int(answer.get(), "mode", mode);
        json_add_string(answer.get(), "hostName", host_name);
    }
    if (mode == kNetModeBondBalance || mode == kNetModeBondFailover) {
        add_bond_keys(answer.get(), record, mac0);
    } else if (mode == kNetModeMulti) {
        add_muti_port_keys(answer.get(), record, kEth0, mac0);
        add_muti_port_keys(answer.get(), record, kEth1, mac1);
    }
    json_add_int(answer.get(), "defaultRoute", network_mode_valid(mode) ? record.default_route : 0);
    return cgi_write_json(kRespJson, answer.get());
}

// Addresses are stored as sent (the core daemon applies them); only the
// mode must be one the device has, else nothing is stored and nothing
// answered, as for a body that is not JSON.
int on_set_network_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    network_record record;
    if (read_network(ZQDB_PATH, &record) < 0)
        return cgi_error_to_webserver(kRespText);
    int conflict = 0;
    int32_t slave_clear = 0;
    on_cgi_get_int_from_json(request.get(), "mode", &record.mode);
    on_cgi_get_int_from_json(request.get(), "Conflict", &conflict);
    on_cgi_get_int_from_json(request.get(), "slaveClear", &slave_clear);
    if (!network_mode_valid(record.mode))
        return -1;
    if (store_addressing(request.get(), &record) != 0)
        return cgi_error_to_webserver(kRespText);
    network_notify(kMsgSlaveClear, &slave_clear, sizeof slave_clear);
    network_service_changed("network");
    send_network_log(kLogMainOperation, kLogSubNetwork);
    if (conflict == 1)
        send_network_log(kLogMainConflict, kLogSubConflict);
    return cgi_writeback_webserver(kRespText, "OK");
}
