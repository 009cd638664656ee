#include "codecs/disk_db.h"

#include <cstring>

#include "codecs/json_util.h"
#include "platform/confdb/confdb.h"

bool disk_port_valid(int port) { return port >= kDiskPortFirst && port <= kDiskPortLast; }

int read_disk(const char *db, disk_record *record, int id)
{
    return confdb_read_record(db, kRecDisk, id, record, sizeof *record);
}

int write_disk(const char *db, const disk_record *record)
{
    return confdb_write_record(db, kRecDisk, record->port_id, record, sizeof *record);
}

// Slot by slot: a record stored under an id that names no slot (port 0,
// which the attribute page accepts) must not take a slot's place.
int read_disks(const char *db, disk_record *records, int capacity, int *count)
{
    *count = 0;
    for (int port = kDiskPortFirst; port <= kDiskPortLast && *count < capacity; ++port) {
        const int found = read_disk(db, &records[*count], port);
        if (found < 0) {
            *count = 0;
            return -1;
        }
        if (found == kRecFound)
            ++*count;
    }
    return *count;
}

int read_groups(const char *db, disk_group_record *groups, int *count)
{
    static disk_group_record stored[kDiskGroups];
    static int ids[kDiskGroups];
    memset(groups, 0, sizeof *groups * kDiskGroups);
    *count = kDiskGroups;
    const int read = confdb_read_records(db, kRecDiskGroup, stored, sizeof *stored, kDiskGroups, ids);
    if (read < 0)
        return -1;
    for (int i = 0; i < read; ++i) {
        if (ids[i] >= 0 && ids[i] < kDiskGroups)
            groups[ids[i]] = stored[i];
    }
    return 0;
}

int write_group(const char *db, const disk_group_record *group, int position)
{
    if (position < 0 || position >= kDiskGroups)
        return -1;
    return confdb_write_record(db, kRecDiskGroup, position, group, sizeof *group);
}

namespace {

// Per port 1..36: 0 when the slot is not enabled, else its group + 1.
json_object *disk_group_numbers(const char *db)
{
    static disk_record records[kDiskSlots];
    int by_port[kDiskSlots] = {};
    int count = 0;
    read_disks(db, records, kDiskSlots, &count);
    for (int i = 0; i < count; ++i) {
        const disk_record &record = records[i];
        if (disk_port_valid(record.port_id) && record.enable != 0)
            by_port[record.port_id - 1] = record.group + 1;
    }
    json_object *disks = json_object_new_array();
    for (int number : by_port)
        json_object_array_add(disks, json_object_new_int(number));
    return disks;
}

} // namespace

void json_add_disk_groups(json_object *object, const char *db)
{
    disk_group_record groups[kDiskGroups];
    int count = 0;
    read_groups(db, groups, &count);
    json_object *channels = json_object_new_array();
    for (const disk_group_record &group : groups)
        json_object_array_add(channels, json_field_string(group.channel, sizeof group.channel));
    json_object_object_add(object, "channel", channels);
    json_object_object_add(object, "disk", disk_group_numbers(db));
    json_add_int(object, "max_chan", get_param_int(db, "max_cameras", 32));
    json_add_int(object, "group_enable", get_param_int(db, "group_mode", 0));
}
