// Wire records of the storage module: core message payloads and replies,
// and the disk slot record of the configuration database.
#pragma once

#include <cstddef>
#include <cstdint>

// Core messages and their replies.
constexpr int kMsgGetDisks = 3433;
constexpr int kReplyGetDisks = 8433;
constexpr int kMsgFormatDisk = 3434;
constexpr int kReplyFormatDisk = 8434;
constexpr int kReplyFormatDiskOld = 8402;
constexpr int kMsgSetDiskAttr = 3435;
constexpr int kMsgCreateRaid = 3420;
constexpr int kReplyCreateRaid = 8420;
constexpr int kMsgRemoveRaid = 3421;
constexpr int kReplyRemoveRaid = 8421;
constexpr int kMsgAddHotSpare = 3423;
constexpr int kReplyAddHotSpare = 8423;
constexpr int kMsgRemoveHotSpare = 3424;
constexpr int kReplyRemoveHotSpare = 8424;
constexpr int kMsgRebuildRaid = 3425;
constexpr int kReplyRebuildRaid = 8425;
constexpr int kReplyRemoveSpace = 8496;

// Disk slots: port ids 1..36; RAID arrays take ids 10..16.
constexpr int kDiskSlots = 36;
constexpr int kDiskPortFirst = 1;
constexpr int kDiskPortLast = 36;
constexpr int kRaidIdFirst = 10;
constexpr int kRaidIdLast = 16;
constexpr int kRaidMembersMax = 16;

// Disk types.
constexpr int kDiskTypeNfs = 3;
constexpr int kDiskTypeRaid = 4;
constexpr int kDiskTypeSmb = 10;

// State of a network disk that the database knows and the core did not report.
constexpr int kDiskStateNotReported = 2;

#pragma pack(push, 1)

// One disk of the core daemon's storage report (reply 8433).
struct disk_port_info {
    int32_t port_id;
    char vendor[64];
    char address[64];
    char directory[128];
    int32_t state;
    int32_t usable;
    char reserved0[4];
    uint64_t total_size;
    uint64_t used_size;
    uint64_t free_size;
    int32_t disk_type;
    int32_t group;
    int32_t property;
    char reserved1[4];
    int32_t raid_level;
    int32_t raid_state;
    int32_t raid_progress;
    int32_t raid_sata_cnt;
    int32_t raid_sata_port[kRaidMembersMax];
    char user_name[33];
    char password[33];
    char padding[6];
};

// One disk slot of the configuration database (kind kRecDisk, id = port id).
struct disk_record {
    int32_t port_id;
    int32_t enable;
    char vendor[64];
    char address[64];
    char directory[128];
    int32_t disk_type;
    int32_t group;
    int32_t property;
    char reserved0[4];
    char user_name[33];
    char password[33];
    char padding[2];
};

// Payload of 3435: a disk's attributes.
struct disk_attr_param {
    int32_t port_id;
    int32_t property;
    int32_t group;
    int32_t private_flag;
};

// Payload of 3420 (create) and 3421 (remove, only the id set).
struct raid_param {
    int32_t id;
    int32_t enable;
    int32_t level;
    char reserved0[8];
    int32_t sata_cnt;
    int32_t sata_port[kRaidMembersMax];
    char reserved1[16];
};

// Detail data of the format log entry (detail kind 102).
struct format_log_detail {
    char reserved[64];
    int32_t port_id;
    int32_t outcome;
};

#pragma pack(pop)

static_assert(sizeof(disk_port_info) == 464);
static_assert(offsetof(disk_port_info, vendor) == 4);
static_assert(offsetof(disk_port_info, address) == 68);
static_assert(offsetof(disk_port_info, directory) == 132);
static_assert(offsetof(disk_port_info, state) == 260);
static_assert(offsetof(disk_port_info, usable) == 264);
static_assert(offsetof(disk_port_info, total_size) == 272);
static_assert(offsetof(disk_port_info, used_size) == 280);
static_assert(offsetof(disk_port_info, free_size) == 288);
static_assert(offsetof(disk_port_info, disk_type) == 296);
static_assert(offsetof(disk_port_info, group) == 300);
static_assert(offsetof(disk_port_info, property) == 304);
static_assert(offsetof(disk_port_info, raid_level) == 312);
static_assert(offsetof(disk_port_info, raid_state) == 316);
static_assert(offsetof(disk_port_info, raid_progress) == 320);
static_assert(offsetof(disk_port_info, raid_sata_cnt) == 324);
static_assert(offsetof(disk_port_info, raid_sata_port) == 328);
static_assert(offsetof(disk_port_info, user_name) == 392);
static_assert(offsetof(disk_port_info, password) == 425);
static_assert(offsetof(disk_port_info, padding) == 458);

static_assert(sizeof(disk_record) == 348);
static_assert(offsetof(disk_record, enable) == 4);
static_assert(offsetof(disk_record, vendor) == 8);
static_assert(offsetof(disk_record, address) == 72);
static_assert(offsetof(disk_record, directory) == 136);
static_assert(offsetof(disk_record, disk_type) == 264);
static_assert(offsetof(disk_record, group) == 268);
static_assert(offsetof(disk_record, property) == 272);
static_assert(offsetof(disk_record, user_name) == 280);
static_assert(offsetof(disk_record, password) == 313);

static_assert(sizeof(disk_attr_param) == 16);
static_assert(offsetof(disk_attr_param, property) == 4);
static_assert(offsetof(disk_attr_param, group) == 8);
static_assert(offsetof(disk_attr_param, private_flag) == 12);

static_assert(sizeof(raid_param) == 104);
static_assert(offsetof(raid_param, enable) == 4);
static_assert(offsetof(raid_param, level) == 8);
static_assert(offsetof(raid_param, sata_cnt) == 20);
static_assert(offsetof(raid_param, sata_port) == 24);
static_assert(offsetof(raid_param, reserved1) == 88);

static_assert(sizeof(format_log_detail) == 72);
static_assert(offsetof(format_log_detail, port_id) == 64);
static_assert(offsetof(format_log_detail, outcome) == 68);
