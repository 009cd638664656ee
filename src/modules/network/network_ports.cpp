// Service ports with the push-message options, and SNMP: the two settings
// that give a port to a service, so both pass the same port check.
#include <cstdio>
#include <cstring>
#include <iterator>

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

namespace {

constexpr int kLogParamPorts = 918;
constexpr int kLogSubReboot = 200;
constexpr int kLogParamReboot = 900;
constexpr int kPoeFirstPort = 23001;
constexpr int kPortMax = 65535;
constexpr int kPushChannels = 64;
constexpr int kAlarmInTypeDefault = 65535;
constexpr size_t kPushPositionsStored = 65;

constexpr WireField kPortFields[] = {
    WIRE_INT("enableSsh", port_record, enableSsh), WIRE_INT("sshPort", port_record, sshPort),
    WIRE_INT("httpPort", port_record, httpPort),   WIRE_INT("httpsPort", port_record, httpsPort),
    WIRE_INT("rtspPort", port_record, rtspPort),   WIRE_INT("servicePort", port_record, servicePort),
};
constexpr WireLayout kPortLayout = wire_layout(kPortFields, sizeof(port_record));
// A port setting checks the service port but leaves it as stored: it is
// the table's last field, left out here.
constexpr WireLayout kPortSetLayout = {kPortFields, std::size(kPortFields) - 1, sizeof(port_record)};
// The ports the SNMP page shows beside its own.
constexpr WireField kSnmpPortFields[] = {
    WIRE_INT("sshPort", port_record, sshPort),
    WIRE_INT("httpPort", port_record, httpPort),
    WIRE_INT("rtspPort", port_record, rtspPort),
    WIRE_INT("httpsPort", port_record, httpsPort),
};

#define SNMP_INT(member) WIRE_INT(#member, snmp_record, member)
#define SNMP_TEXT(member) WIRE_TEXT(#member, snmp_record, member)
constexpr WireField kSnmpFields[] = {
    SNMP_INT(v1_enable),
    SNMP_INT(v2c_enable),
    SNMP_TEXT(write_community),
    SNMP_TEXT(read_community),
    SNMP_INT(v3_enable),
    SNMP_TEXT(read_security_name),
    SNMP_INT(read_level_security),
    SNMP_INT(read_auth_algorithm),
    SNMP_TEXT(read_auth_password),
    SNMP_INT(read_pri_algorithm),
    SNMP_TEXT(read_pri_password),
    SNMP_TEXT(write_security_name),
    SNMP_INT(write_level_security),
    SNMP_INT(write_auth_algorithm),
    SNMP_TEXT(write_auth_password),
    SNMP_INT(write_pri_algorithm),
    SNMP_TEXT(write_pri_password),
    SNMP_INT(port),
};
#undef SNMP_INT
#undef SNMP_TEXT
constexpr WireLayout kSnmpLayout = wire_layout(kSnmpFields, sizeof(snmp_record));

bool port_in_range(int port) { return port >= 1 && port <= kPortMax; }

// A present key must hold a port; an absent one passes when `optional`.
bool port_key_valid(json_object *request, const char *key, bool optional)
{
    json_object *value = json_get_member(request, key);
    int port = 0;
    if (!json_value_int(value, &port))
        return optional && value == nullptr;
    return port_in_range(port);
}

bool check_port_info(json_object *request)
{
    int value = 0;
    if (!json_value_int(json_get_member(request, "enableSsh"), &value) || (value != 0 && value != 1))
        return false;
    for (const char *key : {"sshPort", "httpPort", "rtspPort", "servicePort"})
        if (!port_key_valid(request, key, false))
            return false;
    return port_key_valid(request, "httpsPort", true) &&
           json_value_int(json_get_member(request, "enableMsg"), &value) && value >= 0;
}

// The number of channels whose push type is stored beside the device.
int push_channels()
{
    const int channels = get_param_int(ZQDB_PATH, "max_cameras", 0);
    return channels < 0 ? 0 : (channels > kPushChannels ? kPushChannels : channels);
}

JsonPtr push_types_json()
{
    push_msg_event events[kPushChannels] = {};
    int ids[kPushChannels] = {};
    const int stored =
        confdb_read_records(ZQDB_PATH, kRecPushMsgEvent, events, sizeof events[0], kPushChannels, ids);
    int32_t types[kPushChannels] = {};
    for (int index = 0; index < stored; ++index)
        if (ids[index] >= 0 && ids[index] < kPushChannels)
            types[ids[index]] = events[index].push_type;
    JsonPtr array = json_new_array();
    for (int channel = 0; channel < push_channels(); ++channel)
        json_object_array_add(array.get(), json_object_new_int(types[channel]));
    return array;
}

void read_push_positions(char (&text)[kPushPositionsStored])
{
    push_msg_nvr_event stored;
    confdb_read_record(ZQDB_PATH, kRecPushMsgNvr, 0, &stored, sizeof stored);
    copy_field_text(text, sizeof text, stored.positions, sizeof stored.positions);
}

// "enable_push_msg" holds 0 or 1; anything else reads as 0.
int push_switch(int value) { return value == 1 ? 1 : 0; }

// Stores the text of a keyed parameter, creating the key when it is new.
int store_param_text(const char *key, const char *text)
{
    if (check_param_key(ZQDB_PATH, key) != 0)
        return add_param_value(ZQDB_PATH, key, text);
    return set_param_value(ZQDB_PATH, key, text);
}

int store_param_number(const char *key, int value)
{
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    return store_param_text(key, text);
}

// The push options of a port setting: the types, each channel's type for
// the channels the request gives (at most the array's length and the
// channel count), the positions, the video stream and the switch.
int store_push_options(json_object *request)
{
    json_object *types = json_value_array(json_get_member(request, "pushTypeArr"));
    int count = json_member_int(request, "channel_num");
    count = count < 0 ? 0 : (count > kPushChannels ? kPushChannels : count);
    push_msg_event events[kPushChannels] = {};
    uint64_t mask = 0;
    for (int channel = 0; channel < count && static_cast<size_t>(channel) < json_array_size(types);
         ++channel) {
        int type = 0;
        if (!json_value_int(json_array_item(types, channel), &type))
            continue;
        events[channel] = push_msg_event{channel, type};
        mask |= uint64_t{1} << channel;
    }
    push_msg_nvr_event positions{};
    on_cgi_get_string_from_json(request, "pushNvrPos", positions.positions, sizeof positions.positions);
    int result =
        confdb_write_masked(ZQDB_PATH, kRecPushMsgEvent, events, sizeof events[0], sizeof events[0], mask);
    result |= confdb_write_record(ZQDB_PATH, kRecPushMsgNvr, 0, &positions, sizeof positions);
    result |= store_param_number("push_type", json_member_int(request, "pushType"));
    result |= store_param_number("pushmsg_alarmin_type", json_member_int(request, "PushTypeNvrAlarmIn"));
    result |= store_param_number("video_push_stream", json_member_int(request, "pushVideoStream"));
    result |= store_param_number("enable_push_msg", push_switch(json_member_int(request, "enableMsg")));
    return result == 0 ? 0 : -1;
}

} // namespace

