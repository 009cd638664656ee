// The probes that read the kernel's /proc/net tables: default routes,
// the interface list and its byte counters, IPv6 addresses and routes.
#include "platform/netutil/probe_support.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <time.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "platform/netutil/netutil.h"

namespace {

constexpr const char *kRouteTable = "/proc/net/route";
constexpr const char *kDevTable = "/proc/net/dev";
constexpr const char *kIpv6AddrTable = "/proc/net/if_inet6";
constexpr const char *kIpv6RouteTable = "/proc/net/ipv6_route";

constexpr size_t kSpeedNameMax = 100;
constexpr int kSpeedSlots = 5;
constexpr uint64_t kSpeedMaxAgeUs = 10ull * 1000 * 1000;
constexpr uint64_t kUsPerSecond = 1000 * 1000;
// Counter columns after "name:" in /proc/net/dev.
constexpr int kRxBytesColumn = 0;
constexpr int kTxBytesColumn = 8;

constexpr unsigned kScopeGlobal = 0x00;
constexpr unsigned kScopeLink = 0x20;

// Reads the interface name at the start of a /proc/net/dev line (leading
// blanks skipped, ended by ':' or a blank) into `name`; the rest of the
// line after the ':' in `*counters`. False when there is no name, or it is
// longer than an interface name can be.
bool dev_line_name(const char *line, char (&name)[kIfNameMax + 1], const char **counters)
{
    line += strspn(line, " \t");
    const size_t length = strcspn(line, ": \t");
    if (length == 0 || length > kIfNameMax)
        return false;
    memcpy(name, line, length);
    name[length] = '\0';
    const char *colon = strchr(line + length, ':');
    *counters = colon != nullptr ? colon + 1 : line + length;
    return true;
}

// The received and sent byte counters of `ifname`; false when the table
// cannot be read or has no such interface. The counters follow the name's
// colon directly once they outgrow their column, so they are read from
// there rather than as blank-separated words of the whole line.
bool read_dev_counters(const char *ifname, uint64_t *rx_bytes, uint64_t *tx_bytes)
{
    ProcLines lines(kDevTable);
    lines.next();
    lines.next();
    while (const char *line = lines.next()) {
        char name[kIfNameMax + 1];
        const char *counters = nullptr;
        if (!dev_line_name(line, name, &counters) || strcmp(name, ifname) != 0)
            continue;
        uint64_t values[kTxBytesColumn + 1] = {};
        char *end = nullptr;
        for (uint64_t &value : values) {
            errno = 0;
            value = strtoull(counters, &end, 0);
            if (end == counters || errno != 0)
                return false;
            counters = end;
        }
        *rx_bytes = values[kRxBytesColumn];
        *tx_bytes = values[kTxBytesColumn];
        return true;
    }
    return false;
}

uint64_t steady_now_us()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * kUsPerSecond + static_cast<uint64_t>(now.tv_nsec) / 1000;
}

// The previous counter sample of one interface. A steady clock, so that a
// change of the device's time cannot make a rate out of nothing.
struct SpeedSample {
    uint64_t rx_bytes;
    uint64_t tx_bytes;
    uint64_t time_us;
    char name[kIfNameMax + 1];
};
SpeedSample g_speed_samples[kSpeedSlots];

SpeedSample *speed_sample(const char *ifname, bool *fresh)
{
    *fresh = false;
    for (SpeedSample &sample : g_speed_samples)
        if (strcmp(sample.name, ifname) == 0)
            return &sample;
    for (SpeedSample &sample : g_speed_samples) {
        if (sample.name[0] == '\0') {
            snprintf(sample.name, sizeof sample.name, "%s", ifname);
            *fresh = true;
            return &sample;
        }
    }
    return nullptr;
}

// Bytes per second from `then` to `now` over `elapsed_us` (not 0); 0 when
// the counter went backwards (reset or wrapped).
long long byte_rate(uint64_t then, uint64_t now, uint64_t elapsed_us)
{
    if (now < then)
        return 0;
    const uint64_t bytes = now - then;
    const uint64_t whole = bytes / elapsed_us;
    const uint64_t part = bytes % elapsed_us * kUsPerSecond / elapsed_us;
    if (whole > static_cast<uint64_t>(INT64_MAX) / kUsPerSecond)
        return INT64_MAX;
    const uint64_t rate = whole * kUsPerSecond + part;
    return static_cast<long long>(rate);
}

