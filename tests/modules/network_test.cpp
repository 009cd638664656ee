// The network replies and requests: replies too short for their decoder,
// the P2P status fields at their offsets, the answer each result code
// names, request texts cut to their fields, the addressing and multicast
// settings stored and read back, and the ports a service may take.
#include <gtest/gtest.h>
#include <json-c/json.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core_exchange.h"
#include "modules/network/network.h"
#include "modules/network/network_services.h"
#include "platform/confdb/confdb.h"
#include "reply_support.h"

namespace {

Delivered deliver(int32_t code, const std::string &payload)
{
    return deliver_reply(on_network_ipc_callback, code, payload);
}

void write_file(const std::string &path, const std::string &text)
{
    FILE *file = fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr) << path;
    fputs(text.c_str(), file);
    fclose(file);
}

using NetworkTest = CoreExchangeTest;

TEST_F(NetworkTest, ShortRepliesAreNoReplyAndWholeOnesAnswer)
{
    const ReplySize needed[] = {
        {6724, 4}, {6729, 4}, {8005, 4}, {8006, 4}, {8309, 4},
        {8409, 4}, {8700, 4}, {8701, 4}, {8318, 4}, {8702, 748},
    };
    expect_short_replies_ignored(on_network_ipc_callback, needed);
    EXPECT_EQ(deliver(8007, std::string(4, '\0')).out, "") << "another code is not answered";
}

TEST_F(NetworkTest, P2pStatusFieldsAtTheirOffsetsAndUpToTheirWidth)
{
    Bytes status(748);
    status.i32(0, 1).i32(4, 3).text(8, std::string(32, 'm')).text(40, std::string(64, 'i'));
    status.text(104, std::string(64, 'c')).text(168, std::string(64, 's')).text(232, std::string(128, 'r'));
    status.text(360, std::string(128, 'o')).text(488, std::string(128, 'e')).text(616, std::string(128, 'd'));
    status.i32(744, -7);
    const Answer answer(deliver(8702, status.str()));
    ASSERT_NE(answer.get(), nullptr);
    EXPECT_EQ(answer.keys(),
              (std::vector<std::string>{"enable", "company", "email", "p2pstatus", "cloudAccount",
                                        "registerCode", "dealer", "model", "ipc", "cloudServer", "region"}));
    EXPECT_EQ(answer.num("enable"), 1);
    EXPECT_EQ(answer.num("p2pstatus"), 3);
    EXPECT_EQ(answer.text("model"), std::string(32, 'm'));
    EXPECT_EQ(answer.text("ipc"), std::string(64, 'i'));
    EXPECT_EQ(answer.text("cloudAccount"), std::string(64, 'c'));
    EXPECT_EQ(answer.text("cloudServer"), std::string(64, 's'));
    EXPECT_EQ(answer.text("registerCode"), std::string(128, 'r'));
    EXPECT_EQ(answer.text("company"), std::string(128, 'o'));
    EXPECT_EQ(answer.text("email"), std::string(128, 'e'));
    EXPECT_EQ(answer.text("dealer"), std::string(128, 'd'));
    EXPECT_EQ(answer.num("region"), -7);
}

TEST_F(NetworkTest, ResultCodesNameTheirAnswers)
{
    const struct {
        int32_t code;
        int32_t result;
        const char *text;
    } answers[] = {
        {8700, 0, "ERR_OK"},
        {8700, 2, "ERR_NOTFOUND"},
        {8700, 3, "ERR_NETWORK"},
        {8700, 5, "ERR_MAC_FORMAT"},
        {8700, 6, "ERR_AUTH_FAILED"},
        {8700, 7, "ERR_NO_UUID"},
        {8700, 1, "ERR_UNKNOWN"},
        {8700, 4, "ERR_UNKNOWN"},
        {8700, -1, "ERR_UNKNOWN"},
        {8701, 0, "OK"},
        {8701, 1, "ERR"},
        {8409, 0, "OK"},
        {8409, -1, "ERROR"},
        {8318, 1, "OK"},
        {8318, 0, "Error"},
        {8318, 2, "Error"},
        {8005, 0, "0"},
        {8005, 7, "-1"},
        {8006, -1, "-1"},
    };
    for (const auto &answer : answers) {
        const Delivered delivered = deliver(answer.code, Bytes(4).i32(0, answer.result).str());
        EXPECT_EQ(delivered.out, text_answer(answer.text)) << answer.code << " " << answer.result;
        EXPECT_EQ(delivered.done, 1) << answer.code;
    }
}

