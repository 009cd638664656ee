// Wire and database records of the access filter, the alarm audio files,
// the diagnosis export, the automatic reboot and UPnP.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/device_db.h"

constexpr int kMsgAccessFilterChanged = 1722; // no payload
constexpr int kMsgAutoRebootChanged = 1718;   // no payload
constexpr int kMsgUpnpSet = 3720;             // upnp_record
constexpr int kMsgDiagnosisExport = 3528;     // 64-byte target folder; reply 8528, diagnosis_reply
constexpr int kReplyDiagnosisExport = 8528;
constexpr int kMsgAudioList = 4012;   // no payload; reply 9012, audio_file_entry records
constexpr int kMsgAudioAdd = 4013;    // 128-byte encoded name; reply 9013 status
constexpr int kMsgAudioDelete = 4014; // int32 id mask; reply 9014 status
constexpr int kMsgAudioRename = 4015; // audio_file_entry; reply 9015 status
constexpr int kMsgAudioAction = 4016; // int32 id; reply 9016 status
constexpr int kReplyAudioList = 9012;
constexpr int kReplyAudioAdd = 9013;
constexpr int kReplyAudioDelete = 9014;
constexpr int kReplyAudioRename = 9015;
constexpr int kReplyAudioAction = 9016;

// Operation log entry of a change of the audio files (main type 4).
constexpr int kLogSubAudioFiles = 204;
constexpr int kLogParamAudioFiles = 925;

constexpr int kAccessFilterEntries = 100;
constexpr int kAudioFileIds = 10; // files 0..9, bit i of a mask for file i
constexpr size_t kAudioNameSize = 128;
constexpr size_t kDiagnosisFolderSize = 64;

#pragma pack(push, 1)

struct access_filter_entry {
    int32_t address_type;
    char address[32];
};
static_assert(sizeof(access_filter_entry) == 36);

// The stored list: its length, then the entries.
struct access_filter_table {
    int32_t count;
    access_filter_entry entries[kAccessFilterEntries];
};
static_assert(sizeof(access_filter_table) == 3604);

struct audio_file_entry {
    int32_t id;
    int32_t enable;
    char name[kAudioNameSize]; // the display name in URL-safe base64
};
static_assert(sizeof(audio_file_entry) == 136);

struct autoreboot_record {
    int32_t enable;
    int32_t wday;
    int32_t hour;
    int32_t minutes;
    int32_t seconds;
    char reserved[108];
};
static_assert(sizeof(autoreboot_record) == 128);
static_assert(offsetof(autoreboot_record, seconds) == 16);

struct upnp_record {
    int32_t enable;
    int32_t type;
    char reserved[128];
    int32_t external_http_port;
    int32_t http_status;
    int32_t external_rtsp_port;
    int32_t rtsp_status;
};
static_assert(sizeof(upnp_record) == 152);
static_assert(offsetof(upnp_record, external_http_port) == 136);
static_assert(offsetof(upnp_record, rtsp_status) == 148);

// Reply 8528: the result (>= 0 success) and the archive's path.
struct diagnosis_reply {
    int32_t reserved;
    int32_t result;
    char path[256];
};
static_assert(offsetof(diagnosis_reply, path) == 8);

#pragma pack(pop)

// Reads give kRecFound, kRecAbsent (record zeroed) or -1; writes 0 or -1.
// The access filter list: `count` gets the number of stored entries
// (at most kAccessFilterEntries).
int read_access_filter(const char *db, access_filter_entry *array, int *count);
int write_access_filter(const char *db, const access_filter_entry *array, int count);

inline int read_autoreboot_conf(const char *db, autoreboot_record *record)
{
    return read_device_record(db, kRecAutoReboot, record);
}
inline int write_autoreboot_conf(const char *db, const autoreboot_record *record)
{
    return write_device_record(db, kRecAutoReboot, record);
}
inline int read_upnp(const char *db, upnp_record *record) { return read_device_record(db, kRecUpnp, record); }
inline int write_upnp(const char *db, const upnp_record *record)
{
    return write_device_record(db, kRecUpnp, record);
}