bool parse_ipv6_hex(const char *hex, in6_addr *address)
{
    if (strlen(hex) != 32)
        return false;
    for (int byte = 0; byte < 16; ++byte) {
        char pair[3] = {hex[2 * byte], hex[2 * byte + 1], '\0'};
        char *end = nullptr;
        address->s6_addr[byte] = static_cast<uint8_t>(strtoul(pair, &end, 16));
        if (end != pair + 2)
            return false;
    }
    return true;
}

bool ipv6_is_zero(const in6_addr &address)
{
    static const in6_addr kZero{};
    return memcmp(&address, &kZero, sizeof address) == 0;
}

// The name at the end of a /proc/net table line after `%n` consumed the
// columns before it; false when it is missing or too long.
bool trailing_name(const char *rest, char (&name)[kIfNameMax + 1])
{
    rest += strspn(rest, " \t");
    const size_t length = strcspn(rest, " \t");
    if (length == 0 || length > kIfNameMax)
        return false;
    memcpy(name, rest, length);
    name[length] = '\0';
    return true;
}

} // namespace

void route_default_gateway(const char *ifname, char *out, size_t size)
{
    snprintf(out, size, "0.0.0.0");
    ProcLines lines(kRouteTable);
    if (!lines.is_open()) {
        perror("fopen");
        return;
    }
    lines.next();
    while (const char *line = lines.next()) {
        char name[kIfNameMax + 1];
        int name_end = 0;
        unsigned long destination = 0;
        unsigned long gateway = 0;
        // A name longer than the width is not an interface of this kernel:
        // its rest must not be read as the destination.
        if (sscanf(line, "%15s%n", name, &name_end) != 1 || (line[name_end] != ' ' && line[name_end] != '\t'))
            continue;
        if (sscanf(line + name_end, "%lX %lX", &destination, &gateway) != 2)
            continue;
        if (destination != 0 || strcmp(name, ifname) != 0)
            continue;
        // The table prints the address word as the kernel holds it: its
        // bytes in memory order are the address in network order.
        const auto word = static_cast<uint32_t>(gateway);
        unsigned char octets[4];
        memcpy(octets, &word, sizeof octets);
        snprintf(out, size, "%d.%d.%d.%d", octets[0], octets[1], octets[2], octets[3]);
        return;
    }
}

int if_get_netcount()
{
    ProcLines lines(kDevTable);
    if (!lines.is_open()) {
        fprintf(stderr, "Open /proc/net/dev failed!errno:%d\n", errno);
        return 0;
    }
    lines.next();
    lines.next();
    int count = 0;
    while (const char *line = lines.next()) {
        char name[kIfNameMax + 1];
        const char *counters = nullptr;
        if (dev_line_name(line, name, &counters) && strcmp(name, "lo") != 0)
            ++count;
    }
    return count;
}

int if_get_speed(const char *ifname, long long *rx_rate, long long *tx_rate)
{
    return if_get_speed_at(ifname, steady_now_us(), rx_rate, tx_rate);
}

int if_get_speed_at(const char *ifname, uint64_t now_us, long long *rx_rate, long long *tx_rate)
{
    if (ifname == nullptr || rx_rate == nullptr || tx_rate == nullptr)
        return -1;
    const size_t length = strlen(ifname);
    uint64_t rx_bytes = 0;
    uint64_t tx_bytes = 0;
    if (length == 0 || length > kSpeedNameMax || !read_dev_counters(ifname, &rx_bytes, &tx_bytes))
        return -1;
    *rx_rate = 0;
    *tx_rate = 0;
    bool fresh = false;
    SpeedSample *sample = speed_sample(ifname, &fresh);
    if (sample == nullptr)
        return 0;
    if (!fresh && now_us == sample->time_us) {
        *rx_rate = -1;
        *tx_rate = -1;
    } else if (!fresh && now_us > sample->time_us && now_us - sample->time_us < kSpeedMaxAgeUs) {
        const uint64_t elapsed = now_us - sample->time_us;
        *rx_rate = byte_rate(sample->rx_bytes, rx_bytes, elapsed);
        *tx_rate = byte_rate(sample->tx_bytes, tx_bytes, elapsed);
    }
    sample->rx_bytes = rx_bytes;
    sample->tx_bytes = tx_bytes;
    sample->time_us = now_us;
    return 0;
}

