// The disk slot records of the configuration database, and the helpers the
// storage handlers share.
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/storage/storage.h"
#include "platform/confdb/confdb.h"
#include "platform/fslog/zqfs_log.h"

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

void storage_send_log(int sub_type, int param_code, int object, int detail_kind, const void *detail,
                      int detail_length)
{
    LogRecord record;
    cgi_init_log_info(&record);
    record.main_type = kLogMainOperation;
    record.sub_type = sub_type;
    record.param_code = param_code;
    record.object = object;
    if (detail != nullptr)
        zqfs_log_pack_detail(&record, detail_kind, detail, detail_length);
    cgi_send_log_info(&record);
}