TEST_F(NetworkTest, ConflictChecksSendTheAddressCutToItsFieldAndRunNothing)
{
    const std::string hostile = "10.0.0.1;$(reboot)`id`\"'\n";
    const Exchange one = exchange(root_, on_ip_conflict, R"({"ip": "10.0.0.1;$(reboot)`id`\"'\n"})", 1);
    ASSERT_EQ(one.frames.size(), 1u);
    EXPECT_EQ(one.frames[0].fields.code, 3005);
    EXPECT_EQ(one.frames[0].payload, Bytes(20).text(0, hostile.substr(0, 19)).str());
    EXPECT_EQ(one.out, text_answer("0"));

    const Exchange by_dev = exchange(root_, on_ip_conflict_by_dev,
                                     R"({"dev": "eth0-with-a-long-name", "ip": "192.168.100.200/24"})", 1,
                                     Bytes(4).i32(0, 1).str());
    ASSERT_EQ(by_dev.frames.size(), 1u);
    EXPECT_EQ(by_dev.frames[0].fields.code, 3006);
    EXPECT_EQ(by_dev.frames[0].payload,
              Bytes(32).text(0, "eth0-with-a-lon").text(16, "192.168.100.200").str());
    EXPECT_EQ(by_dev.out, text_answer("-1"));
}

TEST_F(NetworkTest, MulticastAddressIsStoredCutToItsFieldAndReplacedWhole)
{
    const std::string long_ip(70, '9');
    const Exchange first =
        exchange(root_, on_cgi_set_multicast, R"({"enable": 1, "ip": ")" + long_ip + R"("})", 1);
    ASSERT_EQ(first.frames.size(), 1u);
    EXPECT_EQ(first.frames[0].fields.code, 1729);
    EXPECT_EQ(first.frames[0].payload, Bytes(72).i32(0, 1).text(4, long_ip.substr(0, 64)).str());
    EXPECT_EQ(first.out, std::string(kJsonHead) + R"({ "res": 0 })");

    // A shorter address leaves nothing of the longer one behind.
    const Exchange second = exchange(root_, on_cgi_set_multicast, R"({"ip": "239.1.1.1"})", 1);
    ASSERT_EQ(second.frames.size(), 1u);
    EXPECT_EQ(second.frames[0].payload, Bytes(72).i32(0, 1).text(4, "239.1.1.1").str());

    CapturedOutput output;
    on_cgi_get_multicast(nullptr);
    EXPECT_EQ(output.text(), std::string(kJsonHead) + R"({ "enable": 1, "ip": "239.1.1.1" })");
}

// The multi-address settings of both ports, every text longer than its field.
std::string multi_address_request()
{
    const std::string v6(70, '6');
    return R"({"mode": 0, "defaultRoute": 1,
        "enableNetwork1": 1, "networkType": 2, "ipAddr": "192.168.100.200xyz", "netmask": "255.255.255.0",
        "gateway": "192.168.100.1", "DNS1": "8.8.8.8", "DNS2": "1111111111111111111", "mtu": 1500,
        "ip6networkType": 0, "ip6Addr": ")" +
           v6 + R"(", "ip6netmask": "ffffffffffffffffffff", "ip6gateway": "fe80::1",
        "enableNetwork2": 0, "networkType2": 3, "ipAddr2": "10.0.0.2", "netmask2": "255.0.0.0",
        "gateway2": "10.0.0.1", "DNS12": "9.9.9.9", "DNS22": "", "mtu2": 9000,
        "ip6networkType2": 0, "ip6Addr2": "2001:db8::2", "ip6netmask2": "64", "ip6gateway2": ")" +
           v6 + R"("})";
}

std::string network_info(const char *mode)
{
    std::string text = mode;
    CapturedOutput output;
    on_get_network_info(text.data());
    return output.text();
}

