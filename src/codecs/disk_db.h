// Database records of the disk slots and the disk groups, with their typed
// access over confdb. The storage pages change them; the storage and status
// pages both report which group each disk belongs to.
#pragma once

#include <json-c/json.h>

#include <cstddef>
#include <cstdint>

// Disk slots: port ids 1..36; disk groups 0..15.
constexpr int kDiskSlots = 36;
constexpr int kDiskPortFirst = 1;
constexpr int kDiskPortLast = 36;
constexpr int kDiskGroups = 16;
constexpr size_t kDiskGroupTextSize = 65;

#pragma pack(push, 1)

// One disk slot (kind kRecDisk, id = port id).
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

// One disk group (kind kRecDiskGroup, id = its position 0..15): the
// channels recorded to it as a '0'/'1' text, and a second text kept as
// stored. Also the payload of the group setting message.
struct disk_group_record {
    int32_t group_id;
    char channel[kDiskGroupTextSize];
    char second[kDiskGroupTextSize];
    char padding[2];
};

#pragma pack(pop)

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
static_assert(sizeof(disk_group_record) == 136);
static_assert(offsetof(disk_group_record, channel) == 4);
static_assert(offsetof(disk_group_record, second) == 69);

bool disk_port_valid(int port);

// read_disk: kRecFound, kRecAbsent (record zeroed) or -1.
int read_disk(const char *db, disk_record *record, int id);
// Stores the record under its own port id (callers check the port).
int write_disk(const char *db, const disk_record *record);
// The stored records of the slots 1..36 (at most `capacity`) in port order;
// the number read, or -1 (none kept).
int read_disks(const char *db, disk_record *records, int capacity, int *count);

// The 16 group records, entry i being group i (zero when never stored);
// `count` is set to 16. 0, or -1 when the records cannot be read.
int read_groups(const char *db, disk_group_record *groups, int *count);
int write_group(const char *db, const disk_group_record *group, int position);

// Adds the group membership of the disks to `object`: "channel" (the
// channel text of each group), "disk" (per port 1..36: 0 for a slot not
// enabled, else its group + 1), "max_chan" and "group_enable".
void json_add_disk_groups(json_object *object, const char *db);
