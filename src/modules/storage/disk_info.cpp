// The disk list: the core daemon's storage report merged with the network
// disks configured in the database.
#include <cstring>

#include "codecs/json_util.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/storage/storage.h"
#include "platform/confdb/confdb.h"
#include "platform/crypto/url_code.h"

namespace {

constexpr size_t kUrlTextMax = 128;

bool is_network_disk(int type) { return type == kDiskTypeNfs || type == kDiskTypeSmb; }

// Copies a database text field into a report field, both bounded.
template <size_t N, size_t M> void copy_text_field(char (&to)[N], const char (&from)[M])
{
    copy_field_text(to, N, from, M);
}

// Network disk settings live in the database: they replace what the core
// reported for the slot.
void refresh_network_disk(disk_port_info *slot, const disk_record &record)
{
    copy_text_field(slot->vendor, record.vendor);
    copy_text_field(slot->address, record.address);
    copy_text_field(slot->directory, record.directory);
    copy_text_field(slot->user_name, record.user_name);
    copy_text_field(slot->password, record.password);
}

// A configured disk the core did not report is listed as such.
void fill_unreported_disk(disk_port_info *slot, const disk_record &record)
{
    slot->port_id = record.port_id;
    slot->disk_type = record.disk_type;
    slot->group = record.group;
    slot->property = record.property;
    slot->state = kDiskStateNotReported;
    refresh_network_disk(slot, record);
}

// Slot i holds port id i + 1. Returns the number of whole records.
size_t take_reported_disks(const ReplyReader &reply, disk_port_info *slots)
{
    const size_t count = reply.count(sizeof(disk_port_info));
    disk_port_info disk;
    for (size_t i = 0; i < count; ++i) {
        if (reply.record(i, &disk) && disk_port_valid(disk.port_id))
            slots[disk.port_id - 1] = disk;
    }
    return count;
}

void merge_database_disks(disk_port_info *slots)
{
    static disk_record records[kDiskSlots];
    int count = 0;
    read_disks(ZQDB_PATH, records, kDiskSlots, &count);
    for (int i = 0; i < count; ++i) {
        const disk_record &record = records[i];
        if (record.enable != 1 || !disk_port_valid(record.port_id))
            continue;
        disk_port_info *slot = &slots[record.port_id - 1];
        if (slot->port_id == 0)
            fill_unreported_disk(slot, record);
        else if (is_network_disk(slot->disk_type))
            refresh_network_disk(slot, record);
    }
}

int32_t size_in_mib(uint64_t bytes) { return static_cast<int32_t>(static_cast<uint32_t>(bytes >> 20)); }

// Bit n for member port n; members beyond the count, empty entries and ids
// outside 1..31 set nothing.
int32_t raid_member_mask(const disk_port_info &disk)
{
    uint32_t mask = 0;
    const int members = clamp_count(disk.raid_sata_cnt, kRaidMembersMax);
    for (int i = 0; i < members; ++i) {
        const int32_t port = disk.raid_sata_port[i];
        if (port > 0 && port < 32)
            mask |= 1u << port;
    }
    return static_cast<int32_t>(mask);
}

template <size_t N> void add_url_text(json_object *object, const char *key, const char (&field)[N])
{
    char encoded[kUrlTextMax];
    get_url_encode(field, static_cast<int>(N), encoded, sizeof encoded);
    json_add_string(object, key, encoded);
}

template <size_t N> void add_field_text(json_object *object, const char *key, const char (&field)[N])
{
    char text[N + 1];
    copy_field_text(text, sizeof text, field, N);
    json_add_string(object, key, text);
}

json_object *disk_json(const disk_port_info &disk)
{
    json_object *object = json_object_new_object();
    json_add_int(object, "portId", disk.port_id);
    add_field_text(object, "vendorName", disk.vendor);
    add_field_text(object, "address", disk.address);
    add_field_text(object, "directory", disk.directory);
    json_add_int(object, "totalSize", size_in_mib(disk.total_size));
    json_add_int(object, "usedSize", size_in_mib(disk.used_size));
    json_add_int(object, "freeSize", size_in_mib(disk.free_size));
    json_add_int(object, "hddType", disk.disk_type);
    json_add_int(object, "state", disk.state);
    json_add_int(object, "group", disk.group);
    json_add_int(object, "property", disk.property);
    json_add_int(object, "bUsable", disk.usable);
    json_add_int(object, "raid_id", disk.port_id);
    json_add_int(object, "raid_level", disk.raid_level);
    json_add_int(object, "raid_state", disk.raid_state);
    json_add_int(object, "raid_progress", disk.raid_progress);
    json_add_int(object, "raid_sata_cnt", disk.raid_sata_cnt);
    json_add_int(object, "raid_task", disk.raid_progress);
    add_url_text(object, "userName", disk.user_name);
    add_url_text(object, "password", disk.password);
    json_add_int(object, "raid_sata_port", raid_member_mask(disk));
    return object;
}

} // namespace

int on_get_disk_info(char * /*text*/)
{
    cgi_ipc_request(on_storage_ipc_callback, kMsgGetDisks, 0, nullptr, kRespJson);
    return 0;
}

int on_get_storage_info_cb(const ReplyReader &reply)
{
    static disk_port_info slots[kDiskSlots];
    memset(slots, 0, sizeof slots);
    const size_t reported = take_reported_disks(reply, slots);
    merge_database_disks(slots);

    JsonPtr disks = json_new_array();
    size_t listed = 0;
    for (const disk_port_info &slot : slots) {
        if (slot.port_id == 0)
            continue;
        json_object_array_add(disks.get(), disk_json(slot));
        ++listed;
    }
    JsonPtr object = json_new_object();
    json_add_string(object.get(), "resultString", reported == 0 && listed == 0 ? "NO" : "OK");
    json_add_int(object.get(), "esataType", get_param_int(ZQDB_PATH, "esata_type", 0));
    json_object_object_add(object.get(), "HDD", disks.release());
    json_add_int(object.get(), "maxDiskNum", kDiskSlots);
    cgi_write_json(kRespJson, object.get());
    cgi_set_callback_done(1);
    return 0;
}
