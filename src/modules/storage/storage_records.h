// Wire records of the storage module: core message payloads and replies,
// and the disk slot record of the configuration database.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/disk_db.h"

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
constexpr int kMsgRemoveDisk = 3496;
constexpr int kMsgAddNas = 3507;
constexpr int kReplyAddNas = 8507;
constexpr int kMsgDelNas = 3508;
constexpr int kReplyDelNas = 8508;
constexpr int kMsgSearchNas = 3440;
constexpr int kReplySearchNas = 8440;
constexpr int kMsgUpdateNas = 3439;
constexpr int kReplyUpdateNas = 8439;
constexpr int kMsgSetRecycle = 3475;
constexpr int kReplySetRecycle = 8475;
constexpr int kMsgGetRecycle = 3431;
constexpr int kReplyGetRecycle = 8431;
constexpr int kMsgGetSmart = 3403;
constexpr int kReplyGetSmart = 8403;
constexpr int kMsgGetQuota = 3529;
constexpr int kReplyGetQuota = 8529;
constexpr int kMsgSetQuota = 3530;
constexpr int kReplySetQuota = 8530;
constexpr int kMsgSetGroupMode = 3442;
constexpr int kMsgSetGroup = 3436;
constexpr int kMsgGroupsChanged = 1307;
constexpr int kMsgSetEsataBackup = 1316;
constexpr int kReplySetEsataBackup = 6316;
constexpr int kMsgGetEsataBackupStatus = 1317;
constexpr int kReplyGetEsataBackupStatus = 6317;
constexpr int kMsgGetExportDisk = 3457;
constexpr int kReplyGetExportDisk = 8457;
constexpr int kMsgFormatEsata = 3535;
constexpr int kReplyFormatEsata = 8535;
constexpr int kMsgGetAutoBackupStatus = 3536;
constexpr int kReplyGetAutoBackupStatus = 8536;
constexpr int kMsgStopAutoBackup = 3537;
constexpr int kReplyStopAutoBackup = 8537;
constexpr int kMsgGetFormatInfo = 3540;
constexpr int kReplyGetFormatInfo = 8540;

// RAID arrays take the disk slot ids 10..16.
constexpr int kRaidIdFirst = 10;
constexpr int kRaidIdLast = 16;
constexpr int kRaidMembersMax = 16;
// Network disks one request may name, and quota entries one record holds.
constexpr int kNasPortsMax = 33;
constexpr int kQuotaEntries = 16;

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

// Payload of 3507 and 3508: the network disks a request names.
struct nas_port_list {
    int32_t count;
    int32_t port[kNasPortsMax];
};

// Payload of 3440: the shares of a server.
struct nas_search_param {
    int32_t port_id;
    char server_addr[64];
};

// Detail data of the network disk log entries (detail kind 101).
struct nas_log_detail {
    char protocol[16];
    char address[64];
    char directory[128];
};

struct quota_entry {
    int32_t channel;
    int32_t video_quota;
    int32_t picture_quota;
    int32_t video_used;
    int32_t picture_used;
};

// Payload of 3530 and reply 8529: per-channel storage quotas.
struct quota_param {
    int32_t enable;
    int32_t count;
    quota_entry entries[kQuotaEntries];
};

// The eSATA disk's automatic backup (kind kRecEsataBackup, id 0).
struct esata_backup_record {
    int32_t enable;
    int32_t reserved0;
    char backupTime[32];
    int32_t streamType;
    int32_t fileType;
    int32_t recycle;
    char channel[65];
    char padding[3];
    int32_t device;
    int32_t port;
};

// Reply 6317: how far the eSATA backup has got.
struct esata_backup_status {
    int32_t status;
    char last_time[32];
    float percent;
    int32_t capacity;
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

static_assert(sizeof(nas_port_list) == 136);
static_assert(sizeof(nas_search_param) == 68);
static_assert(sizeof(nas_log_detail) == 208);
static_assert(offsetof(nas_log_detail, address) == 16);
static_assert(offsetof(nas_log_detail, directory) == 80);
static_assert(sizeof(quota_entry) == 20);
static_assert(sizeof(quota_param) == 328);
static_assert(offsetof(quota_param, entries) == 8);
static_assert(sizeof(esata_backup_record) == 128);
static_assert(offsetof(esata_backup_record, backupTime) == 8);
static_assert(offsetof(esata_backup_record, streamType) == 40);
static_assert(offsetof(esata_backup_record, recycle) == 48);
static_assert(offsetof(esata_backup_record, channel) == 52);
static_assert(offsetof(esata_backup_record, device) == 120);
static_assert(offsetof(esata_backup_record, port) == 124);
static_assert(sizeof(esata_backup_status) == 44);
static_assert(offsetof(esata_backup_status, percent) == 36);
static_assert(offsetof(esata_backup_status, capacity) == 40);
