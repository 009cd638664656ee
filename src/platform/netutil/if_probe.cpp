// The probes that ask the kernel about one interface through ioctl, the
// MAC read-out of the two ports, and switching an interface up or down.
#include <arpa/inet.h>
#include <linux/ethtool.h>
#include <linux/sockios.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>

#include "platform/netutil/netutil.h"
#include "platform/netutil/probe_support.h"
#include "platform/sysutil/zq_std.h"

namespace {

// Addresses the two ports report when the kernel cannot give theirs.
constexpr const char *kFallbackMac0 = "00:1E:4A:00:00:10";
constexpr const char *kFallbackMac1 = "00:1E:4A:00:00:11";

// A request naming the interface (cut to what the kernel takes).
ifreq named_request(const char *ifname)
{
    ifreq request{};
    snprintf(request.ifr_name, sizeof request.ifr_name, "%s", ifname);
    return request;
}

bool ask(int fd, unsigned long command, ifreq *request, const char *what)
{
    if (ioctl(fd, command, request) == 0)
        return true;
    perror(what);
    return false;
}

void put_ipv4(const sockaddr &address, char *out, size_t size)
{
    const auto &inet = reinterpret_cast<const sockaddr_in &>(address);
    inet_ntop(AF_INET, &inet.sin_addr, out, static_cast<socklen_t>(size));
}

void put_mac(const sockaddr &hardware, const char *format, char *out, size_t size)
{
    const auto *octet = reinterpret_cast<const unsigned char *>(hardware.sa_data);
    snprintf(out, size, format, octet[0], octet[1], octet[2], octet[3], octet[4], octet[5]);
}

void read_port_mac(int fd, const char *ifname, char *mac, const char *fallback)
{
    ifreq request = named_request(ifname);
    if (fd < 0 || ioctl(fd, SIOCGIFHWADDR, &request) < 0) {
        snprintf(mac, kMacText, "%s", fallback);
        return;
    }
    put_mac(request.ifr_hwaddr, "%02X:%02X:%02X:%02X:%02X:%02X", mac, kMacText);
}

// A name ifconfig takes as an interface and nothing else: letters, digits,
// '.', '_', '-' and the alias ':', not starting with '-' (an option).
bool tool_ifname_valid(const char *ifname)
{
    const size_t length = strlen(ifname);
    if (length == 0 || length > kIfNameMax || ifname[0] == '-' || strcmp(ifname, ".") == 0 ||
        strcmp(ifname, "..") == 0)
        return false;
    for (const char *at = ifname; *at != '\0'; ++at) {
        const auto ch = static_cast<unsigned char>(*at);
        if (!isalnum(ch) && ch != '.' && ch != '_' && ch != '-' && ch != ':')
            return false;
    }
    return true;
}

} // namespace

int if_get_netconf(const char *ifname, netconf_info *info)
{
    if (ifname == nullptr || info == nullptr)
        return -1;
    const ScopedSocket sock(AF_INET, SOCK_STREAM);
    if (sock.fd() < 0)
        return -1;
    memset(info, 0, sizeof *info);
    ifreq request = named_request(ifname);
    if (ask(sock.fd(), SIOCGIFMTU, &request, "[SIOCGIFMTU] ioctl"))
        info->mtu = request.ifr_mtu;
    if (ask(sock.fd(), SIOCGIFFLAGS, &request, "[SIOCGIFFLAGS] ioctl"))
        info->up = (request.ifr_flags & IFF_UP) != 0 ? 1 : 0;
    else
        request = named_request(ifname);
    if (ask(sock.fd(), SIOCGIFADDR, &request, "[SIOCGIFADDR] ioctl"))
        put_ipv4(request.ifr_addr, info->ip, sizeof info->ip);
    if (ask(sock.fd(), SIOCGIFHWADDR, &request, "[SIOCGIFHWADDR] ioctl"))
        put_mac(request.ifr_hwaddr, "%2.2x:%2.2x:%2.2x:%2.2x:%2.2x:%2.2x", info->mac, sizeof info->mac);
    if (ask(sock.fd(), SIOCGIFNETMASK, &request, "[SIOCGIFNETMASK] ioctl"))
        put_ipv4(request.ifr_netmask, info->netmask, sizeof info->netmask);
    if (ask(sock.fd(), SIOCGIFBRDADDR, &request, "[SIOCGIFBRDADDR] ioctl"))
        put_ipv4(request.ifr_broadaddr, info->broadcast, sizeof info->broadcast);
    route_default_gateway(request.ifr_name, info->gateway, sizeof info->gateway);
    return 0;
}

int if_get_netinfo(const char *ifname, netinfo_info *info)
{
    if (ifname == nullptr || info == nullptr)
        return -1;
    const ScopedSocket sock(AF_INET, SOCK_DGRAM);
    if (sock.fd() < 0) {
        perror("create socket error");
        return -1;
    }
    memset(info, 0, sizeof *info);
    ifreq request = named_request(ifname);
    if (ask(sock.fd(), SIOCGIFFLAGS, &request, "[SIOCGIFFLAGS] ioctl"))
        info->running = (request.ifr_flags & IFF_RUNNING) != 0 ? 1 : 0;
    ethtool_cmd settings{};
    settings.cmd = ETHTOOL_GSET;
    request = named_request(ifname);
    request.ifr_data = reinterpret_cast<char *>(&settings);
    if (!ask(sock.fd(), SIOCETHTOOL, &request, "[SIOCETHTOOL] ioctl"))
        return -1;
    info->speed = static_cast<int32_t>(static_cast<uint32_t>(settings.speed_hi) << 16 | settings.speed);
    info->duplex = settings.duplex;
    return 0;
}

int if_get_mac_addr(char *mac0, char *mac1)
{
    const ScopedSocket sock(AF_INET, SOCK_STREAM);
    if (sock.fd() < 0)
        perror("create socket fail\n");
    if (mac0 != nullptr)
        read_port_mac(sock.fd(), "eth0", mac0, kFallbackMac0);
    if (mac1 != nullptr)
        read_port_mac(sock.fd(), "eth1", mac1, kFallbackMac1);
    return 0;
}

int if_set_network(const char *ifname, int up)
{
    if (ifname == nullptr || !tool_ifname_valid(ifname))
        return -1;
    const char *state = up != 0 ? "up" : "down";
    const char *const argv[] = {"ifconfig", ifname, state, nullptr};
    if (zq_spawn_wait(argv[0], argv, true) != 0)
        return -1;
    return static_cast<int>(strlen("ifconfig  ") + strlen(ifname) + strlen(state));
}

int zq_strcmp_two_ip_same_net(const char *ip1, const char *mask1, const char *ip2, const char *mask2)
{
    if (ip1 == nullptr || mask1 == nullptr || ip2 == nullptr || mask2 == nullptr)
        return -1;
    return (inet_addr(ip1) & inet_addr(mask1)) == (inet_addr(ip2) & inet_addr(mask2)) ? 0 : -1;
}
