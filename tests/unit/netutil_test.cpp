// The interface probes on kernel tables that the test writes below its
// device root, and the interface switch with a recording ifconfig.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/netutil/netutil.h"
#include "test_support.h"

namespace {

class ProcNetTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(root_ / "proc/net"); }
    void write_table(const std::string &name, const std::string &text)
    {
        std::ofstream(root_ / ("proc/net/" + name)) << text;
    }

    TempRoot root_;
};

constexpr const char *kDevHeader =
    "Inter-|   Receive                                                |  Transmit\n"
    " face |bytes    packets errs drop fifo frame compressed multicast|bytes    packets errs drop fifo colls "
    "carrier compressed\n";

// A counter line: received bytes, 7 other receive columns, sent bytes and
// 7 more, as the kernel prints them.
std::string dev_line(const std::string &name, unsigned long long rx, unsigned long long tx)
{
    return name + ": " + std::to_string(rx) + " 10 0 0 0 0 0 0 " + std::to_string(tx) + " 5 0 0 0 0 0 0\n";
}

TEST_F(ProcNetTest, DefaultGatewayIsTheInterfacesDefaultRouteOnly)
{
    // A line longer than the reader's buffer hides a route in its tail; a
    // name longer than an interface name can be would match when cut.
    const std::string hidden = std::string(511, 'x') + "nvrtestport0 00000000 0A0A0A0A 0003\n";
    write_table("route", "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\n" + hidden +
                             "nvrtestport0x\t00000000\t0C0C0C0C\t0003\t0\t0\t0\t00000000\n"
                             "nvrtestport0\t0001A8C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\n"
                             "nvrtestport0\t00000000\t0102A8C0\t0003\t0\t0\t100\t00000000\n"
                             "nvrtestport0\t00000000\t0202A8C0\t0003\t0\t0\t200\t00000000\n");
    netconf_info info;
    ASSERT_EQ(if_get_netconf("nvrtestport0", &info), 0);
    EXPECT_STREQ(info.gateway, "192.168.2.1");
    // The interface does not exist: the kernel's values stay empty.
    EXPECT_STREQ(info.ip, "");
    EXPECT_STREQ(info.mac, "");
    EXPECT_EQ(info.up, 0);
    EXPECT_EQ(info.mtu, 0);

    ASSERT_EQ(if_get_netconf("nvrtestport1", &info), 0);
    EXPECT_STREQ(info.gateway, "0.0.0.0");
    EXPECT_EQ(if_get_netconf(nullptr, &info), -1);
    EXPECT_EQ(if_get_netconf("nvrtestport0", nullptr), -1);
}

TEST_F(ProcNetTest, NoRouteTableGivesNoGateway)
{
    netconf_info info;
    ASSERT_EQ(if_get_netconf("nvrtestport0", &info), 0);
    EXPECT_STREQ(info.gateway, "0.0.0.0");
}

// Counters that outgrow their column follow the colon directly; the
// loopback stays out of the count however much it has received.
TEST_F(ProcNetTest, InterfaceCountLeavesOutTheLoopback)
{
    EXPECT_EQ(if_get_netcount(), 0);
    write_table("dev", std::string(kDevHeader) + "    lo:123456789012 10 0 0 0 0 0 0 5 5 0 0 0 0 0 0\n" +
                           dev_line("  eth0", 1, 2) + dev_line(" veth12", 3, 4) + "\n");
    EXPECT_EQ(if_get_netcount(), 2);
}

