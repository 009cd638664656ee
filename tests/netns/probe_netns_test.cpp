// The interface probes against a real kernel, inside a network namespace
// that the test process makes for itself (as root), so the host's network
// is neither read nor touched. eth0 and eth1 are veth ports; eth0's peer
// lives in a second namespace (a child process), a host on eth0's link
// that answers ARP. Without the rights to make namespaces the tests are
// skipped.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/if_packet.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/netutil/netutil.h"
#include "platform/sysutil/zq_std.h"

namespace {

bool g_ready = false;

bool ip(std::vector<const char *> args)
{
    args.insert(args.begin(), "ip");
    args.push_back(nullptr);
    return zq_spawn_wait("ip", args.data(), true) == 0;
}

double seconds_now()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Watches the ARP frames an interface sends. The interface's packet counter
// would not do: the kernel sends IPv6 neighbour discovery and multicast
// reports of its own after a port comes up, whenever it likes.
class ArpWatch {
public:
    explicit ArpWatch(const char *ifname)
    {
        // Only a socket of every protocol is shown the frames going out.
        fd_ = socket(AF_PACKET, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, htons(ETH_P_ALL));
        sockaddr_ll where{};
        where.sll_family = AF_PACKET;
        where.sll_protocol = htons(ETH_P_ALL);
        where.sll_ifindex = static_cast<int>(if_nametoindex(ifname));
        if (fd_ >= 0 && bind(fd_, reinterpret_cast<sockaddr *>(&where), sizeof where) != 0) {
            close(fd_);
            fd_ = -1;
        }
    }
    ~ArpWatch()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    ArpWatch(const ArpWatch &) = delete;
    ArpWatch &operator=(const ArpWatch &) = delete;

    bool ready() const { return fd_ >= 0; }

    // The ARP frames sent since the last call.
    int sent()
    {
        int frames = 0;
        unsigned char frame[256];
        sockaddr_ll from{};
        socklen_t size = sizeof from;
        while (recvfrom(fd_, frame, sizeof frame, 0, reinterpret_cast<sockaddr *>(&from), &size) >= 0) {
            if (from.sll_pkttype == PACKET_OUTGOING && from.sll_protocol == htons(ETH_P_ARP))
                frames++;
            size = sizeof from;
        }
        return frames;
    }

private:
    int fd_ = -1;
};

// eth0 10.9.0.1/24 (MTU 1400, default routes via 10.9.0.254 and
// 2001:db8:9::1) up, its peer 10.9.0.2 in the child's namespace; eth1
// (MTU 9000) down without addresses, its peer beside it.
class ProbeNamespace : public ::testing::Environment {
public:
    void SetUp() override
    {
        const char *path = getenv("PATH");
        setenv("PATH", (std::string(path != nullptr ? path : "") + ":/usr/sbin:/sbin").c_str(), 1);
        unsetenv("NVR_ROOT");
        if (unshare(CLONE_NEWNET) != 0) {
            fprintf(stderr, "no network namespace (%s): probe tests skipped\n", strerror(errno));
            return;
        }
        g_ready = make_ports() && start_peer() && configure();
        if (!g_ready)
            fprintf(stderr, "the test namespace could not be set up: probe tests skipped\n");
    }
    void TearDown() override
    {
        if (hold_fd_ >= 0)
            close(hold_fd_);
        if (peer_ > 0)
            waitpid(peer_, nullptr, 0);
    }

private:
    static bool make_ports()
    {
        return ip({"link", "set", "lo", "up"}) &&
               ip({"link", "add", "eth0", "type", "veth", "peer", "name", "peer0"}) &&
               ip({"link", "add", "eth1", "type", "veth", "peer", "name", "peer1"}) &&
               ip({"link", "set", "eth0", "address", "02:ab:cd:00:00:10", "mtu", "1400"}) &&
               ip({"link", "set", "eth1", "address", "02:ab:cd:00:00:11", "mtu", "9000"});
    }

