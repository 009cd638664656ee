// Network module of the demo device: the default-route interface, the
// multicast check and the address conflict checks, which find the
// addresses of the cameras and gateways the database holds.
#include <arpa/inet.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "codecs/channel_db.h"
#include "codecs/network_db.h"
#include "demo.h"
#include "modules/network/network_records.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int32_t kCameraChannels = 64;

int32_t g_default_route = 0;

// Whether another host of the demo network has `address`: a stored camera
// or one of the recorder's gateways.
bool address_in_use(const char *address)
{
    bool in_use = false;
    for (int32_t chnid = 0; chnid < kCameraChannels && !in_use; ++chnid) {
        camera_record camera;
        if (read_camera(ZQDB_PATH, &camera, chnid) == kRecFound && camera.enable != 0)
            in_use = strncmp(camera.ipAddr, address, sizeof camera.ipAddr) == 0;
    }
    network_record network;
    if (!in_use && read_network(ZQDB_PATH, &network) == kRecFound) {
        for (const net_port_block *port : {&network.bond0, &network.eth0, &network.eth1})
            in_use = in_use || strncmp(port->gateway, address, sizeof port->gateway) == 0;
    }
    confdb_close();
    return in_use;
}

void answer_conflict(int32_t reply, const char *address, Answer &answer)
{
    const bool in_use = address[0] != '\0' && address_in_use(address);
    answer.push_back(AnswerStep::reply(reply, demo_int32s({in_use ? 1 : 0})));
}

// Both conflict checks carry the address to look for in their `ip` field.
template <typename Request, int32_t Reply> void on_conflict_check(const CoreMessage &request, Answer &answer)
{
    Request sent{};
    if (request.payload.size() < sizeof sent)
        return;
    memcpy(&sent, request.payload.data(), sizeof sent);
    sent.ip[sizeof sent.ip - 1] = '\0';
    answer_conflict(Reply, sent.ip, answer);
}

void on_default_route(const CoreMessage &request, Answer &answer)
{
    if (request.payload.size() < sizeof g_default_route)
        return;
    memcpy(&g_default_route, request.payload.data(), sizeof g_default_route);
    answer.push_back(AnswerStep::reply(kReplySetDefaultRoute, demo_int32s({0})));
}

// An enabled multicast setting needs a multicast group address (224.0.0.0
// to 239.255.255.255): any other is refused with -1.
void on_multicast(const CoreMessage &request, Answer &answer)
{
    multicast_record sent{};
    if (request.payload.size() < sizeof sent)
        return;
    memcpy(&sent, request.payload.data(), sizeof sent);
    sent.ip[sizeof sent.ip - 1] = '\0';
    in_addr group{};
    const bool is_group = inet_pton(AF_INET, sent.ip, &group) == 1 && (ntohl(group.s_addr) >> 28) == 0xe;
    answer.push_back(
        AnswerStep::reply(kReplySetMulticast, demo_int32s({sent.enable == 0 || is_group ? 0 : -1})));
}

void ignore(const CoreMessage &, Answer &) {}

// 1702 (kMsgServiceChanged) is the device-wide "settings changed" message,
// answered in demo_device.cpp.
const DemoRow kNetworkRows[] = {
    {kMsgSlaveClear, ignore},
    {kMsgRestartNetwork, ignore},
    {kMsgSetDefaultRoute, on_default_route},
    {kMsgSetMulticast, on_multicast},
    {kMsgIpConflict, on_conflict_check<ip_conflict_request, kReplyIpConflict>},
    {kMsgIpConflictByDev, on_conflict_check<ip_conflict_dev_request, kReplyIpConflictByDev>},
};

} // namespace

NVR_DEMO_ROWS(kNetworkRows)
