// Storage module of the demo device: a recorder with two plain disks (one
// of them being formatted), a mirrored array of two more, and an NFS share.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>

#include "demo.h"
#include "modules/storage/storage_records.h"

namespace {

// Disk states of the demo daemon.
constexpr int32_t kStateNormal = 0;
constexpr int32_t kStateFormatting = 3;
constexpr int32_t kRaidStateNormal = 0;
constexpr int32_t kRaidStateRebuilding = 1;
constexpr int32_t kTypeSata = 0;
constexpr int kProgressStep = 20;

constexpr uint64_t kGiB = 1ull << 30;

struct Storage {
    std::map<int32_t, disk_port_info> disks; // by port id
    std::set<int32_t> hot_spares;
};

disk_port_info make_disk(int32_t port, const char *vendor, int32_t type, uint64_t total, uint64_t used)
{
    disk_port_info disk{};
    disk.port_id = port;
    snprintf(disk.vendor, sizeof disk.vendor, "%s", vendor);
    disk.disk_type = type;
    disk.state = kStateNormal;
    disk.usable = 1;
    disk.total_size = total;
    disk.used_size = used;
    disk.free_size = total - used;
    disk.group = 1;
    disk.property = 1;
    return disk;
}

Storage make_storage()
{
    Storage s;
    s.disks[1] = make_disk(1, "ST2000VX008-2E3164", kTypeSata, 1863 * kGiB, 612 * kGiB);
    disk_port_info formatting = make_disk(2, "WDC WD10PURZ-85U8XY0", kTypeSata, 931 * kGiB, 0);
    formatting.state = kStateFormatting;
    formatting.raid_progress = 40;
    s.disks[2] = formatting;
    for (int32_t port : {3, 4}) {
        s.disks[port] = make_disk(port, "WDC WD40PURZ-85AKKY0", kTypeSata, 3726 * kGiB, 0);
        s.disks[port].usable = 0;
    }
    disk_port_info array = make_disk(10, "RAID1", kDiskTypeRaid, 3726 * kGiB, 1210 * kGiB);
    array.raid_level = 1;
    array.raid_state = kRaidStateNormal;
    array.raid_progress = 100;
    array.raid_sata_cnt = 2;
    array.raid_sata_port[0] = 3;
    array.raid_sata_port[1] = 4;
    s.disks[10] = array;
    disk_port_info share = make_disk(20, "NFS", kDiskTypeNfs, 500 * kGiB, 37 * kGiB);
    snprintf(share.address, sizeof share.address, "192.168.1.50");
    snprintf(share.directory, sizeof share.directory, "/export/nvr");
    s.disks[20] = share;
    return s;
}

Storage g_storage = make_storage();

int32_t int32_at(const std::string &payload, size_t offset)
{
    int32_t value = 0;
    if (payload.size() >= offset + sizeof value)
        memcpy(&value, payload.data() + offset, sizeof value);
    return value;
}

disk_port_info *find_disk(int32_t port)
{
    const auto found = g_storage.disks.find(port);
    return found == g_storage.disks.end() ? nullptr : &found->second;
}

bool is_array_member(int32_t port)
{
    for (const auto &[id, disk] : g_storage.disks) {
        const int members = std::clamp(disk.raid_sata_cnt, 0, kRaidMembersMax);
        if (disk.disk_type == kDiskTypeRaid &&
            std::count(disk.raid_sata_port, disk.raid_sata_port + members, port))
            return true;
    }
    return false;
}

bool is_free_local_disk(int32_t port)
{
    const disk_port_info *disk = find_disk(port);
    return disk != nullptr && disk->disk_type == kTypeSata && !is_array_member(port);
}

// Formats and rebuilds move on a step each time the disks are looked at.
void advance_tasks()
{
    for (auto &[id, disk] : g_storage.disks) {
        if (disk.state == kStateFormatting) {
            disk.raid_progress = std::min(100, disk.raid_progress + kProgressStep);
            if (disk.raid_progress == 100) {
                disk.state = kStateNormal;
                disk.raid_progress = 0;
            }
        }
        if (disk.disk_type == kDiskTypeRaid && disk.raid_state == kRaidStateRebuilding) {
            disk.raid_progress = std::min(100, disk.raid_progress + kProgressStep);
            if (disk.raid_progress == 100)
                disk.raid_state = kRaidStateNormal;
        }
    }
}

void reply_result(Answer &answer, int32_t code, int32_t result)
{
    answer.push_back(AnswerStep::reply(code, demo_int32s({result})));
}

void on_get_disks(const CoreMessage &, Answer &answer)
{
    advance_tasks();
    std::string report;
    for (const auto &[id, disk] : g_storage.disks)
        report.append(reinterpret_cast<const char *>(&disk), sizeof disk);
    answer.push_back(AnswerStep::reply(kReplyGetDisks, report));
}

void on_format(const CoreMessage &request, Answer &answer)
{
    disk_port_info *disk = find_disk(int32_at(request.payload, 0));
    if (disk == nullptr || disk->disk_type == kDiskTypeRaid)
        return reply_result(answer, kReplyFormatDisk, -1);
    if (disk->state == kStateFormatting || is_array_member(disk->port_id))
        return reply_result(answer, kReplyFormatDisk, 1);
    disk->state = kStateFormatting;
    disk->raid_progress = 0;
    disk->used_size = 0;
    disk->free_size = disk->total_size;
    reply_result(answer, kReplyFormatDisk, 0);
}

void on_disk_attr(const CoreMessage &request, Answer &)
{
    if (disk_port_info *disk = find_disk(int32_at(request.payload, 0))) {
        disk->property = int32_at(request.payload, 4);
        disk->group = int32_at(request.payload, 8);
    }
}

void on_create_raid(const CoreMessage &request, Answer &answer)
{
    raid_param raid{};
    memcpy(&raid, request.payload.data(), std::min(request.payload.size(), sizeof raid));
    const int members = std::clamp(raid.sata_cnt, 0, kRaidMembersMax);
    bool ok = find_disk(raid.id) == nullptr && members > 0;
    uint64_t smallest = UINT64_MAX;
    for (int i = 0; ok && i < members; ++i) {
        ok = is_free_local_disk(raid.sata_port[i]);
        if (ok)
            smallest = std::min(smallest, find_disk(raid.sata_port[i])->total_size);
    }
    if (!ok)
        return reply_result(answer, kReplyCreateRaid, -1);
    const uint64_t total = raid.level == 1 ? smallest : smallest * static_cast<uint64_t>(members);
    disk_port_info array = make_disk(raid.id, "RAID", kDiskTypeRaid, total, 0);
    array.raid_level = raid.level;
    array.raid_progress = 100;
    array.raid_sata_cnt = members;
    std::copy(raid.sata_port, raid.sata_port + members, array.raid_sata_port);
    for (int i = 0; i < members; ++i)
        find_disk(raid.sata_port[i])->usable = 0;
    g_storage.disks[raid.id] = array;
    reply_result(answer, kReplyCreateRaid, 0);
}

void on_remove_raid(const CoreMessage &request, Answer &answer)
{
    const disk_port_info *array = find_disk(int32_at(request.payload, 0));
    if (array == nullptr || array->disk_type != kDiskTypeRaid)
        return reply_result(answer, kReplyRemoveRaid, -1);
    const disk_port_info removed = *array;
    g_storage.disks.erase(removed.port_id);
    for (int i = 0; i < std::clamp(removed.raid_sata_cnt, 0, kRaidMembersMax); ++i) {
        if (disk_port_info *member = find_disk(removed.raid_sata_port[i]))
            member->usable = 1;
    }
    reply_result(answer, kReplyRemoveRaid, 0);
}

void on_hot_spare(const CoreMessage &request, Answer &answer)
{
    const bool add = request.code == kMsgAddHotSpare;
    const int32_t reply = add ? kReplyAddHotSpare : kReplyRemoveHotSpare;
    const int32_t port = int32_at(request.payload, 0);
    if (!is_free_local_disk(port))
        return reply_result(answer, reply, -1);
    if (add)
        g_storage.hot_spares.insert(port);
    else
        g_storage.hot_spares.erase(port);
    reply_result(answer, reply, 0);
}

void on_rebuild(const CoreMessage &request, Answer &answer)
{
    const int32_t port = int32_at(request.payload, 0);
    disk_port_info *array = find_disk(int32_at(request.payload, 4));
    const bool member = array != nullptr && is_array_member(port);
    if (array == nullptr || array->disk_type != kDiskTypeRaid || (!member && !is_free_local_disk(port)) ||
        (!member && array->raid_sata_cnt >= kRaidMembersMax))
        return reply_result(answer, kReplyRebuildRaid, -1);
    if (!member) {
        array->raid_sata_port[array->raid_sata_cnt++] = port;
        find_disk(port)->usable = 0;
        g_storage.hot_spares.erase(port);
    }
    array->raid_state = kRaidStateRebuilding;
    array->raid_progress = 0;
    reply_result(answer, kReplyRebuildRaid, 0);
}

// 3540: the disk being formatted, if any (status 1, percent, port, type).
void on_format_info(const CoreMessage &, Answer &answer)
{
    advance_tasks();
    std::string record(12, '\0');
    for (const auto &[id, disk] : g_storage.disks) {
        if (disk.state != kStateFormatting)
            continue;
        record = demo_int32s({1, 0, disk.disk_type});
        record[4] = static_cast<char>(disk.raid_progress);
        record[5] = static_cast<char>(disk.port_id);
        break;
    }
    answer.push_back(AnswerStep::reply(8540, record));
}

// Network disks, quotas, recycle mode and the eSATA backup of the demo.
struct StorageSettings {
    int32_t recycle_mode = 1;
    int32_t recycle_esata = 0;
    quota_param quota{};
    int32_t backing_up = 0;
};

StorageSettings make_settings()
{
    StorageSettings settings;
    settings.quota.enable = 1;
    settings.quota.count = 2;
    settings.quota.entries[0] = {0, 500, 50, 212, 9};
    settings.quota.entries[1] = {1, 300, 20, 97, 4};
    return settings;
}

StorageSettings g_settings = make_settings();

void on_add_nas(const CoreMessage &request, Answer &answer)
{
    nas_port_list list;
    demo_payload_as(request, &list);
    for (int i = 0; i < std::clamp(list.count, 0, kNasPortsMax); ++i) {
        if (find_disk(list.port[i]) == nullptr && disk_port_valid(list.port[i]))
            g_storage.disks[list.port[i]] = make_disk(list.port[i], "NAS", kDiskTypeNfs, 500 * kGiB, 0);
    }
    reply_result(answer, kReplyAddNas, 0);
}

void on_delete_nas(const CoreMessage &request, Answer &answer)
{
    nas_port_list list;
    demo_payload_as(request, &list);
    for (int i = 0; i < std::clamp(list.count, 0, kNasPortsMax); ++i) {
        const disk_port_info *disk = find_disk(list.port[i]);
        if (disk != nullptr && (disk->disk_type == kDiskTypeNfs || disk->disk_type == kDiskTypeSmb))
            g_storage.disks.erase(list.port[i]);
    }
    reply_result(answer, kReplyDelNas, 0);
}

void on_search_nas(const CoreMessage &, Answer &answer)
{
    std::string shares = demo_int32s({3});
    for (const char *path : {"/export/nvr", "/export/backup", "/srv/video"}) {
        char field[256] = {};
        snprintf(field, sizeof field, "%s", path);
        shares.append(field, sizeof field);
    }
    answer.push_back(AnswerStep::reply(kReplySearchNas, shares));
}

void on_update_nas(const CoreMessage &request, Answer &answer)
{
    reply_result(answer, kReplyUpdateNas, find_disk(int32_at(request.payload, 0)) != nullptr ? 0 : -1);
}

void on_set_recycle(const CoreMessage &request, Answer &answer)
{
    g_settings.recycle_mode = int32_at(request.payload, 0);
    g_settings.recycle_esata = int32_at(request.payload, 4);
    reply_result(answer, kReplySetRecycle, 0);
}

void on_get_recycle(const CoreMessage &, Answer &answer)
{
    answer.push_back(AnswerStep::reply(kReplyGetRecycle,
                                       demo_int32s({g_settings.recycle_mode, g_settings.recycle_esata})));
}

// Every local disk of the demo passes its self test but disk 2.
void on_smart(const CoreMessage &request, Answer &answer)
{
    const int32_t port = int32_at(request.payload, 0);
    char record[40] = {};
    memcpy(record, &port, sizeof port);
    snprintf(record + 12, sizeof record - 12, "%s", port == 2 ? "FAILED" : "PASSED");
    answer.push_back(AnswerStep::reply(kReplyGetSmart, demo_bytes(record, sizeof record)));
}

void on_remove_disk(const CoreMessage &request, Answer &answer)
{
    const int32_t port = int32_at(request.payload, 0);
    const bool removable = is_free_local_disk(port);
    if (removable)
        g_storage.disks.erase(port);
    reply_result(answer, kReplyRemoveSpace, removable ? 0 : -1);
}

void on_get_quota(const CoreMessage &, Answer &answer)
{
    answer.push_back(
        AnswerStep::reply(kReplyGetQuota, demo_bytes(&g_settings.quota, sizeof g_settings.quota)));
}

// The used values stay the demo's own.
void on_set_quota(const CoreMessage &request, Answer &answer)
{
    quota_param quota;
    demo_payload_as(request, &quota);
    quota.count = std::clamp(quota.count, 0, kQuotaEntries);
    for (int i = 0; i < quota.count; ++i) {
        for (const quota_entry &old : g_settings.quota.entries) {
            if (old.channel == quota.entries[i].channel && (old.video_quota != 0 || old.picture_quota != 0)) {
                quota.entries[i].video_used = old.video_used;
                quota.entries[i].picture_used = old.picture_used;
            }
        }
    }
    g_settings.quota = quota;
    reply_result(answer, kReplySetQuota, 0);
}

void on_notice(const CoreMessage &, Answer &) {}

void on_set_esata_backup(const CoreMessage &request, Answer &answer)
{
    g_settings.backing_up = int32_at(request.payload, 0) == 0 ? 1 : 0;
    reply_result(answer, kReplySetEsataBackup, 0);
}

void on_esata_backup_status(const CoreMessage &, Answer &answer)
{
    esata_backup_status status{};
    status.status = g_settings.backing_up;
    snprintf(status.last_time, sizeof status.last_time, "2026-12-07 02:30:00");
    status.percent = g_settings.backing_up != 0 ? 42.5f : 100.0f;
    status.capacity = 931;
    answer.push_back(AnswerStep::reply(kReplyGetEsataBackupStatus, demo_bytes(&status, sizeof status)));
}

// The eSATA disk of the demo sits on port 30, ready for export.
void on_export_disk(const CoreMessage &, Answer &answer)
{
    char record[184] = {};
    record[0] = 30;
    const int32_t ready = 5;
    memcpy(record + 152, &ready, sizeof ready);
    answer.push_back(AnswerStep::reply(kReplyGetExportDisk, demo_bytes(record, sizeof record)));
}

void on_format_esata(const CoreMessage &request, Answer &answer)
{
    reply_result(answer, kReplyFormatEsata, int32_at(request.payload, 0) == 30 ? 0 : -1);
}

void on_auto_backup_status(const CoreMessage &, Answer &answer)
{
    reply_result(answer, kReplyGetAutoBackupStatus, g_settings.backing_up);
}

void on_stop_auto_backup(const CoreMessage &, Answer &answer)
{
    g_settings.backing_up = 0;
    reply_result(answer, kReplyStopAutoBackup, 0);
}

const DemoRow kStorageRows[] = {
    {kMsgGetDisks, on_get_disks},
    {kMsgFormatDisk, on_format},
    {kMsgSetDiskAttr, on_disk_attr},
    {kMsgCreateRaid, on_create_raid},
    {kMsgRemoveRaid, on_remove_raid},
    {kMsgAddHotSpare, on_hot_spare},
    {kMsgRemoveHotSpare, on_hot_spare},
    {kMsgRebuildRaid, on_rebuild},
    {3540, on_format_info},
    {kMsgAddNas, on_add_nas},
    {kMsgDelNas, on_delete_nas},
    {kMsgSearchNas, on_search_nas},
    {kMsgUpdateNas, on_update_nas},
    {kMsgSetRecycle, on_set_recycle},
    {kMsgGetRecycle, on_get_recycle},
    {kMsgGetSmart, on_smart},
    {kMsgRemoveDisk, on_remove_disk},
    {kMsgGetQuota, on_get_quota},
    {kMsgSetQuota, on_set_quota},
    {kMsgSetGroupMode, on_notice},
    {kMsgSetGroup, on_notice},
    {kMsgGroupsChanged, on_notice},
    {kMsgSetEsataBackup, on_set_esata_backup},
    {kMsgGetEsataBackupStatus, on_esata_backup_status},
    {kMsgGetExportDisk, on_export_disk},
    {kMsgFormatEsata, on_format_esata},
    {kMsgGetAutoBackupStatus, on_auto_backup_status},
    {kMsgStopAutoBackup, on_stop_auto_backup},
};
NVR_DEMO_ROWS(kStorageRows)

} // namespace
