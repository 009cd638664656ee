// Database records of the device that several modules read and change: the
// service port record with its typed access over confdb, and the host name
// of the network record (codecs/network_db.h). The recording settings of
// each channel are in codecs/record_db.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/network_db.h"
#include "codecs/record_db.h"
#include "platform/confdb/confdb.h"

constexpr size_t kHostNameSize = 132;
constexpr size_t kHostNameStored = 128; // a host name keeps at most 127 characters

// Fire-and-forget messages of every module: a service's settings changed
// (service_name naming it, e.g. "network"), the recorder restarts.
constexpr int kMsgServiceChanged = 1702;
constexpr int kMsgRestart = 1703;

#pragma pack(push, 1)

// What changed, for the services that reload their settings.
struct service_name {
    char name[32];
};
static_assert(sizeof(service_name) == 32);

// One record (id 0).
struct port_record {
    int32_t enableSsh;
    int32_t sshPort;
    int32_t httpPort;
    int32_t rtspPort;
    int32_t servicePort;
    char hostName[256];
    int32_t enableHostName;
    int32_t httpsPort;
    int32_t reserved;
};
static_assert(sizeof(port_record) == 288);
static_assert(offsetof(port_record, hostName) == 20);
static_assert(offsetof(port_record, enableHostName) == 276);
static_assert(offsetof(port_record, httpsPort) == 280);

#pragma pack(pop)

// A record the device keeps once (id 0) of kind `kind`. Reads give
// kRecFound, kRecAbsent (record zeroed) or -1 (record zeroed); writes give
// 0 or -1.
template <typename Record> int read_device_record(const char *db, int kind, Record *record)
{
    return confdb_read_record(db, kind, 0, record, sizeof *record);
}
template <typename Record> int write_device_record(const char *db, int kind, const Record *record)
{
    return confdb_write_record(db, kind, 0, record, sizeof *record);
}

inline int read_port(const char *db, port_record *record) { return read_device_record(db, kRecPort, record); }
inline int write_port(const char *db, const port_record *record)
{
    return write_device_record(db, kRecPort, record);
}

// Copies `name` (cut to 127 characters) into the record's host name field,
// zeroing the rest of the field.
void network_set_host_name(network_record *record, const char *name);
