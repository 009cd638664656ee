// Interface probes: what the kernel says about the recorder's network
// interfaces (addresses, link, counters, routes), the ARP probe for an
// address in use, and switching an interface up or down.
//
// The /proc files are read through nvr_path, so a test or the demo can
// supply them; the ioctl and packet socket probes ask the kernel of the
// caller's network namespace.
#pragma once

#include <cstddef>
#include <cstdint>

// Text sizes of the IPv6 helpers: an address and a prefix length text.
constexpr size_t kIpv6AddrText = 64;
constexpr size_t kIpv6MaskText = 16;
// A MAC address as "XX:XX:XX:XX:XX:XX" with its terminator.
constexpr size_t kMacText = 18;

#pragma pack(push, 1)
// One interface's IPv4 configuration as the kernel has it.
struct netconf_info {
    char ip[16];
    char mac[24]; // lower-case "xx:xx:xx:xx:xx:xx"
    char gateway[24];
    char netmask[16];
    char broadcast[16];
    int32_t up;
    int32_t mtu;
};

// One interface's link state.
struct netinfo_info {
    int32_t running;
    int32_t speed; // Mbit/s
    int32_t duplex;
};
#pragma pack(pop)
static_assert(sizeof(netconf_info) == 104);
static_assert(sizeof(netinfo_info) == 12);

// Fills `info` with the interface's address, MAC, default gateway, netmask,
// broadcast address, up flag and MTU; a value the kernel does not give
// stays empty (zero), the gateway "0.0.0.0". -1 for a missing argument or
// when no socket can be made, else 0.
int if_get_netconf(const char *ifname, netconf_info *info);
// Running flag, link speed and duplex of the interface; -1 when the link
// settings cannot be read.
int if_get_netinfo(const char *ifname, netinfo_info *info);
// The number of interfaces other than the loopback "lo"; 0 when the list
// cannot be read.
int if_get_netcount();
// Receive and send rates in bytes per second since the previous call for
// the same interface in this process (0 and 0 at the first call, or when
// the previous sample is 10 seconds old or more; -1 and -1 when no time
// has passed). -1 when the interface's counters cannot be read.
int if_get_speed(const char *ifname, long long *rx_rate, long long *tx_rate);
// The same with the sample time given (microseconds of a steady clock).
int if_get_speed_at(const char *ifname, uint64_t now_us, long long *rx_rate, long long *tx_rate);
// Runs "ifconfig NAME up" (or "down") without a shell. The length of that
// command line, or -1 for a missing or malformed name or a failed run.
int if_set_network(const char *ifname, int up);
// Upper-case hardware addresses of "eth0" and "eth1" into two buffers of
// kMacText bytes; a port whose address cannot be read gets a fixed one.
// Always 0.
int if_get_mac_addr(char *mac0, char *mac1);
// Whether `address` answers an ARP request on the interface within 2
// seconds: 1 in use (also the interface's own address, and when sending or
// receiving failed on the way), 0 not in use, -1 when the interface or the
// address cannot be used.
int if_ip_check(const char *ifname, const char *address);
// 0 when the two addresses lie in the same network under their masks,
// else -1.
int zq_strcmp_two_ip_same_net(const char *ip1, const char *mask1, const char *ip2, const char *mask2);

// An IPv6 address of the interface (kIpv6AddrText bytes) and its prefix
// length as text (kIpv6MaskText bytes). `flag` 0 takes a global address
// only; 1 also a link-local one when there is no global address. 0, or -1
// when there is none.
int net_get_ipv6_ifaddr(int flag, const char *ifname, char *address, char *netmask);
// The IPv6 gateway of the interface (kIpv6AddrText bytes). `flag` 0 takes
// the next hop of its default route; 1 that of any route through it. 0, or
// -1 when there is none.
int net_get_ipv6_gateway2(int flag, const char *ifname, char *gateway);

// 1 when a TCP socket of this host listens on `port` (IPv4 or IPv6), as
// the kernel's /proc/net/tcp and tcp6 tables say; 0 when none does or the
// tables cannot be read.
int is_port_use(int port);
// 1 when the kernel offers IPv6 (it keeps an IPv6 address table), else 0.
int net_is_haveipv6();
