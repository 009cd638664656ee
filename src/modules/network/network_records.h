// Wire records of the network module: the core messages of the addressing
// pages and the multicast record of the configuration database.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kNetReplyOffset = 5000;

// Fire-and-forget (beside kMsgServiceChanged of codecs/device_db.h): the
// bond's slave list to clear, networking to restart.
constexpr int kMsgSlaveClear = 3023;
constexpr int kMsgRestartNetwork = 1712;
// Request-reply.
constexpr int kMsgSetDefaultRoute = 1724;
constexpr int kReplySetDefaultRoute = 6724;
constexpr int kMsgSetMulticast = 1729;
constexpr int kReplySetMulticast = 6729;
constexpr int kMsgIpConflict = 3005;
constexpr int kMsgIpConflictByDev = 3006;
constexpr int kReplyIpConflict = kMsgIpConflict + kNetReplyOffset;
constexpr int kReplyIpConflictByDev = kMsgIpConflictByDev + kNetReplyOffset;

constexpr size_t kRestartPayload = 32;

#pragma pack(push, 1)

// Record kRecMulticast (id 0), also the payload of 1729.
struct multicast_record {
    int32_t enable;
    char ip[65];
    char padding[3];
};

// Payload of 3005.
struct ip_conflict_request {
    char ip[20];
};

// Payload of 3006.
struct ip_conflict_dev_request {
    char dev[16];
    char ip[16];
};

#pragma pack(pop)
static_assert(sizeof(multicast_record) == 72);
static_assert(offsetof(multicast_record, ip) == 4);
static_assert(sizeof(ip_conflict_request) == 20);
static_assert(sizeof(ip_conflict_dev_request) == 32);
static_assert(offsetof(ip_conflict_dev_request, ip) == 16);