int net_get_ipv6_ifaddr(int flag, const char *ifname, char *address, char *netmask)
{
    if (ifname == nullptr || address == nullptr || netmask == nullptr)
        return -1;
    ProcLines lines(kIpv6AddrTable);
    bool have_link = false;
    in6_addr link{};
    unsigned link_prefix = 0;
    while (const char *line = lines.next()) {
        char hex[33];
        unsigned index = 0;
        unsigned prefix = 0;
        unsigned scope = 0;
        unsigned flags = 0;
        int used = 0;
        char name[kIfNameMax + 1];
        in6_addr found{};
        if (sscanf(line, "%32s %x %x %x %x%n", hex, &index, &prefix, &scope, &flags, &used) != 5 ||
            !trailing_name(line + used, name) || strcmp(name, ifname) != 0 || prefix > 128 ||
            !parse_ipv6_hex(hex, &found))
            continue;
        if (scope == kScopeGlobal) {
            inet_ntop(AF_INET6, &found, address, kIpv6AddrText);
            snprintf(netmask, kIpv6MaskText, "%u", prefix);
            return 0;
        }
        if (scope == kScopeLink && !have_link) {
            have_link = true;
            link = found;
            link_prefix = prefix;
        }
    }
    if (flag != 1 || !have_link)
        return -1;
    inet_ntop(AF_INET6, &link, address, kIpv6AddrText);
    snprintf(netmask, kIpv6MaskText, "%u", link_prefix);
    return 0;
}

int net_get_ipv6_gateway2(int flag, const char *ifname, char *gateway)
{
    if (ifname == nullptr || gateway == nullptr)
        return -1;
    ProcLines lines(kIpv6RouteTable);
    while (const char *line = lines.next()) {
        char destination_hex[33];
        char source_hex[33];
        char next_hop_hex[33];
        unsigned destination_prefix = 0;
        unsigned source_prefix = 0;
        unsigned metric = 0;
        unsigned references = 0;
        unsigned use = 0;
        unsigned flags = 0;
        int used = 0;
        char name[kIfNameMax + 1];
        in6_addr destination{};
        in6_addr next_hop{};
        if (sscanf(line, "%32s %x %32s %x %32s %x %x %x %x%n", destination_hex, &destination_prefix,
                   source_hex, &source_prefix, next_hop_hex, &metric, &references, &use, &flags,
                   &used) != 9 ||
            !trailing_name(line + used, name) || strcmp(name, ifname) != 0 ||
            !parse_ipv6_hex(destination_hex, &destination) || !parse_ipv6_hex(next_hop_hex, &next_hop) ||
            ipv6_is_zero(next_hop))
            continue;
        const bool is_default = destination_prefix == 0 && ipv6_is_zero(destination);
        if (flag == 1 || is_default) {
            inet_ntop(AF_INET6, &next_hop, gateway, kIpv6AddrText);
            return 0;
        }
    }
    return -1;
}

int is_port_use(int port)
{
    constexpr unsigned kStateListen = 0x0A;
    for (const char *table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        ProcLines lines(table);
        lines.next();
        while (const char *line = lines.next()) {
            unsigned local_port = 0;
            unsigned state = 0;
            if (sscanf(line, " %*u: %*64[0-9A-Fa-f]:%4x %*64[0-9A-Fa-f]:%*4x %2x", &local_port, &state) ==
                    2 &&
                state == kStateListen && static_cast<int>(local_port) == port)
                return 1;
        }
    }
    return 0;
}

int net_is_haveipv6()
{
    const ProcLines lines(kIpv6AddrTable);
    return lines.is_open() ? 1 : 0;
}
