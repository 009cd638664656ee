// Status module of the demo device: storage usage, the recorder's two
// network ports, the cameras' stream state, the live alarm and event state
// and the users logged in.
#include <cstdio>

#include "demo.h"
#include "modules/status/status_records.h"

namespace {

// Storage usage counters of the demo recorder (3306 -> 8306).
struct Usage {
    int32_t total = 1863;
    int32_t used = 612;
};
Usage g_usage;

constexpr int kDemoChannels = 8;

void on_usage(const CoreMessage &, Answer &answer)
{
    answer.push_back(
        AnswerStep::reply(8306, demo_int32s({g_usage.total, g_usage.total - g_usage.used, g_usage.used})));
}

netif_status_record make_netif(int32_t id, const char *name, const char *address, int32_t up)
{
    netif_status_record netif{};
    snprintf(netif.ifname, sizeof netif.ifname, "%s", name);
    netif.id = id;
    netif.state = up;
    netif.speedMode = up != 0 ? 1000 : 0;
    netif.duplex = up;
    netif.enable = 1;
    netif.dhcpEnable = id;
    snprintf(netif.ipAddr, sizeof netif.ipAddr, "%s", address);
    snprintf(netif.MAC, sizeof netif.MAC, "00:1A:2B:3C:4D:%02X", 0x5E + id);
    snprintf(netif.primaryDNS, sizeof netif.primaryDNS, "192.168.1.1");
    snprintf(netif.secondDNS, sizeof netif.secondDNS, "8.8.8.8");
    snprintf(netif.gateway, sizeof netif.gateway, "192.168.1.1");
    snprintf(netif.netmask, sizeof netif.netmask, "255.255.255.0");
    netif.mtu = 1500;
    netif.ip6mode = 1;
    snprintf(netif.ip6address, sizeof netif.ip6address, "fe80::21a:2bff:fe3c:4d%02x", 0x5e + id);
    netif.ip6prefix = 64;
    return netif;
}

void on_netif(const CoreMessage &, Answer &answer)
{
    const netif_status_record ports[] = {make_netif(0, "eth0", "192.168.1.100", 1),
                                         make_netif(1, "eth1", "10.10.0.1", 0)};
    answer.push_back(AnswerStep::reply(kReplyNetif, demo_bytes(ports, sizeof ports)));
}

void on_netif_speed(const CoreMessage &, Answer &answer)
{
    const netif_speed_record speeds[] = {{"eth0", 1843200, 96256, 0}, {"eth1", 0, 0, 1}};
    answer.push_back(AnswerStep::reply(kReplyNetifSpeed, demo_bytes(speeds, sizeof speeds)));
}

// A record for every camera that answers, in channel order.
void on_camera_status(const CoreMessage &, Answer &answer)
{
    std::string records;
    for (int32_t chnid = 0; chnid < kDemoChannels; ++chnid) {
        if (!demo_camera_info(chnid).online)
            continue;
        camera_status_record status{};
        status.main = {1920, 1080, 25, 4096, 1, 1};
        status.sub = {704, 576, 15, 512, 1, 1};
        status.recordOn = 1;
        status.alarmOn = chnid == 1 ? 1 : 0;
        status.channel = chnid;
        records += demo_bytes(&status, sizeof status);
    }
    answer.push_back(AnswerStep::reply(kReplyCameraStatus, records));
}

void on_alarm_status(const CoreMessage &, Answer &answer)
{
    static alarm_status_record status;
    status = {};
    status.motion = 1u << 1;
    status.videoloss = 1u << 5;
    status.alarm_in_mask = static_cast<int32_t>(demo_alarm_in_states());
    status.alarm_out_mask = static_cast<int32_t>(demo_alarm_out_states());
    status.lineCrossing = 1u << 0;
    status.humanDetection = 1u << 1;
    for (int k = 0; k < kStatusCameraAlarmInputs; ++k) {
        status.camera_in_state[k] = demo_camera_alarm_in_states(k);
        status.camera_in_type[k] = 0;
    }
    for (int k = 0; k < kStatusCameraAlarmOutputs; ++k)
        status.camera_out_state[k] = demo_camera_alarm_out_states(k);
    answer.push_back(AnswerStep::reply(kReplyAlarmStatus, demo_bytes(&status, sizeof status)));
}

// Cameras that answer support the channel features; odd channels are of
// the second type.
void on_channel_support(const CoreMessage &, Answer &answer)
{
    std::string records;
    for (int32_t chnid = 0; chnid < kStatusChannels; ++chnid) {
        channel_support_record record{};
        record.support = demo_camera_info(chnid).online ? 1 : 0;
        record.type = record.support != 0 ? 1 + chnid % 2 : 0;
        records += demo_bytes(&record, sizeof record);
    }
    answer.push_back(AnswerStep::reply(kReplyChannelSupport, records));
}

void on_online_users(const CoreMessage &, Answer &answer)
{
    const online_user_record users[] = {
        {"admin", 0, "192.168.1.20", "2026-12-08 08:02:11"},
        {"operator", 1, "192.168.1.57", "2026-12-08 09:45:30"},
    };
    answer.push_back(AnswerStep::reply(kReplyOnlineUsers, demo_bytes(users, sizeof users)));
}

const DemoRow kStatusRows[] = {
    {kMsgGetUsage, on_usage},
    {kMsgGetNetif, on_netif},
    {kMsgGetNetifSpeed, on_netif_speed},
    {kMsgGetCameraStatus, on_camera_status},
    {kMsgGetAlarmStatus, on_alarm_status},
    {kMsgGetChannelSupport, on_channel_support},
    {kMsgGetOnlineUsers, on_online_users},
};
NVR_DEMO_ROWS(kStatusRows)

} // namespace
