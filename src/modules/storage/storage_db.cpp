// The disk slot records of the configuration database, and the helpers the
// storage handlers share.
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "modules/storage/storage.h"
#include "platform/confdb/confdb.h"

int read_disk(const char *db, disk_record *record, int id)
{
    return confdb_read_record(db, kRecDisk, id, record, sizeof *record);
}

// The record is stored under its own port id.
int write_disk(const char *db, const disk_record *record)
{
    return confdb_write_record(db, kRecDisk, record->port_id, record, sizeof *record);
}

int read_disks(const char *db, disk_record *records, int capacity, int *count)
{
    const int read = confdb_read_records(db, kRecDisk, records, sizeof *records, capacity, nullptr);
    *count = read < 0 ? 0 : read;
    return read < 0 ? -1 : 0;
}