TEST_F(NetworkTest, AddressingOfEachModeIsStoredCutToItsFieldsAndKeptByTheOtherMode)
{
    const Exchange multi = exchange(root_, on_set_network_info, multi_address_request(), 3);
    EXPECT_EQ(multi.out, text_answer("OK"));
    const std::string v6_cut(63, '6');

    // Storing the bonded addressing leaves the two ports' settings alone.
    const Exchange bond = exchange(root_, on_set_network_info,
                                   R"({"mode": 1, "ipAddr": "172.16.0.9", "ip6networkType": 0})", 3);
    EXPECT_EQ(bond.out, text_answer("OK"));

    const std::string shown = network_info("0");
    ASSERT_EQ(shown.compare(0, strlen(kJsonHead), kJsonHead), 0) << shown;
    const Answer answer(Delivered{shown, 0});
    EXPECT_EQ(answer.keys(), (std::vector<std::string>{"mode",           "hostName",       "enableNetwork1",
                                                       "networkType",    "ipAddr",         "netmask",
                                                       "gateway",        "ip6networkType", "ip6Addr",
                                                       "ip6netmask",     "ip6gateway",     "macAddr",
                                                       "DNS1",           "DNS2",           "mtu",
                                                       "enableNetwork2", "networkType2",   "ipAddr2",
                                                       "netmask2",       "gateway2",       "ip6networkType2",
                                                       "ip6Addr2",       "ip6netmask2",    "ip6gateway2",
                                                       "macAddr2",       "DNS12",          "DNS22",
                                                       "mtu2",           "defaultRoute"}));
    EXPECT_EQ(answer.num("enableNetwork1"), 1);
    EXPECT_EQ(answer.num("networkType"), 2);
    EXPECT_EQ(answer.text("ipAddr"), "192.168.100.200");
    EXPECT_EQ(answer.text("DNS2"), std::string(15, '1'));
    EXPECT_EQ(answer.num("mtu"), 1500);
    EXPECT_EQ(answer.text("ip6Addr"), v6_cut);
    EXPECT_EQ(answer.text("ip6netmask"), std::string(15, 'f'));
    EXPECT_EQ(answer.text("ip6gateway"), "fe80::1");
    EXPECT_EQ(answer.num("networkType2"), 3);
    EXPECT_EQ(answer.text("gateway2"), "10.0.0.1");
    EXPECT_EQ(answer.text("DNS12"), "9.9.9.9");
    EXPECT_EQ(answer.num("mtu2"), 9000);
    EXPECT_EQ(answer.text("ip6Addr2"), "2001:db8::2");
    EXPECT_EQ(answer.text("ip6gateway2"), v6_cut);
    EXPECT_EQ(answer.num("defaultRoute"), 1);

    const Answer bonded(Delivered{network_info("1"), 0});
    EXPECT_EQ(bonded.text("ipAddr"), "172.16.0.9");
    EXPECT_EQ(bonded.num("defaultRoute"), 1);
}

TEST_F(NetworkTest, ServicePortsStayClearOfPoePortsAndOfPortsInUse)
{
    ASSERT_EQ(add_param_value(ZQDB_PATH, "max_poe_num", "8"), 0);
    EXPECT_TRUE(network_port_allowed(23000, 80));
    EXPECT_FALSE(network_port_allowed(23001, 80));
    EXPECT_FALSE(network_port_allowed(23008, 80));
    EXPECT_TRUE(network_port_allowed(23009, 80));
    EXPECT_TRUE(network_port_allowed(23005, 23005)) << "a port kept as stored always passes";
    ASSERT_EQ(set_param_value(ZQDB_PATH, "max_poe_num", "16"), 0);
    EXPECT_FALSE(network_port_allowed(23016, 80));
    EXPECT_TRUE(network_port_allowed(23017, 80));
    ASSERT_EQ(set_param_value(ZQDB_PATH, "max_poe_num", "5"), 0);
    EXPECT_TRUE(network_port_allowed(23001, 80)) << "only 4, 8 or 16 PoE ports reserve any";

    // The host's listening sockets as the kernel lists them: 8080 listens
    // on IPv4, 443 on IPv6; 22 is only a connection.
    std::filesystem::create_directories(root_ / "proc/net");
    const char *head =
        "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  timeout inode\n";
    write_file(
        root_ / "proc/net/tcp",
        std::string(head) +
            "   0: 00000000:1F90 00000000:0000 0A 00000000:00000000 00:00000000 00000000     0        0 1 1\n"
            "   1: 0100007F:0016 0100007F:D431 01 00000000:00000000 00:00000000 00000000     0        0 2 "
            "1\n");
    write_file(root_ / "proc/net/tcp6",
               std::string(head) +
                   "   0: 00000000000000000000000000000000:01BB 00000000000000000000000000000000:0000 0A "
                   "00000000:00000000 00:00000000 00000000     0        0 3 1\n");
    EXPECT_FALSE(network_port_allowed(8080, 80));
    EXPECT_FALSE(network_port_allowed(443, 80));
    EXPECT_TRUE(network_port_allowed(22, 80)) << "a connection does not hold the port";
    EXPECT_TRUE(network_port_allowed(8080, 8080)) << "the recorder's own port stays its own";
}

} // namespace
