// The ARP probe: whether another host on the interface's link answers for
// an IPv4 address.
#include <arpa/inet.h>
#include <linux/if_packet.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/netutil/netutil.h"
#include "platform/netutil/probe_support.h"

namespace {

constexpr long kProbeWaitMs = 2000;
constexpr size_t kArpFrameSize = 42;
constexpr size_t kMacSize = 6;

// Offsets in an Ethernet frame carrying ARP.
constexpr size_t kEthDest = 0;
constexpr size_t kEthSource = 6;
constexpr size_t kEthType = 12;
constexpr size_t kArpHardwareType = 14;
constexpr size_t kArpProtocolType = 16;
constexpr size_t kArpHardwareSize = 18;
constexpr size_t kArpProtocolSize = 19;
constexpr size_t kArpOperation = 20;
constexpr size_t kArpSenderMac = 22;
constexpr size_t kArpSenderIp = 28;
constexpr size_t kArpTargetMac = 32;
constexpr size_t kArpTargetIp = 38;

struct Interface {
    in_addr address;
    int index;
    unsigned char mac[kMacSize];
};

// The interface's IPv4 address, index and MAC; false when any of them
// cannot be read.
bool read_interface(const char *ifname, Interface *out)
{
    const ScopedSocket sock(AF_INET, SOCK_DGRAM);
    if (sock.fd() < 0)
        return false;
    ifreq request{};
    snprintf(request.ifr_name, sizeof request.ifr_name, "%s", ifname);
    if (ioctl(sock.fd(), SIOCGIFADDR, &request) != 0)
        return false;
    out->address = reinterpret_cast<const sockaddr_in &>(request.ifr_addr).sin_addr;
    if (ioctl(sock.fd(), SIOCGIFINDEX, &request) != 0)
        return false;
    out->index = request.ifr_ifindex;
    if (ioctl(sock.fd(), SIOCGIFHWADDR, &request) != 0)
        return false;
    memcpy(out->mac, request.ifr_hwaddr.sa_data, kMacSize);
    return true;
}

void put16(unsigned char *at, uint16_t value)
{
    at[0] = static_cast<unsigned char>(value >> 8);
    at[1] = static_cast<unsigned char>(value);
}

uint16_t get16(const unsigned char *at) { return static_cast<uint16_t>(at[0] << 8 | at[1]); }

// A broadcast "who has `target`" from the interface.
void build_request(const Interface &own, in_addr target, unsigned char (&frame)[kArpFrameSize])
{
    memset(frame, 0, sizeof frame);
    memset(frame + kEthDest, 0xff, kMacSize);
    memcpy(frame + kEthSource, own.mac, kMacSize);
    put16(frame + kEthType, ETHERTYPE_ARP);
    put16(frame + kArpHardwareType, ARPHRD_ETHER);
    put16(frame + kArpProtocolType, ETHERTYPE_IP);
    frame[kArpHardwareSize] = kMacSize;
    frame[kArpProtocolSize] = sizeof(in_addr);
    put16(frame + kArpOperation, ARPOP_REQUEST);
    memcpy(frame + kArpSenderMac, own.mac, kMacSize);
    memcpy(frame + kArpSenderIp, &own.address, sizeof(in_addr));
    memcpy(frame + kArpTargetIp, &target, sizeof(in_addr));
}

// An ARP reply to us from the probed address.
bool is_answer(const unsigned char *frame, size_t size, const Interface &own, in_addr target)
{
    return size >= kArpFrameSize && get16(frame + kEthType) == ETHERTYPE_ARP &&
           get16(frame + kArpOperation) == ARPOP_REPLY &&
           memcmp(frame + kArpTargetMac, own.mac, kMacSize) == 0 &&
           memcmp(frame + kArpSenderIp, &target, sizeof(in_addr)) == 0;
}

long long now_ms()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Waits for the answer until the deadline: 1 when it came, 0 when the time
// ran out, and 1 when waiting or receiving failed (the address is then
// treated as taken rather than offered as free).
int wait_for_answer(int fd, const Interface &own, in_addr target)
{
    const long long deadline = now_ms() + kProbeWaitMs;
    bool failed = false;
    for (long long left = kProbeWaitMs; left > 0; left = deadline - now_ms()) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        timeval timeout{static_cast<time_t>(left / 1000), static_cast<suseconds_t>(left % 1000 * 1000)};
        const int ready = select(fd + 1, &readable, nullptr, nullptr, &timeout);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return 1;
        if (ready == 0)
            break;
        unsigned char frame[ETH_FRAME_LEN];
        const ssize_t got = recv(fd, frame, sizeof frame, 0);
        if (got < 0) {
            failed = errno != EINTR && errno != EAGAIN;
            continue;
        }
        if (is_answer(frame, static_cast<size_t>(got), own, target))
            return 1;
    }
    return failed ? 1 : 0;
}

} // namespace

int if_ip_check(const char *ifname, const char *address)
{
    in_addr target{};
    if (ifname == nullptr || address == nullptr || ifname[0] == '\0' || strlen(ifname) > kIfNameMax ||
        inet_pton(AF_INET, address, &target) != 1)
        return -1;
    Interface own{};
    if (!read_interface(ifname, &own))
        return -1;
    if (own.address.s_addr == target.s_addr)
        return 1;
    const ScopedSocket sock(AF_PACKET, SOCK_RAW, htons(ETH_P_ARP));
    if (sock.fd() < 0)
        return -1;
    const int on = 1;
    setsockopt(sock.fd(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    // Bound to the interface, so only its frames are seen.
    sockaddr_ll link{};
    link.sll_family = AF_PACKET;
    link.sll_protocol = htons(ETH_P_ARP);
    link.sll_ifindex = own.index;
    if (bind(sock.fd(), reinterpret_cast<const sockaddr *>(&link), sizeof link) != 0)
        return -1;
    unsigned char frame[kArpFrameSize];
    build_request(own, target, frame);
    link.sll_halen = kMacSize;
    memset(link.sll_addr, 0xff, kMacSize);
    if (sendto(sock.fd(), frame, sizeof frame, 0, reinterpret_cast<const sockaddr *>(&link), sizeof link) !=
        static_cast<ssize_t>(sizeof frame))
        return 1;
    return wait_for_answer(sock.fd(), own, target);
}