// A changed port must lie outside the PoE cameras' ports (23001 up, one
// per PoE port for 4, 8 or 16 of them) and be free on this host; keeping
// a port always passes, since the recorder itself listens on it.
bool network_port_allowed(int port, int stored)
{
    if (port == stored)
        return true;
    const int poe = get_param_int(ZQDB_PATH, "max_poe_num", 0);
    if ((poe == 4 || poe == 8 || poe == 16) && port >= kPoeFirstPort && port < kPoeFirstPort + poe)
        return false;
    return is_port_use(port) == 0;
}

int on_get_port_info(char * /*text*/)
{
    port_record ports;
    if (read_port(ZQDB_PATH, &ports) < 0)
        return cgi_error_to_webserver(kRespJson);
    const JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), &ports, kPortLayout);
    json_add_int(answer.get(), "enable_access", get_param_int(ZQDB_PATH, "ch_access", 0));
    json_object_object_add(answer.get(), "PushTypeArr", push_types_json().release());
    json_add_int(answer.get(), "PushNvrAlarmInType",
                 get_param_int(ZQDB_PATH, "pushmsg_alarmin_type", kAlarmInTypeDefault));
    json_add_int(answer.get(), "enableMsg", push_switch(get_param_int(ZQDB_PATH, "enable_push_msg", 0)));
    json_add_int(answer.get(), "push_stream", get_param_int(ZQDB_PATH, "video_push_stream", 0));
    char positions[kPushPositionsStored];
    read_push_positions(positions);
    json_add_string(answer.get(), "pushNvrPos", positions);
    return cgi_write_json(kRespJson, answer.get());
}

