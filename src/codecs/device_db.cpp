#include "codecs/device_db.h"

#include <cstring>

#include "core/reply_reader.h"
#include "platform/confdb/confdb.h"

namespace {

bool record_channel_valid(int chnid) { return chnid >= 0 && chnid < kRecordChannels; }

} // namespace

int read_record(const char *db, record_setting *record, int chnid)
{
    if (!record_channel_valid(chnid)) {
        memset(record, 0, sizeof *record);
        return kRecAbsent;
    }
    const int found = confdb_read_record(db, kRecRecordSetting, chnid, record, sizeof *record);
    record->id = chnid;
    return found;
}

int read_records(const char *db, record_setting *array, int *count)
{
    static record_setting stored[kRecordChannels];
    int ids[kRecordChannels];
    memset(array, 0, sizeof(record_setting) * kRecordChannels);
    *count = 0;
    const int read =
        confdb_read_records(db, kRecRecordSetting, stored, sizeof stored[0], kRecordChannels, ids);
    if (read < 0)
        return -1;
    for (int index = 0; index < read; ++index) {
        if (record_channel_valid(ids[index]))
            array[ids[index]] = stored[index];
    }
    for (int chnid = 0; chnid < kRecordChannels; ++chnid)
        array[chnid].id = chnid;
    *count = kRecordChannels;
    return 0;
}

int write_record(const char *db, const record_setting *record)
{
    if (!record_channel_valid(record->id))
        return -1;
    return confdb_write_record(db, kRecRecordSetting, record->id, record, sizeof *record);
}

void network_set_host_name(network_record *record, const char *name)
{
    memset(record->hostName, 0, sizeof record->hostName);
    fill_field_text(record->hostName, kHostNameStored, name);
}
