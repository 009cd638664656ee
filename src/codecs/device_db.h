// Database records of the device that several modules read and change: the
// network record (its host name here; the interface part belongs to the
// network pages), the service port record and the recording settings of
// each channel, with their typed access over confdb.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/confdb/confdb.h"

constexpr size_t kHostNameSize = 132;
constexpr size_t kHostNameStored = 128; // a host name keeps at most 127 characters
constexpr int kRecordChannels = 64;

#pragma pack(push, 1)

// One record (id 0).
struct network_record {
    int32_t mode;
    char hostName[kHostNameSize];
    unsigned char interfaces[764]; // the network pages' addressing part
};
static_assert(sizeof(network_record) == 900);
static_assert(offsetof(network_record, hostName) == 4);
static_assert(offsetof(network_record, interfaces) == 136);

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

// One record per channel (id = channel), carrying its channel.
struct record_setting {
    int32_t id;
    int32_t mode;
    int32_t reserved0[7];
    int32_t audioEnable;
    int32_t reserved1[2];
    int32_t prevRecordOn;
    int32_t prevRecordDuration;
    int32_t postRecordOn;
    int32_t postRecordDuration;
    int32_t recordExpDate;
    int32_t reserved2;
};
static_assert(sizeof(record_setting) == 72);
static_assert(offsetof(record_setting, mode) == 4);
static_assert(offsetof(record_setting, audioEnable) == 36);
static_assert(offsetof(record_setting, prevRecordOn) == 48);
static_assert(offsetof(record_setting, recordExpDate) == 64);

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

inline int read_network(const char *db, network_record *record)
{
    return read_device_record(db, kRecNetwork, record);
}
inline int write_network(const char *db, const network_record *record)
{
    return write_device_record(db, kRecNetwork, record);
}
inline int read_port(const char *db, port_record *record) { return read_device_record(db, kRecPort, record); }
inline int write_port(const char *db, const port_record *record)
{
    return write_device_record(db, kRecPort, record);
}

// Channel `chnid`'s settings; an absent channel reads as zero but for its id.
int read_record(const char *db, record_setting *record, int chnid);
// The settings of every channel: array[c] is channel c's (as read_record
// gives it) and `count` becomes 64. 0, or -1 when the table cannot be read.
int read_records(const char *db, record_setting *array, int *count);
// Stores the record under its own channel; -1 for a channel outside 0..63.
int write_record(const char *db, const record_setting *record);

// Copies `name` (cut to 127 characters) into the record's host name field,
// zeroing the rest of the field.
void network_set_host_name(network_record *record, const char *name);