    // A child in a namespace of its own holds eth0's peer; it ends when the
    // hold pipe closes.
    bool start_peer()
    {
        int ready[2];
        int hold[2];
        if (pipe(ready) != 0 || pipe(hold) != 0)
            return false;
        peer_ = fork();
        if (peer_ == 0) {
            close(ready[0]);
            close(hold[1]);
            const char done = unshare(CLONE_NEWNET) == 0 ? 'y' : 'n';
            if (write(ready[1], &done, 1) != 1)
                _exit(1);
            char ignored = 0;
            while (read(hold[0], &ignored, 1) > 0) {
            }
            _exit(0);
        }
        close(ready[1]);
        close(hold[0]);
        hold_fd_ = hold[1];
        char done = 'n';
        const bool started = peer_ > 0 && read(ready[0], &done, 1) == 1 && done == 'y';
        close(ready[0]);
        if (!started)
            return false;
        const std::string pid = std::to_string(peer_);
        return ip({"link", "set", "peer0", "netns", pid.c_str()}) && in_peer_namespace(pid);
    }

    static bool in_peer_namespace(const std::string &pid)
    {
        const int own = open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
        const int peer = open(("/proc/" + pid + "/ns/net").c_str(), O_RDONLY | O_CLOEXEC);
        bool done = own >= 0 && peer >= 0 && setns(peer, CLONE_NEWNET) == 0;
        if (done) {
            done = ip({"addr", "add", "10.9.0.2/24", "dev", "peer0"}) && ip({"link", "set", "peer0", "up"});
            done = setns(own, CLONE_NEWNET) == 0 && done;
        }
        if (own >= 0)
            close(own);
        if (peer >= 0)
            close(peer);
        return done;
    }

    static bool configure()
    {
        return ip({"addr", "add", "10.9.0.1/24", "broadcast", "10.9.0.255", "dev", "eth0"}) &&
               ip({"link", "set", "eth0", "up"}) &&
               ip({"-6", "addr", "add", "2001:db8:9::10/64", "dev", "eth0", "nodad"}) &&
               ip({"route", "add", "default", "via", "10.9.0.254", "dev", "eth0"}) &&
               ip({"-6", "route", "add", "default", "via", "2001:db8:9::1", "dev", "eth0"});
    }