TEST_F(ProcNetTest, SpeedFromTwoSamples)
{
    constexpr uint64_t kStart = 5000000000ull;
    constexpr uint64_t kSecond = 1000000;
    // "veth0" comes first and holds "eth0" in its name.
    auto write_counters = [&](unsigned long long rx, unsigned long long tx) {
        write_table("dev", std::string(kDevHeader) + dev_line("  veth0", 77777777, 88888888) +
                               dev_line("  eth0", rx, tx) +
                               "  eth9:123456789012 1 0 0 0 0 0 0 42 1 0 0 0 0 0 0\n");
    };
    long long rx = 7;
    long long tx = 7;
    write_counters(1000, 500);
    ASSERT_EQ(if_get_speed_at("eth0", kStart, &rx, &tx), 0);
    EXPECT_EQ(rx, 0);
    EXPECT_EQ(tx, 0);

    write_counters(2001000, 500);
    ASSERT_EQ(if_get_speed_at("eth0", kStart + 2 * kSecond, &rx, &tx), 0);
    EXPECT_EQ(rx, 1000000);
    EXPECT_EQ(tx, 0);

    // No time passed.
    ASSERT_EQ(if_get_speed_at("eth0", kStart + 2 * kSecond, &rx, &tx), 0);
    EXPECT_EQ(rx, -1);
    EXPECT_EQ(tx, -1);

    // A counter that went back (a reset) gives 0, the other one its rate.
    write_counters(100, 1500);
    ASSERT_EQ(if_get_speed_at("eth0", kStart + 3 * kSecond, &rx, &tx), 0);
    EXPECT_EQ(rx, 0);
    EXPECT_EQ(tx, 1000);

    // A sample 10 seconds old is too old for a rate.
    write_counters(100000, 100000);
    ASSERT_EQ(if_get_speed_at("eth0", kStart + 13 * kSecond, &rx, &tx), 0);
    EXPECT_EQ(rx, 0);
    EXPECT_EQ(tx, 0);

    // Counters glued to the name are read as counters.
    ASSERT_EQ(if_get_speed_at("eth9", kStart, &rx, &tx), 0);
    write_table("dev", std::string(kDevHeader) + "  eth9:123457789012 1 0 0 0 0 0 0 1042 1 0 0 0 0 0 0\n");
    ASSERT_EQ(if_get_speed_at("eth9", kStart + kSecond, &rx, &tx), 0);
    EXPECT_EQ(rx, 1000000);
    EXPECT_EQ(tx, 1000);

    EXPECT_EQ(if_get_speed_at("eth0", kStart, &rx, &tx), -1);
    EXPECT_EQ(if_get_speed_at("", kStart, &rx, &tx), -1);
    EXPECT_EQ(if_get_speed_at(std::string(101, 'e').c_str(), kStart, &rx, &tx), -1);
}

// Five interfaces are followed; a sixth is read but gets no rate.
TEST_F(ProcNetTest, SpeedTableHoldsFiveInterfaces)
{
    std::string table = kDevHeader;
    for (int port = 0; port < 6; ++port)
        table += dev_line("slot" + std::to_string(port), 1000, 1000);
    write_table("dev", table);
    long long rx = 0;
    long long tx = 0;
    // Earlier tests of this process may hold slots already.
    for (int port = 0; port < 6; ++port)
        ASSERT_EQ(if_get_speed_at(("slot" + std::to_string(port)).c_str(), 1000, &rx, &tx), 0);
    std::string later = kDevHeader;
    for (int port = 0; port < 6; ++port)
        later += dev_line("slot" + std::to_string(port), 3000, 1000);
    write_table("dev", later);
    ASSERT_EQ(if_get_speed_at("slot0", 1000 + 1000000, &rx, &tx), 0);
    EXPECT_EQ(rx, 2000);
    ASSERT_EQ(if_get_speed_at("slot5", 1000 + 1000000, &rx, &tx), 0);
    EXPECT_EQ(rx, 0);
}

