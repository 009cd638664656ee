#include "codecs/record_db.h"

#include <cstring>

#include "codecs/channel_db.h"
#include "codecs/channel_mask.h"
#include "platform/confdb/confdb.h"

namespace {

struct TableColumn {
    const char *table;
    const char *column;
    int kind;
    size_t record_size;
    size_t offset;
};

// The integer columns that handlers set for many channels at once.
const TableColumn kColumns[] = {
    {"camera", "anr", kRecCamera, sizeof(camera_record), offsetof(camera_record, cameraAnr)},
    {"camera", "record_stream", kRecCamera, sizeof(camera_record), offsetof(camera_record, recordStreamType)},
    {"record", "mode", kRecRecordSetting, sizeof(record_setting), offsetof(record_setting, mode)},
};

const TableColumn *find_column(const char *table, const char *column)
{
    if (table == nullptr || column == nullptr)
        return nullptr;
    for (const TableColumn &entry : kColumns)
        if (strcmp(entry.table, table) == 0 && strcmp(entry.column, column) == 0)
            return &entry;
    return nullptr;
}

} // namespace

int read_record(const char *db, record_setting *record, int chnid)
{
    if (!camera_channel_valid(chnid)) {
        memset(record, 0, sizeof *record);
        return kRecAbsent;
    }
    const int found = confdb_read_record(db, kRecRecordSetting, chnid, record, sizeof *record);
    if (found != kRecFound)
        record->id = chnid;
    return found;
}

int read_records(const char *db, record_setting records[kRecordChannels], int *count)
{
    static record_setting stored[kRecordChannels];
    static int ids[kRecordChannels];
    *count = 0;
    memset(records, 0, sizeof(record_setting) * kRecordChannels);
    const int read =
        confdb_read_records(db, kRecRecordSetting, stored, sizeof stored[0], kRecordChannels, ids);
    if (read < 0)
        return -1;
    for (int chnid = 0; chnid < kRecordChannels; ++chnid)
        records[chnid].id = chnid;
    for (int index = 0; index < read; ++index)
        if (camera_channel_valid(ids[index]))
            records[ids[index]] = stored[index];
    *count = kRecordChannels;
    return 0;
}

int write_record(const char *db, const record_setting *record)
{
    if (!camera_channel_valid(record->id))
        return -1;
    return confdb_write_record(db, kRecRecordSetting, record->id, record, sizeof *record);
}

int write_records(const char *db, const record_setting records[kRecordChannels], uint32_t mask_low,
                  uint32_t mask_high)
{
    static record_setting owned[kRecordChannels];
    memcpy(owned, records, sizeof owned);
    for (int chnid = 0; chnid < kRecordChannels; ++chnid)
        owned[chnid].id = chnid;
    return confdb_write_masked(db, kRecRecordSetting, owned, sizeof owned[0], sizeof owned[0],
                               channel_mask_of(mask_low, mask_high));
}

int copy_table_column_int(const char *db, const char *table, const char *column, int value, uint32_t mask_low,
                          uint32_t mask_high, const char *key)
{
    const TableColumn *entry = find_column(table, column);
    if (entry == nullptr || key == nullptr || strcmp(key, "id") != 0)
        return -1;
    return confdb_set_records_int(db, entry->kind, entry->record_size, entry->offset, value,
                                  channel_mask_of(mask_low, mask_high));
}
