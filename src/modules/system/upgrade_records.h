// Wire records and codes of the online firmware upgrade of the recorder and
// of the camera firmware upgrade.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kMsgFirmwarePrepare = 1721;        // no payload, no reply
constexpr int kMsgFirmwareInstall = 1713;        // firmware_install_request; reply 6713
constexpr int kReplyFirmwareInstall = 6713;      // int32 result, 0 = installed
constexpr int kMsgFirmwareCheck = 1715;          // no payload; reply 6715
constexpr int kReplyFirmwareCheck = 6715;        // upgrade_info records
constexpr int kMsgFirmwareDownload = 1716;       // firmware_download_request; reply 6716
constexpr int kReplyFirmwareDownload = 6716;     // int32 records, the first is the result
constexpr int kMsgCameraFirmwareDelete = 1717;   // no payload; reply 6717
constexpr int kReplyCameraFirmwareDelete = 6717; // int32 records, the first is the result
constexpr int kMsgCameraUpgradeStart = 3350;     // camera_upgrade_request; reply 8350
constexpr int kReplyCameraUpgradeStart = 8350;   // camera_upgrade_result records
constexpr int kMsgCameraUpgradeStop = 3351;      // no payload, no reply
constexpr int kMsgCameraFirmwareCheck = 3365;    // camera_check_request; reply 8365
constexpr int kReplyCameraFirmwareCheck = 8365;  // camera_check_reply

// Download targets of "/6085".
constexpr int kDownloadDeviceFirmware = 0;
constexpr int kDownloadCameraFirmware = 1;

constexpr size_t kUpgradeChannelCount = 64;
constexpr size_t kUpgradeUrlSize = 128;

#pragma pack(push, 1)

// What the update service offers for the recorder or for one camera.
struct upgrade_info {
    int32_t state;
    int32_t file_size;
    char softversion[64];
    char url[kUpgradeUrlSize];
    char description[128];
};

struct firmware_install_request {
    int32_t reset_config; // 1 = reset the settings with the upgrade
};

struct firmware_download_request {
    char url[kUpgradeUrlSize];
    char path[128];
};

struct camera_upgrade_request {
    int32_t chnid;
    int32_t reset;
    char path[256];
};

struct camera_upgrade_result {
    int32_t chnid;
    int32_t status;
};

// Channels to look up, bit i = channel i, low word first.
struct camera_check_request {
    uint32_t mask[2];
};

// One upgrade_info per channel, in channel order.
struct camera_check_reply {
    upgrade_info channel[kUpgradeChannelCount];
};

#pragma pack(pop)

static_assert(sizeof(upgrade_info) == 328);
static_assert(offsetof(upgrade_info, file_size) == 4);
static_assert(offsetof(upgrade_info, softversion) == 8);
static_assert(offsetof(upgrade_info, url) == 72);
static_assert(offsetof(upgrade_info, description) == 200);
static_assert(sizeof(firmware_install_request) == 4);
static_assert(sizeof(firmware_download_request) == 256);
static_assert(offsetof(firmware_download_request, path) == 128);
static_assert(sizeof(camera_upgrade_request) == 264);
static_assert(offsetof(camera_upgrade_request, path) == 8);
static_assert(sizeof(camera_upgrade_result) == 8);
static_assert(sizeof(camera_check_request) == 8);
static_assert(sizeof(camera_check_reply) == 20992);