TEST(SameNet, MaskedAddressesCompared)
{
    EXPECT_EQ(zq_strcmp_two_ip_same_net("192.168.1.10", "255.255.255.0", "192.168.1.200", "255.255.255.0"),
              0);
    EXPECT_EQ(zq_strcmp_two_ip_same_net("192.168.1.10", "255.255.255.0", "192.168.2.1", "255.255.255.0"), -1);
    EXPECT_EQ(zq_strcmp_two_ip_same_net("192.168.1.10", "255.255.0.0", "192.168.2.1", "255.255.0.0"), 0);
    EXPECT_EQ(zq_strcmp_two_ip_same_net(nullptr, "255.255.0.0", "192.168.2.1", "255.255.0.0"), -1);
}

// ifconfig is a stand-in that records its arguments; PATH finds it first.
class SetNetworkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string bin = root_ / "bin";
        std::filesystem::create_directories(bin);
        record_ = root_ / "ifconfig.record";
        write_tool("printf '%s|' \"$@\" >>'" + record_ + "'\necho >>'" + record_ + "'\n");
        saved_path_ = getenv("PATH") != nullptr ? getenv("PATH") : "";
        setenv("PATH", (bin + ":" + saved_path_).c_str(), 1);
    }
    void TearDown() override { setenv("PATH", saved_path_.c_str(), 1); }
    void write_tool(const std::string &body)
    {
        const std::string tool = root_ / "bin/ifconfig";
        std::ofstream(tool) << "#!/bin/sh\n" << body;
        chmod(tool.c_str(), 0755);
    }
    std::string recorded() const { return read_whole_file(record_); }

    TempRoot root_;
    std::string record_;
    std::string saved_path_;
};

TEST_F(SetNetworkTest, RunsIfconfigWithTheNameAsOneArgument)
{
    EXPECT_EQ(if_set_network("eth0", 1), 16);
    EXPECT_EQ(if_set_network("bond0", 0), 19);
    EXPECT_EQ(if_set_network("eth0.100", 1), 20);
    EXPECT_EQ(recorded(), "eth0|up|\nbond0|down|\neth0.100|up|\n");
}

TEST_F(SetNetworkTest, HostileNamesRunNothing)
{
    const std::string marker = root_ / "ran";
    for (const std::string &name :
         {std::string("eth0;touch ") + marker, "$(touch " + marker + ")", "`touch " + marker + "`",
          std::string("eth0 down"), std::string("eth0\nreboot"), std::string("../eth0"), std::string("-a"),
          std::string("'eth0'"), std::string("\"eth0\""), std::string(""), std::string(16, 'e')})
        EXPECT_EQ(if_set_network(name.c_str(), 1), -1) << name;
    EXPECT_EQ(if_set_network(nullptr, 1), -1);
    EXPECT_EQ(recorded(), "");
    EXPECT_FALSE(std::filesystem::exists(marker));
}

TEST_F(SetNetworkTest, FailedToolIsAFailure)
{
    write_tool("exit 1\n");
    EXPECT_EQ(if_set_network("eth0", 0), -1);
}

} // namespace

namespace {

constexpr const char *kTcpHeader =
    "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid\n";

// A socket line of /proc/net/tcp with its local port and state.
std::string tcp_line(unsigned port, unsigned state)
{
    char line[160];
    snprintf(line, sizeof line,
             "   0: 0100007F:%04X 00000000:0000 %02X 00000000:00000000 00:00000000 00000000 0\n", port,
             state);
    return line;
}

TEST_F(ProcNetTest, PortInUseOnlyWhileListening)
{
    write_table("tcp", std::string(kTcpHeader) + tcp_line(80, 0x0A) + tcp_line(8080, 0x01));
    write_table("tcp6", std::string(kTcpHeader) + tcp_line(443, 0x0A) + "garbage line\n");
    EXPECT_EQ(is_port_use(80), 1);
    EXPECT_EQ(is_port_use(443), 1);
    EXPECT_EQ(is_port_use(8080), 0); // an established connection, not a listener
    EXPECT_EQ(is_port_use(22), 0);
}

TEST_F(ProcNetTest, PortFreeWithoutTables) { EXPECT_EQ(is_port_use(80), 0); }

} // namespace