    pid_t peer_ = -1;
    int hold_fd_ = -1;
};

const auto *const g_namespace = ::testing::AddGlobalTestEnvironment(new ProbeNamespace);

#define NEEDS_NAMESPACE()                                                                                    \
    if (!g_ready)                                                                                            \
    GTEST_SKIP() << "no test network namespace"

TEST(ProbeNamespace, NetconfOfAConfiguredPort)
{
    NEEDS_NAMESPACE();
    netconf_info info;
    ASSERT_EQ(if_get_netconf("eth0", &info), 0);
    EXPECT_STREQ(info.ip, "10.9.0.1");
    EXPECT_STREQ(info.mac, "02:ab:cd:00:00:10");
    EXPECT_STREQ(info.gateway, "10.9.0.254");
    EXPECT_STREQ(info.netmask, "255.255.255.0");
    EXPECT_STREQ(info.broadcast, "10.9.0.255");
    EXPECT_EQ(info.up, 1);
    EXPECT_EQ(info.mtu, 1400);
}

TEST(ProbeNamespace, NetconfOfADownPortAndOfAMissingOne)
{
    NEEDS_NAMESPACE();
    netconf_info info;
    ASSERT_EQ(if_get_netconf("eth1", &info), 0);
    EXPECT_STREQ(info.ip, "");
    EXPECT_STREQ(info.mac, "02:ab:cd:00:00:11");
    EXPECT_STREQ(info.gateway, "0.0.0.0");
    EXPECT_EQ(info.up, 0);
    EXPECT_EQ(info.mtu, 9000);

    ASSERT_EQ(if_get_netconf("eth7", &info), 0);
    EXPECT_STREQ(info.ip, "");
    EXPECT_STREQ(info.mac, "");
    EXPECT_EQ(info.mtu, 0);
}

TEST(ProbeNamespace, LinkStateSpeedAndDuplex)
{
    NEEDS_NAMESPACE();
    if (getenv("NVR_EMULATED") != nullptr)
        GTEST_SKIP() << "qemu-user does not pass the ethtool request on";
    netinfo_info info;
    ASSERT_EQ(if_get_netinfo("eth0", &info), 0);
    EXPECT_EQ(info.running, 1);
    EXPECT_EQ(info.speed, 10000);
    EXPECT_EQ(info.duplex, 1);
    ASSERT_EQ(if_get_netinfo("eth1", &info), 0);
    EXPECT_EQ(info.running, 0);
    EXPECT_EQ(if_get_netinfo("eth7", &info), -1);
}

TEST(ProbeNamespace, InterfaceCountAndMacs)
{
    NEEDS_NAMESPACE();
    EXPECT_EQ(if_get_netcount(), 3); // eth0, eth1, peer1
    char mac0[kMacText];
    char mac1[kMacText];
    EXPECT_EQ(if_get_mac_addr(mac0, mac1), 0);
    EXPECT_STREQ(mac0, "02:AB:CD:00:00:10");
    EXPECT_STREQ(mac1, "02:AB:CD:00:00:11");
    // Without an eth1, its port shows the fixed address.
    ASSERT_TRUE(ip({"link", "set", "eth1", "name", "eth5"}));
    if_get_mac_addr(mac0, mac1);
    ASSERT_TRUE(ip({"link", "set", "eth5", "name", "eth1"}));
    EXPECT_STREQ(mac0, "02:AB:CD:00:00:10");
    EXPECT_STREQ(mac1, "00:1E:4A:00:00:11");
}

TEST(ProbeNamespace, ArpProbeAcrossTheLink)
{
    NEEDS_NAMESPACE();
    // The own address is in use without a frame sent.
    ArpWatch arp("eth0");
    ASSERT_TRUE(arp.ready());
    EXPECT_EQ(if_ip_check("eth0", "10.9.0.1"), 1);
    EXPECT_EQ(arp.sent(), 0);

    double start = seconds_now();
    EXPECT_EQ(if_ip_check("eth0", "10.9.0.2"), 1);
    EXPECT_LT(seconds_now() - start, 1.5);
    EXPECT_GE(arp.sent(), 1); // the watch does see the probes

    start = seconds_now();
    EXPECT_EQ(if_ip_check("eth0", "10.9.0.3"), 0);
    const double waited = seconds_now() - start;
    EXPECT_GT(waited, 1.9);
    EXPECT_LT(waited, 3.0);

    EXPECT_EQ(if_ip_check("eth1", "10.9.0.2"), -1); // no IPv4 address
    EXPECT_EQ(if_ip_check("eth7", "10.9.0.2"), -1);
    EXPECT_EQ(if_ip_check("eth0", "10.9.0"), -1);
    EXPECT_EQ(if_ip_check("eth0", "10.9.0.2; reboot"), -1);
}

TEST(ProbeNamespace, Ipv6AddressAndGateway)
{
    NEEDS_NAMESPACE();
    char address[kIpv6AddrText];
    char netmask[kIpv6MaskText];
    ASSERT_EQ(net_get_ipv6_ifaddr(0, "eth0", address, netmask), 0);
    EXPECT_STREQ(address, "2001:db8:9::10");
    EXPECT_STREQ(netmask, "64");
    char gateway[kIpv6AddrText];
    ASSERT_EQ(net_get_ipv6_gateway2(0, "eth0", gateway), 0);
    EXPECT_STREQ(gateway, "2001:db8:9::1");
    EXPECT_EQ(net_get_ipv6_ifaddr(1, "eth1", address, netmask), -1);
    EXPECT_EQ(net_get_ipv6_gateway2(1, "eth1", gateway), -1);
}

TEST(ProbeNamespace, SendRateOfRealTraffic)
{
    NEEDS_NAMESPACE();
    long long rx = -2;
    long long tx = -2;
    ASSERT_EQ(if_get_speed("eth0", &rx, &tx), 0);
    EXPECT_EQ(rx, 0);
    EXPECT_EQ(tx, 0);
    const int sock = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(sock, 0);
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(9);
    inet_pton(AF_INET, "10.9.0.2", &peer.sin_addr);
    const std::string datagram(1000, 'd');
    for (int count = 0; count < 20; ++count)
        sendto(sock, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr *>(&peer),
               sizeof peer);
    close(sock);
    usleep(100000);
    ASSERT_EQ(if_get_speed("eth0", &rx, &tx), 0);
    EXPECT_GT(tx, 0);
    EXPECT_GE(rx, 0);
    EXPECT_EQ(if_get_speed("eth7", &rx, &tx), -1);
}

} // namespace
