// Wire records and codes of the device information, general settings,
// quick settings and maintenance options of the system module.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/device_db.h"

constexpr int kMsgSystemInfo = 3400; // no payload; reply 8400
constexpr int kReplySystemInfo = 8400;
constexpr int kMsgOutputResolution = 1001; // output_resolution
constexpr int kMsgAudio = 1002;            // audio_setting
constexpr int kMsgResolutionApplied = 1015;
constexpr int kMsgSubOutput = 1023;     // int32 sub output enable
constexpr int kMsgCameraEnabled = 1201; // int32 camera id
constexpr int kMsgCameraDisabled = 1202;
constexpr int kMsgDeviceId = 1705; // int32 device id
constexpr int kMsgRetentionChanged = 2102;
constexpr int kMsgSetLanguage = 4000; // int32 language code

// Operation log entry of a general settings change (main type 4).
constexpr int kLogSubSettings = 204;
constexpr int kLogParamGeneral = 913;

constexpr int kOutputMain = 0;
constexpr int kOutputSub = 1;

#pragma pack(push, 1)

// Reply 8400: the device's identity and capacity.
struct system_info_record {
    int32_t deviceId;
    int32_t maxCameras;
    int32_t reserved0[2];
    int32_t maxSensor;
    int32_t maxAlarm;
    int32_t reserved1;
    int32_t maxAudioOut;
    int32_t displayNum;
    int32_t reserved2[2];
    int32_t masRs485;
    int32_t reserved3;
    int32_t maxNetworkLan;
    int32_t reserved4;
    int32_t oemversion;
    int32_t reserved5;
    int32_t zqddns;
    char sn[65];
    char prefix[16];
    char deviceName[32];
    char software[32];
    char hwver[32];
    char reserved6[160];
    char macAddress[43];
    int32_t isSupportTalk;
    char reserved7[136];
};
static_assert(sizeof(system_info_record) == 592);
static_assert(offsetof(system_info_record, maxSensor) == 16);
static_assert(offsetof(system_info_record, maxAudioOut) == 28);
static_assert(offsetof(system_info_record, displayNum) == 32);
static_assert(offsetof(system_info_record, masRs485) == 44);
static_assert(offsetof(system_info_record, maxNetworkLan) == 52);
static_assert(offsetof(system_info_record, oemversion) == 60);
static_assert(offsetof(system_info_record, zqddns) == 68);
static_assert(offsetof(system_info_record, sn) == 72);
static_assert(offsetof(system_info_record, prefix) == 137);
static_assert(offsetof(system_info_record, deviceName) == 153);
static_assert(offsetof(system_info_record, software) == 185);
static_assert(offsetof(system_info_record, hwver) == 217);
static_assert(offsetof(system_info_record, macAddress) == 409);
static_assert(offsetof(system_info_record, isSupportTalk) == 452);

// Database record of the video outputs and audio (one record, id 0).
struct display_record {
    int32_t mainResolution;
    int32_t reserved0[2];
    int32_t hdmiAudioOn;
    int32_t audioOutputOn;
    int32_t audioVolume;
    int32_t audioStereo;
    int32_t subEnable;
    int32_t subResolution;
    int32_t reserved1[8];
    int32_t curControl;
    int32_t reserved2[7];
};
static_assert(sizeof(display_record) == 100);
static_assert(offsetof(display_record, hdmiAudioOn) == 12);
static_assert(offsetof(display_record, subEnable) == 28);
static_assert(offsetof(display_record, subResolution) == 32);
static_assert(offsetof(display_record, curControl) == 68);

// Database record of the retention times (one record, id 0).
struct disk_maintain_record {
    int32_t logRetention;
    int32_t photoRetention;
};
static_assert(sizeof(disk_maintain_record) == 8);

struct output_resolution {
    int32_t output;
    int32_t resolution;
};
static_assert(sizeof(output_resolution) == 8);

struct audio_setting {
    int32_t hdmiAudioOn;
    int32_t audioOutputOn;
    int32_t audioVolume;
};
static_assert(sizeof(audio_setting) == 12);

#pragma pack(pop)

// Reads give kRecFound, kRecAbsent (record zeroed) or -1; writes 0 or -1.
inline int read_display(const char *db, display_record *record)
{
    return read_device_record(db, kRecDisplay, record);
}
inline int write_display(const char *db, const display_record *record)
{
    return write_device_record(db, kRecDisplay, record);
}
inline int read_disk_maintain_info(const char *db, disk_maintain_record *record)
{
    return read_device_record(db, kRecDiskMaintain, record);
}
inline int write_disk_maintain_info(const char *db, const disk_maintain_record *record)
{
    return write_device_record(db, kRecDiskMaintain, record);
}
