// Demo settings of the network service pages: NTP, PPPoE, DDNS, e-mail,
// SNMP, P2P and the push-message options.
#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "demo_network.h"
#include "modules/network/service_records.h"
#include "nvrconf.h"
#include "platform/confdb/confdb.h"

namespace {

template <size_t N> void put(char (&field)[N], const char *text) { snprintf(field, N, "%s", text); }

// One demo value of a service record: a number or a text (cut to its field).
struct DemoField {
    int kind;
    size_t offset;
    size_t size;
    const char *text; // null: `number`
    int32_t number;
};
#define DEMO_TEXT(Kind, Record, member, value)                                                               \
    DemoField { Kind, offsetof(Record, member), sizeof(static_cast<Record *>(nullptr)->member), value, 0 }
#define DEMO_INT(Kind, Record, member, value)                                                                \
    DemoField { Kind, offsetof(Record, member), sizeof(int32_t), nullptr, value }

const DemoField kServiceFields[] = {
    DEMO_INT(kRecTime, time_record, ntpEnable, 1),
    DEMO_TEXT(kRecTime, time_record, timeZone, "GMT+01:00"),
    DEMO_TEXT(kRecTime, time_record, timeZoneName, "Europe/Berlin"),
    DEMO_TEXT(kRecTime, time_record, ntpServer, "pool.ntp.org"),
    DEMO_INT(kRecTime, time_record, syncEnable, 1),
    DEMO_INT(kRecTime, time_record, syncInterval, 24),

    DEMO_INT(kRecPppoe, pppoe_record, autoConnect, 1),
    DEMO_TEXT(kRecPppoe, pppoe_record, userName, "demo-dsl"),
    DEMO_TEXT(kRecPppoe, pppoe_record, password, "dsl-secret"),

    DEMO_INT(kRecDdns, ddns_record, enable, 1),
    DEMO_TEXT(kRecDdns, ddns_record, domain, "dyndns.example.org"),
    DEMO_TEXT(kRecDdns, ddns_record, userName, "demo"),
    DEMO_TEXT(kRecDdns, ddns_record, password, "ddns-secret"),
    DEMO_TEXT(kRecDdns, ddns_record, hostName, "demo-recorder.example.org"),
    DEMO_TEXT(kRecDdns, ddns_record, ddnsurl, "https://dyndns.example.org/update"),
    DEMO_INT(kRecDdns, ddns_record, updateFreq, 10),
    DEMO_INT(kRecDdns, ddns_record, http_port, 80),
    DEMO_INT(kRecDdns, ddns_record, rtsp_port, 554),

    DEMO_INT(kRecEmail, email_record, enable, 1),
    DEMO_TEXT(kRecEmail, email_record, userName, "recorder@example.com"),
    DEMO_TEXT(kRecEmail, email_record, password, "mail-secret"),
    DEMO_TEXT(kRecEmail, email_record, smtpServer, "smtp.example.com"),
    DEMO_INT(kRecEmail, email_record, smtpPort, 587),
    DEMO_TEXT(kRecEmail, email_record, senderAddr, "recorder@example.com"),
    DEMO_TEXT(kRecEmail, email_record, senderName, "Demo Recorder"),
    DEMO_INT(kRecEmail, email_record, enableTls, 2),
    DEMO_INT(kRecEmail, email_record, enableAttach, 1),
    DEMO_INT(kRecEmail, email_record, captureInterval, 5),
    DEMO_TEXT(kRecEmail, email_record, receivers[0].receiverAddr, "security@example.com"),
    DEMO_TEXT(kRecEmail, email_record, receivers[0].receiverName, "Security desk"),
    DEMO_TEXT(kRecEmail, email_record, receivers[1].receiverAddr, "owner@example.com"),
    DEMO_TEXT(kRecEmail, email_record, receivers[1].receiverName, "Owner"),

    DEMO_INT(kRecSnmp, snmp_record, v2c_enable, 1),
    DEMO_TEXT(kRecSnmp, snmp_record, read_community, "public"),
    DEMO_TEXT(kRecSnmp, snmp_record, write_community, "private"),
    DEMO_TEXT(kRecSnmp, snmp_record, read_security_name, "reader"),
    DEMO_TEXT(kRecSnmp, snmp_record, write_security_name, "writer"),
    DEMO_INT(kRecSnmp, snmp_record, port, 161),

    DEMO_INT(kRecP2p, p2p_record, enable, 1),
    DEMO_TEXT(kRecP2p, p2p_record, company, "Example Security Ltd."),
    DEMO_TEXT(kRecP2p, p2p_record, email, "support@example.com"),
    DEMO_TEXT(kRecP2p, p2p_record, dealer, "Example Dealer"),
    DEMO_TEXT(kRecP2p, p2p_record, model, "NVR-3216"),
    DEMO_INT(kRecP2p, p2p_record, region, 1),
};

// The service records in the order they are stored, each record 0 of its kind.
struct DemoService {
    int kind;
    size_t size;
};
constexpr DemoService kServices[] = {
    {kRecTime, sizeof(time_record)},   {kRecPppoe, sizeof(pppoe_record)}, {kRecDdns, sizeof(ddns_record)},
    {kRecEmail, sizeof(email_record)}, {kRecSnmp, sizeof(snmp_record)},   {kRecP2p, sizeof(p2p_record)},
};
constexpr size_t kServiceRecordMax =
    std::max({sizeof(time_record), sizeof(pppoe_record), sizeof(ddns_record), sizeof(email_record),
              sizeof(snmp_record), sizeof(p2p_record)});

// The record of `service` from its rows of the field table, stored unless
// one is there already.
int store_service(const DemoService &service)
{
    static unsigned char record[kServiceRecordMax];
    memset(record, 0, service.size);
    for (const DemoField &field : kServiceFields) {
        if (field.kind != service.kind)
            continue;
        if (field.text != nullptr)
            snprintf(reinterpret_cast<char *>(record + field.offset), field.size, "%s", field.text);
        else
            memcpy(record + field.offset, &field.number, sizeof field.number);
    }
    return store_if_absent(service.kind, 0, record, service.size);
}

int add_key_if_absent(const char *key, const char *value)
{
    return check_param_key(ZQDB_PATH, key) == 0 ? 0 : add_param_value(ZQDB_PATH, key, value);
}

} // namespace

int add_demo_netsvc()
{
    int result = 0;
    for (const DemoService &service : kServices)
        result |= store_service(service);
    for (int32_t channel = 0; channel < 16; ++channel) {
        const push_msg_event event{channel, channel < 4 ? 3 : 1};
        result |= store_if_absent(kRecPushMsgEvent, channel, &event, sizeof event);
    }
    push_msg_nvr_event positions{};
    put(positions.positions, "1,2");
    result |= store_if_absent(kRecPushMsgNvr, 0, &positions, sizeof positions);
    result |= add_key_if_absent("enable_push_msg", "1");
    result |= add_key_if_absent("ch_access", "0");
    // Nothing answers there: the P2P test of the demo reports no connection.
    result |= add_key_if_absent("p2p_server", "127.0.0.1");
    return result == 0 ? 0 : -1;
}