// Nothing is stored before every check has passed: a port conflict leaves
// the ports and the push options as they were.
int on_set_port_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    port_record ports;
    if (!request || !check_port_info(request.get()) || read_port(ZQDB_PATH, &ports) < 0)
        return 0;
    const port_record stored = ports;
    wire_update(request.get(), kPortSetLayout, &ports);
    if (!network_port_allowed(ports.sshPort, stored.sshPort) ||
        !network_port_allowed(ports.httpPort, stored.httpPort) ||
        !network_port_allowed(ports.httpsPort, stored.httpsPort))
        return cgi_writeback_webserver(kRespText, "POE_Port_Error");
    if (store_push_options(request.get()) != 0 || write_port(ZQDB_PATH, &ports) != 0)
        return cgi_error_to_webserver(kRespText);
    int access = 0;
    if (json_value_int(json_get_member(request.get(), "enableAccess"), &access) &&
        access != get_param_int(ZQDB_PATH, "ch_access", 0)) {
        const int32_t payload = access;
        network_notify(kMsgChannelAccess, &payload, sizeof payload);
    }
    char push[kPushSwitchSize] = {};
    snprintf(push, sizeof push, "%d", push_switch(json_member_int(request.get(), "enableMsg")));
    network_notify(kMsgPushSwitch, push, sizeof push);
    cgi_send_operation_log(kLogSubNetworkService, kLogParamPorts, 0);
    cgi_writeback_webserver(kRespText, "OK");
    network_service_changed("more");
    if (json_member_int(request.get(), "needReboot") != 0) {
        cgi_send_operation_log(kLogSubReboot, kLogParamReboot, 0);
        network_notify(kMsgRestart, nullptr, 0);
    }
    return 0;
}

int on_get_snmp_info(char * /*text*/)
{
    snmp_record record;
    port_record ports;
    if (read_snmp(ZQDB_PATH, &record) < 0 || read_port(ZQDB_PATH, &ports) < 0)
        return cgi_error_to_webserver(kRespJson);
    const JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), &record, kSnmpLayout);
    wire_add_fields(answer.get(), &ports, wire_layout(kSnmpPortFields, sizeof ports));
    return cgi_write_json(kRespJson, answer.get());
}

int on_set_snmp_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    snmp_record record;
    if (!request || !port_key_valid(request.get(), "port", true) || read_snmp(ZQDB_PATH, &record) < 0)
        return 0;
    const int port = json_member_int(request.get(), "port", record.port);
    if (!network_port_allowed(port, record.port))
        return cgi_writeback_webserver(kRespText, "POE_Port_Error");
    wire_update(request.get(), kSnmpLayout, &record);
    if (write_snmp(ZQDB_PATH, &record) != 0)
        return cgi_error_to_webserver(kRespText);
    network_service_changed("snmp");
    return cgi_writeback_webserver(kRespText, "OK");
}
