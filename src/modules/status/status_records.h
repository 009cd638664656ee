// Wire records of the status module's core messages.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kMsgGetUsage = 3306;
constexpr int kReplyUsage = 8306;
constexpr int kMsgGetCameraStatus = 3300;
constexpr int kReplyCameraStatus = 8300;
constexpr int kMsgGetNetif = 3301;
constexpr int kReplyNetif = 8301;
constexpr int kMsgGetNetifSpeed = 3302;
constexpr int kReplyNetifSpeed = 8302;
constexpr int kMsgGetAlarmStatus = 3305;
constexpr int kReplyAlarmStatus = 8305;
constexpr int kMsgGetChannelSupport = 3263;
constexpr int kReplyChannelSupport = 8263;
constexpr int kMsgGetOnlineUsers = 1719;
constexpr int kReplyOnlineUsers = 6719;

constexpr int kStatusChannels = 64;
constexpr int kStatusCameraAlarmInputs = 4;
constexpr int kStatusCameraAlarmOutputs = 2;

#pragma pack(push, 1)
struct usage_record {
    int32_t total;
    int32_t free;
    int32_t used;
};

struct stream_status {
    int32_t width;
    int32_t height;
    int32_t framerate;
    int32_t bitrate;
    int32_t connection;
    int32_t connectStatus;
};

// One channel of the camera status report (reply 8300), in channel order.
struct camera_status_record {
    stream_status main;
    stream_status sub;
    int32_t recordOn;
    int32_t alarmOn;
    int32_t channel;
    int32_t reserved;
};

// The live alarm and event state (reply 8305): 64-bit channel masks.
struct alarm_status_record {
    uint64_t videoloss;
    uint64_t motion;
    int32_t alarm_out_mask;
    int32_t alarm_in_mask;
    uint64_t entrance;
    uint64_t exiting;
    uint64_t advancedMotion;
    uint64_t tampering;
    uint64_t lineCrossing;
    uint64_t loitering;
    uint64_t humanDetection;
    uint64_t objectleftremove;
    int32_t reserved[2];
    int32_t in_out[kStatusChannels][2];
    uint64_t camera_in_state[kStatusCameraAlarmInputs];
    uint64_t camera_out_state[kStatusCameraAlarmOutputs];
    uint64_t camera_in_type[kStatusCameraAlarmInputs];
    uint64_t camera_out_type[kStatusCameraAlarmOutputs];
};

// One network interface (reply 8301).
struct netif_status_record {
    char ifname[12];
    int32_t id;
    int32_t state;
    int32_t speedMode;
    int32_t duplex;
    int32_t enable;
    int32_t dhcpEnable;
    char ipAddr[24];
    char MAC[24];
    char primaryDNS[24];
    char secondDNS[24];
    char gateway[24];
    char netmask[24];
    int32_t mtu;
    uint8_t ip6mode;
    char ip6address[67];
    int32_t ip6prefix;
    char ip6gateway[64];
};

// One interface's throughput (reply 8302).
struct netif_speed_record {
    char ifname[12];
    int32_t RxSpeed;
    int32_t TxSpeed;
    int32_t id;
};

// One channel's support flags (reply 8263, 64 records).
struct channel_support_record {
    int32_t reserved0;
    int32_t support;
    int32_t type;
    char reserved1[32];
};

// One logged-in user (reply 6719).
struct online_user_record {
    char userName[64];
    int32_t userLevel;
    char ipaddr[64];
    char loginTime[20];
};
#pragma pack(pop)

static_assert(sizeof(usage_record) == 12);
static_assert(offsetof(usage_record, free) == 4);
static_assert(offsetof(usage_record, used) == 8);
static_assert(sizeof(camera_status_record) == 64);
static_assert(offsetof(camera_status_record, sub) == 24);
static_assert(offsetof(camera_status_record, recordOn) == 48);
static_assert(offsetof(camera_status_record, channel) == 56);
static_assert(sizeof(alarm_status_record) == 704);
static_assert(offsetof(alarm_status_record, alarm_out_mask) == 16);
static_assert(offsetof(alarm_status_record, alarm_in_mask) == 20);
static_assert(offsetof(alarm_status_record, entrance) == 24);
static_assert(offsetof(alarm_status_record, objectleftremove) == 80);
static_assert(offsetof(alarm_status_record, in_out) == 96);
static_assert(offsetof(alarm_status_record, camera_in_state) == 608);
static_assert(offsetof(alarm_status_record, camera_out_state) == 640);
static_assert(offsetof(alarm_status_record, camera_in_type) == 656);
static_assert(offsetof(alarm_status_record, camera_out_type) == 688);
static_assert(sizeof(netif_status_record) == 320);
static_assert(offsetof(netif_status_record, ipAddr) == 36);
static_assert(offsetof(netif_status_record, MAC) == 60);
static_assert(offsetof(netif_status_record, netmask) == 156);
static_assert(offsetof(netif_status_record, mtu) == 180);
static_assert(offsetof(netif_status_record, ip6mode) == 184);
static_assert(offsetof(netif_status_record, ip6address) == 185);
static_assert(offsetof(netif_status_record, ip6prefix) == 252);
static_assert(offsetof(netif_status_record, ip6gateway) == 256);
static_assert(sizeof(netif_speed_record) == 24);
static_assert(offsetof(netif_speed_record, id) == 20);
static_assert(sizeof(channel_support_record) == 44);
static_assert(offsetof(channel_support_record, type) == 8);
static_assert(sizeof(online_user_record) == 152);
static_assert(offsetof(online_user_record, ipaddr) == 68);
static_assert(offsetof(online_user_record, loginTime) == 132);
