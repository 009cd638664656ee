#include "codecs/device_db.h"

#include <cstring>

#include "core/reply_reader.h"
#include "platform/confdb/confdb.h"

void network_set_host_name(network_record *record, const char *name)
{
    memset(record->host_name, 0, sizeof record->host_name);
    fill_field_text(record->host_name, kHostNameStored, name);
}
