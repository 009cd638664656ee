// The account record of the OEM account file (records of kind kRecUser in
// the database file kOemUserDb): 136 bytes, little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr const char *kOemUserDb = "/mnt/nand2/oem.db";

#pragma pack(push, 1)
struct OemUserRecord {
    int32_t id;
    int32_t enable;
    char name[64];
    char password[36];
    int32_t type;
    int32_t permission;
    int32_t remote_permission;
    char reserved[16];
};
#pragma pack(pop)
static_assert(sizeof(OemUserRecord) == 136);
static_assert(offsetof(OemUserRecord, password) == 72);
static_assert(offsetof(OemUserRecord, type) == 108);
static_assert(offsetof(OemUserRecord, permission) == 112);
static_assert(offsetof(OemUserRecord, remote_permission) == 116);
