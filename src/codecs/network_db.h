// The network settings record of the configuration database (addressing
// of bond0, eth0 and eth1, the network mode, the host name) and the
// configured MAC text: read by the network pages and by the system pages
// (host name, MAC in file names).
#pragma once

#include <cstddef>
#include <cstdint>

// Network modes: eth0 and eth1 separately, or bonded into bond0 (load
// balance, or fail-over with a primary port).
constexpr int kNetModeMulti = 0;
constexpr int kNetModeBondBalance = 1;
constexpr int kNetModeBondFailover = 2;

constexpr bool network_mode_valid(int mode) { return mode >= kNetModeMulti && mode <= kNetModeBondFailover; }

#pragma pack(push, 1)

// The IPv4 addressing of one interface.
struct net_port_block {
    int32_t enable;
    int32_t type; // the core daemon's address type, passed through
    char ip[16];
    char netmask[16];
    char gateway[16];
    char dns1[16];
    char dns2[16];
    int32_t mtu;
};

// The IPv6 addressing texts of one interface (its address type is stored
// apart from them).
struct net_ip6_text {
    char addr[64];
    char netmask[16]; // prefix length text
    char gateway[64];
};

// Record kRecNetwork, id 0.
struct network_record {
    int32_t mode;
    char host_name[132];
    int32_t primary_net; // fail-over mode only
    net_port_block bond0;
    net_port_block eth0;
    net_port_block eth1;
    char reserved[36];
    net_ip6_text eth0_ip6;
    net_ip6_text eth1_ip6;
    int32_t eth0_ip6_type;
    int32_t eth1_ip6_type;
    net_ip6_text bond0_ip6;
    int32_t bond0_ip6_type;
    int32_t default_route; // the core daemon's interface number, passed through
};

#pragma pack(pop)
static_assert(sizeof(net_port_block) == 92);
static_assert(offsetof(net_port_block, ip) == 8);
static_assert(offsetof(net_port_block, dns2) == 72);
static_assert(offsetof(net_port_block, mtu) == 88);
static_assert(sizeof(net_ip6_text) == 144);
static_assert(sizeof(network_record) == 900);
static_assert(offsetof(network_record, host_name) == 4);
static_assert(offsetof(network_record, primary_net) == 136);
static_assert(offsetof(network_record, bond0) == 140);
static_assert(offsetof(network_record, eth0) == 232);
static_assert(offsetof(network_record, eth1) == 324);
static_assert(offsetof(network_record, eth0_ip6) == 452);
static_assert(offsetof(network_record, eth1_ip6) == 596);
static_assert(offsetof(network_record, eth0_ip6_type) == 740);
static_assert(offsetof(network_record, eth1_ip6_type) == 744);
static_assert(offsetof(network_record, bond0_ip6) == 748);
static_assert(offsetof(network_record, bond0_ip6_type) == 892);
static_assert(offsetof(network_record, default_route) == 896);

// The whole record: kRecFound, kRecAbsent (record zeroed) or -1.
int read_network(const char *db, network_record *record);
int write_network(const char *db, const network_record *record);
// The stored mode; -1 when no record is stored or it cannot be read.
int read_network_mode(const char *db);
// Store the part of `record` that belongs to a mode over the stored record,
// keeping the rest of it (the host name, the other mode's addressing): the
// bonded part is the mode, the primary port and bond0's addressing; the
// multi-address part the mode, eth0's and eth1's addressing and the
// default route. 0 or -1.
int write_network_bond(const char *db, const network_record *record);
int write_network_muti(const char *db, const network_record *record);

// The device's configured MAC text (as stored, without separators as a
// rule) into `buffer`, cut to size - 1; empty when none is configured.
int read_mac_conf(const char *db, char *buffer, int size);
