// The user account record as stored in the configuration database (kind
// kRecUser, keyed by the account id): 528 bytes, little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kUserRights = 10;
constexpr int kUserMaxAccounts = 100; // ids 0 to 99
constexpr int kUserTypeNoLogin = 3;

#pragma pack(push, 1)
struct UserRecord {
    int32_t id;
    int32_t enable; // 1 = account in use, 0 = free slot
    char name[64];
    char password[36]; // MD5 of the password, 32 hexadecimal characters
    int32_t type;
    char local_liveview[65]; // channel lists: '1' at i = channel i + 1
    char local_playback[65];
    char remote_liveview[65];
    char remote_playback[65];
    char reserved0[33];
    char created[16]; // "0" once the account was created
    char reserved1[3];
    // live view, playback, retrieve, smart analysis, event, camera, storage,
    // settings, status, shutdown
    int32_t local_rights[kUserRights];
    int32_t remote_rights[kUserRights];
    int32_t permission;
    int32_t remote_permission;
    // Bit i mirrors character i of the channel list (first 32 only).
    uint32_t local_liveview_bits;
    uint32_t local_playback_bits;
    uint32_t remote_liveview_bits;
    uint32_t remote_playback_bits;
};
#pragma pack(pop)

static_assert(sizeof(UserRecord) == 528);
static_assert(offsetof(UserRecord, enable) == 4);
static_assert(offsetof(UserRecord, name) == 8);
static_assert(offsetof(UserRecord, password) == 72);
static_assert(offsetof(UserRecord, type) == 108);
static_assert(offsetof(UserRecord, local_liveview) == 112);
static_assert(offsetof(UserRecord, local_playback) == 177);
static_assert(offsetof(UserRecord, remote_liveview) == 242);
static_assert(offsetof(UserRecord, remote_playback) == 307);
static_assert(offsetof(UserRecord, created) == 405);
static_assert(offsetof(UserRecord, local_rights) == 424);
static_assert(offsetof(UserRecord, remote_rights) == 464);
static_assert(offsetof(UserRecord, permission) == 504);
static_assert(offsetof(UserRecord, remote_permission) == 508);
static_assert(offsetof(UserRecord, local_liveview_bits) == 512);
static_assert(offsetof(UserRecord, remote_playback_bits) == 524);
