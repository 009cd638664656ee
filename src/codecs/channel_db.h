// Database records of a camera channel that several modules read: the
// camera record, the channel's OSD setting (which holds the channel name)
// and its stored privacy masks, with their typed access over confdb. Every
// record is stored under its channel (0..63) and carries it as its first
// field.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kCameraChannels = 64;
constexpr size_t kOsdNameSize = 64;
constexpr int kPrivacyMaskAreas = 24;

#pragma pack(push, 1)

struct camera_record {
    int32_t id;
    int32_t reset_flag; // 1 once the channel has been deleted
    int32_t enable;
    int32_t reserved0[4];
    char userName[64];
    char password[64];
    char ipAddr[64];
    int32_t mainRtspPort;
    char mainSourcePath[256];
    int32_t enableSubStream;
    int32_t subRtspPort;
    char subSourcePath[256];
    int32_t managePort;
    int32_t camProtocol;
    int32_t transmitProtocol;
    int32_t reserved1;
    int32_t recordStreamType; // kept when the channel is deleted
    int32_t syncTime;
    int32_t reserved2;
    char mainrtspurl[256];
    char subrtspurl[256];
    int32_t poechannel;
    char mac_addr[32];
    int32_t physicalport;
    int32_t cameraAnr;
    int32_t reserved3[16];
    int32_t minorid;
    char ddns[64];
    int32_t httpsPort;
};
static_assert(sizeof(camera_record) == 1464);
static_assert(offsetof(camera_record, enable) == 2 * 4);
static_assert(offsetof(camera_record, userName) == 7 * 4);
static_assert(offsetof(camera_record, password) == 23 * 4);
static_assert(offsetof(camera_record, ipAddr) == 39 * 4);
static_assert(offsetof(camera_record, mainRtspPort) == 55 * 4);
static_assert(offsetof(camera_record, mainSourcePath) == 56 * 4);
static_assert(offsetof(camera_record, enableSubStream) == 120 * 4);
static_assert(offsetof(camera_record, subRtspPort) == 121 * 4);
static_assert(offsetof(camera_record, subSourcePath) == 122 * 4);
static_assert(offsetof(camera_record, managePort) == 186 * 4);
static_assert(offsetof(camera_record, camProtocol) == 187 * 4);
static_assert(offsetof(camera_record, transmitProtocol) == 188 * 4);
static_assert(offsetof(camera_record, recordStreamType) == 190 * 4);
static_assert(offsetof(camera_record, syncTime) == 191 * 4);
static_assert(offsetof(camera_record, mainrtspurl) == 193 * 4);
static_assert(offsetof(camera_record, subrtspurl) == 257 * 4);
static_assert(offsetof(camera_record, poechannel) == 321 * 4);
static_assert(offsetof(camera_record, mac_addr) == 322 * 4);
static_assert(offsetof(camera_record, physicalport) == 330 * 4);
static_assert(offsetof(camera_record, cameraAnr) == 331 * 4);
static_assert(offsetof(camera_record, minorid) == 348 * 4);
static_assert(offsetof(camera_record, ddns) == 349 * 4);
static_assert(offsetof(camera_record, httpsPort) == 365 * 4);

struct osd_record {
    int32_t camId;
    char camName[kOsdNameSize];
    int32_t showName;
    int32_t showDate;
    int32_t showWeek;
    int32_t dateFormat;
    int32_t timeFormat;
    double datePosX;
    double datePosY;
    double namePosX;
    double namePosY;
    int32_t alpha;
    int32_t reserved;
};
static_assert(sizeof(osd_record) == 128);
static_assert(offsetof(osd_record, camName) == 4);
static_assert(offsetof(osd_record, datePosX) == 88);
static_assert(offsetof(osd_record, alpha) == 120);

struct privacy_mask_entry {
    int32_t reserved0;
    int32_t area_id;
    int32_t enable;
    int32_t start_x;
    int32_t start_y;
    int32_t area_width;
    int32_t area_height;
    int32_t width;
    int32_t height;
    int32_t fill_color;
    int32_t reserved1[3];
};
static_assert(sizeof(privacy_mask_entry) == 52);

struct privacy_mask_record {
    int32_t id;
    privacy_mask_entry areas[kPrivacyMaskAreas];
};
static_assert(sizeof(privacy_mask_record) == 1252);

#pragma pack(pop)

// Reads give kRecFound, kRecAbsent (record zeroed) or -1 (record zeroed);
// writes store the record under its own channel field and give 0 or -1
// (also for a channel outside 0..63).
int read_camera(const char *db, camera_record *record, int chnid);
int write_camera(const char *db, const camera_record *record);
int read_osd(const char *db, osd_record *record, int chnid);
int write_osd(const char *db, const osd_record *record);
int read_privacy_mask(const char *db, privacy_mask_record *record, int chnid);
int write_privacy_mask(const char *db, const privacy_mask_record *record);

// The channel's name from its OSD record into `name` (`size` bytes, at
// least 1); "" when the channel has none.
void read_osd_name(const char *db, int chnid, char *name, size_t size);

bool camera_channel_valid(int chnid);

// The number of channels the recorder serves: the stored "max_cameras"
// (32 when it is absent) within 0..64.
int read_max_cameras(const char *db);

// Stores `address` (cut to 63 characters) as channel `chnid`'s camera
// address, the rest of its record kept; 0, or -1 for a channel outside
// 0..63 or a failed read or write.
int write_camera_ip(const char *db, int chnid, const char *address);
