// Wire records of the camera feature pages (watermark, event stream, audio,
// auto tracking, models, custom parameters) and of camera firmware upgrades.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/camera_queries.h"
#include "codecs/channel_db.h"
#include "codecs/firmware_paths.h"
#include "codecs/schedule.h"

// Requests; each reply code is the request code + 5000.
constexpr int kMsgGetWatermark = 1213;
constexpr int kMsgSetWatermark = 1216;
constexpr int kMsgGetEventStream = 1217;
constexpr int kMsgSetEventStream = 1218;
constexpr int kMsgGetLprNightMode = 1219;
constexpr int kMsgGetChannelsModel = 2505;
constexpr int kMsgGetIpcType = 2507;
constexpr int kMsgGetAutoTracking = 3294;
constexpr int kMsgGetMotionStatus = 3307;
constexpr int kMsgGetAudioInfo = 3371;
constexpr int kMsgSetAudioInfo = 3372;
constexpr int kMsgSetAutoTracking = 3375;
constexpr int kMsgGetSystemInfo = 3376;
constexpr int kMsgGetCustomParam = 3377;
constexpr int kMsgUpgradeByUrl = 3379;
constexpr int kMsgUpgradeByFile = 3385;
constexpr int kMsgUpgradeStatus = 3386;
constexpr int kMsgStopUpgrade = 3390;
constexpr int kMsgCameraCommand = 4002;
constexpr int kMsgGetChipCode = 4004;
// The free-form command text, and a second reply code of it.
constexpr size_t kCameraCommandSize = 100;
constexpr int kReplyCameraCommandMore = 9003;

#pragma pack(push, 1)

// Reply 7505 (64 of them) and reply 7507 (one).
struct ipc_model_entry {
    int32_t chnid;
    char ipaddr[32];
    char model[64];
    char fwversion[64];
};
static_assert(sizeof(ipc_model_entry) == 164);
static_assert(offsetof(ipc_model_entry, fwversion) == 100);

// Reply 6213.
struct ipc_watermark_info {
    int32_t chnid;
    int32_t enable;
    int32_t reserved;
    char watermark[32];
};
static_assert(sizeof(ipc_watermark_info) == 44);

// Request 1216: the watermark and the channels it is copied to.
struct ipc_watermark_setting {
    ipc_watermark_info info;
    char copy[65];
    char tail[3];
};
static_assert(sizeof(ipc_watermark_setting) == 112);
static_assert(offsetof(ipc_watermark_setting, copy) == 44);

// Reply 8371, by int32 index: the camera's audio options and its settings.
constexpr int kAudioOptions = 9;
constexpr int kAudioSampleRates = 9;
constexpr int kAudioBitrates = 16;
struct ipc_audio_rate {
    int32_t value;
    int32_t bitrate_count;
    int32_t bitrates[kAudioBitrates];
};
struct ipc_audio_option {
    int32_t encodeValue;
    int32_t rate_count;
    ipc_audio_rate rates[kAudioSampleRates];
};
struct ipc_audio_config {
    int32_t chnid;
    int32_t audioEnable;
    int32_t audioMode;
    int32_t denoise;
    int32_t encoding;
    int32_t sampleRate;
    int32_t inputGain;
    int32_t inputMode;
    int32_t audioGainControl;
    int32_t outputVolume;
    int32_t audioBitrate;
};
// Request 3372: the settings behind the 64-bit channel mask.
struct ipc_audio_setting {
    uint32_t mask[2]; // low word first
    ipc_audio_config config;
    int32_t reserved;
};
static_assert(sizeof(ipc_audio_setting) == 56);
static_assert(offsetof(ipc_audio_setting, config) == 8);

struct ipc_audio_info {
    int32_t res;
    int32_t support;
    int32_t supportMode;
    int32_t supportInputMode;
    int32_t option_count;
    ipc_audio_option options[kAudioOptions];
    ipc_audio_config config;
};
static_assert(sizeof(ipc_audio_rate) == 18 * 4);
static_assert(sizeof(ipc_audio_option) == 164 * 4);
static_assert(offsetof(ipc_audio_info, config) == 1481 * 4);
static_assert(sizeof(ipc_audio_info) == 5968);

// Reply 8294.
constexpr size_t kTrackingAreaSize = 300;
struct ipc_tracking_params {
    int32_t chnid;
    int32_t enable;
    int32_t show;
    int32_t sensitivity;
    int32_t time;
    int32_t manual_tracking;
    int32_t zoom_mode;
    int32_t zoom_number;
};
struct ipc_tracking_tail {
    char area[kTrackingAreaSize];
    int32_t humanVehicleSupport;
    int32_t trackingObject;
    uint8_t reportMotion;
};
struct ipc_auto_tracking_info {
    ipc_tracking_params params;
    schedule_record schedule;
    ipc_tracking_tail tail;
    char pad[3];
};
static_assert(sizeof(ipc_auto_tracking_info) == 26520);
static_assert(offsetof(ipc_auto_tracking_info, schedule) == 32);
static_assert(offsetof(ipc_auto_tracking_info, tail) == 26208);
static_assert(offsetof(ipc_auto_tracking_info, tail) + offsetof(ipc_tracking_tail, reportMotion) == 26516);

// Request 3375: the same behind the 64-bit channel mask.
struct ipc_auto_tracking_setting {
    uint32_t mask[2]; // low word first; the channel's own bit included
    ipc_auto_tracking_info info;
};
static_assert(sizeof(ipc_auto_tracking_setting) == 26528);
static_assert(offsetof(ipc_auto_tracking_setting, info) + offsetof(ipc_auto_tracking_info, schedule) == 40);
static_assert(offsetof(ipc_auto_tracking_setting, info) + offsetof(ipc_auto_tracking_info, tail) == 26216);
static_assert(offsetof(ipc_auto_tracking_setting, info) + offsetof(ipc_auto_tracking_info, tail) +
                  offsetof(ipc_tracking_tail, reportMotion) ==
              26524);

// Request 3377 and reply 8377.
struct ipc_custom_param_query {
    int32_t chnid;
    char url[256];
};
static_assert(sizeof(ipc_custom_param_query) == 260);
struct ipc_custom_param_info {
    int32_t res;
    int32_t chnid;
    char data[512];
};
static_assert(sizeof(ipc_custom_param_info) == 520);

// Requests 3379 and 3385: the channels to upgrade, the channels whose
// settings are kept (a bit set keeps them), and the image: its size, the
// address it is fetched from or the file it waits in.
struct ipc_upgrade_request {
    uint32_t mask[2];      // low word first
    uint32_t keep_mask[2]; // low word first
    int32_t fileSize;
    char url[128];
    char file[128];
    int32_t reserved;
};
static_assert(sizeof(ipc_upgrade_request) == 280);
static_assert(offsetof(ipc_upgrade_request, url) == 20);
static_assert(offsetof(ipc_upgrade_request, file) == 148);

// Replies 8379 and 8386: the channels being upgraded and the state of the
// first 16.
constexpr int kUpgradeChannels = 16;
struct ipc_upgrade_state {
    uint32_t mask[2]; // low word first
    int32_t status[kUpgradeChannels];
};
static_assert(sizeof(ipc_upgrade_state) == 72);

#pragma pack(pop)
