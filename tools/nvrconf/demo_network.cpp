#include "demo_network.h"

#include <cstdio>

#include "codecs/network_db.h"
#include "modules/network/network_records.h"
#include "platform/confdb/confdb.h"

namespace {

void set_port(net_port_block *port, const char *ip, const char *gateway, const char *dns1, const char *dns2)
{
    port->enable = 1;
    port->mtu = 1500;
    snprintf(port->ip, sizeof port->ip, "%s", ip);
    snprintf(port->netmask, sizeof port->netmask, "255.255.255.0");
    snprintf(port->gateway, sizeof port->gateway, "%s", gateway);
    snprintf(port->dns1, sizeof port->dns1, "%s", dns1);
    snprintf(port->dns2, sizeof port->dns2, "%s", dns2);
}

void set_ip6(net_ip6_text *text, const char *addr, const char *gateway)
{
    snprintf(text->addr, sizeof text->addr, "%s", addr);
    snprintf(text->netmask, sizeof text->netmask, "64");
    snprintf(text->gateway, sizeof text->gateway, "%s", gateway);
}

// Two separate ports on two office networks; eth1 leaves IPv6 to the
// kernel (type 1 with nothing stored).
network_record demo_network()
{
    network_record record{};
    record.mode = kNetModeMulti;
    snprintf(record.host_name, sizeof record.host_name, "Demo-Recorder");
    record.primary_net = 0;
    set_port(&record.eth0, "192.168.1.100", "192.168.1.1", "192.168.1.1", "8.8.8.8");
    set_port(&record.eth1, "192.168.2.100", "192.168.2.1", "192.168.2.1", "");
    set_port(&record.bond0, "192.168.1.100", "192.168.1.1", "192.168.1.1", "8.8.8.8");
    set_ip6(&record.eth0_ip6, "2001:db8:1::100", "2001:db8:1::1");
    set_ip6(&record.bond0_ip6, "2001:db8:1::100", "2001:db8:1::1");
    record.eth1_ip6_type = 1;
    return record;
}

bool stored(int kind)
{
    static unsigned char record[sizeof(network_record)];
    return confdb_read_record(ZQDB_PATH, kind, 0, record, sizeof record) != kRecAbsent;
}

} // namespace

int add_demo_network()
{
    if (!stored(kRecNetwork)) {
        const network_record network = demo_network();
        if (write_network(ZQDB_PATH, &network) != 0)
            return -1;
    }
    if (!stored(kRecMulticast)) {
        multicast_record multicast{};
        snprintf(multicast.ip, sizeof multicast.ip, "239.255.42.42");
        if (confdb_write_record(ZQDB_PATH, kRecMulticast, 0, &multicast, sizeof multicast) != 0)
            return -1;
    }
    return 0;
}
