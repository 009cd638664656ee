// Demo settings of the network service pages: NTP, PPPoE, DDNS, e-mail,
// SNMP, P2P and the push-message options.
#include <cstdio>

#include "demo_network.h"
#include "modules/network/service_records.h"
#include "nvrconf.h"
#include "platform/confdb/confdb.h"

namespace {

template <size_t N> void put(char (&field)[N], const char *text) { snprintf(field, N, "%s", text); }

time_record demo_time()
{
    time_record record{};
    record.ntpEnable = 1;
    put(record.timeZone, "GMT+01:00");
    put(record.timeZoneName, "Europe/Berlin");
    put(record.ntpServer, "pool.ntp.org");
    record.syncEnable = 1;
    record.syncInterval = 24;
    return record;
}

pppoe_record demo_pppoe()
{
    pppoe_record record{};
    record.autoConnect = 1;
    put(record.userName, "demo-dsl");
    put(record.password, "dsl-secret");
    return record;
}

ddns_record demo_ddns()
{
    ddns_record record{};
    record.enable = 1;
    put(record.domain, "dyndns.example.org");
    put(record.userName, "demo");
    put(record.password, "ddns-secret");
    put(record.hostName, "demo-recorder.example.org");
    put(record.ddnsurl, "https://dyndns.example.org/update");
    record.updateFreq = 10;
    record.http_port = 80;
    record.rtsp_port = 554;
    return record;
}

email_record demo_email()
{
    email_record record{};
    record.enable = 1;
    put(record.userName, "recorder@example.com");
    put(record.password, "mail-secret");
    put(record.smtpServer, "smtp.example.com");
    record.smtpPort = 587;
    put(record.senderAddr, "recorder@example.com");
    put(record.senderName, "Demo Recorder");
    record.enableTls = 2;
    record.enableAttach = 1;
    record.captureInterval = 5;
    put(record.receivers[0].receiverAddr, "security@example.com");
    put(record.receivers[0].receiverName, "Security desk");
    put(record.receivers[1].receiverAddr, "owner@example.com");
    put(record.receivers[1].receiverName, "Owner");
    return record;
}

snmp_record demo_snmp()
{
    snmp_record record{};
    record.v2c_enable = 1;
    put(record.read_community, "public");
    put(record.write_community, "private");
    put(record.read_security_name, "reader");
    put(record.write_security_name, "writer");
    record.port = 161;
    return record;
}

p2p_record demo_p2p()
{
    p2p_record record{};
    record.enable = 1;
    put(record.company, "Example Security Ltd.");
    put(record.email, "support@example.com");
    put(record.dealer, "Example Dealer");
    put(record.model, "NVR-3216");
    record.region = 1;
    return record;
}

int add_key_if_absent(const char *key, const char *value)
{
    return check_param_key(ZQDB_PATH, key) == 0 ? 0 : add_param_value(ZQDB_PATH, key, value);
}

} // namespace

int add_demo_netsvc()
{
    const time_record time = demo_time();
    const pppoe_record pppoe = demo_pppoe();
    const ddns_record ddns = demo_ddns();
    const email_record email = demo_email();
    const snmp_record snmp = demo_snmp();
    const p2p_record p2p = demo_p2p();
    int result = store_if_absent(kRecTime, 0, &time, sizeof time);
    result |= store_if_absent(kRecPppoe, 0, &pppoe, sizeof pppoe);
    result |= store_if_absent(kRecDdns, 0, &ddns, sizeof ddns);
    result |= store_if_absent(kRecEmail, 0, &email, sizeof email);
    result |= store_if_absent(kRecSnmp, 0, &snmp, sizeof snmp);
    result |= store_if_absent(kRecP2p, 0, &p2p, sizeof p2p);
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
