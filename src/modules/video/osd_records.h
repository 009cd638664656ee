// Wire records of the OSD and privacy mask pages: the camera-side OSD
// configuration, the privacy mask setting sent to cameras and the privacy
// masks a camera reports.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/camera_queries.h"

constexpr int kMsgOsdChanged = 1007;
constexpr int kMsgGetIpcPrivacyMask = 2502;
constexpr int kReplyGetIpcPrivacyMask = 7502;
constexpr int kReplyGetIpcModelType = 7503;
constexpr int kMsgDeletePrivacyMask = 2508;
constexpr int kMsgSetPrivacyMask = 2509;
constexpr int kMsgSetOsdConfig = 3210;
constexpr int kReplySetOsdConfig = 8210;
constexpr int kMsgGetOsdConfig = 3211;
constexpr int kReplyGetOsdConfig = 8211;
constexpr int kMsgSetPrivacyEdit = 3353;
constexpr int kReplySetPrivacyEdit = 8353;

constexpr size_t kOsdConfigTextSize = 256;
constexpr int kPrivacyMaskSetAreas = 28;
constexpr size_t kPrivacyMaskNameSize = 64;
// The browser's drawing canvas for camera geometry.
constexpr int kCanvasWidth = 460;
constexpr int kCanvasHeight = 260;

#pragma pack(push, 1)

// Payload of 3210 and record of reply 8211; in the reply a negative ch
// means the camera is not connected.
struct osd_config {
    int32_t ch;
    int32_t enable_text;
    char text_name[kOsdConfigTextSize];
    int32_t textpos;
    int32_t enable_date;
    int32_t datepos;
    int32_t dateformat;
    int32_t fontSize;
    int32_t enable_text_sub;
    char text_name_sub[kOsdConfigTextSize];
    int32_t textpos_sub;
    int32_t enable_date_sub;
    int32_t datepos_sub;
    int32_t dateformat_sub;
    int32_t fontSizeSub;
    int32_t reserved[70];
    int32_t type;
};

struct privacy_mask_area {
    int32_t area_id;
    int32_t enable;
    int32_t start_x;
    int32_t start_y;
    int32_t area_width;
    int32_t area_height;
    int32_t fill_color;
    int32_t ratio;
    char name[kPrivacyMaskNameSize];
};

// Payload of 2509: the masks for every camera whose character is '1'.
struct privacy_mask_set {
    char channels[64]; // '0' or '1' per channel, no terminator
    char reserved0[12];
    int32_t enable;
    int32_t num;
    int32_t cgiSdkFlag;
    char reserved1[36];
    int32_t areaMaskEnable;
    char reserved2[64];
    privacy_mask_area areas[kPrivacyMaskSetAreas];
    int32_t mosaicSupport;
    int32_t mosaicNum;
    int64_t delMask;
    char reserved3[8];
};

// Record of reply 7502: one camera's privacy masks.
struct ipc_privacy_mask {
    int32_t id;
    int32_t enable;
    int32_t num;
    int32_t cgiSdkFlag;
    char sdkversion[32];
    int32_t maxPtzZoomRatio;
    int32_t areaEnable;
    char colorList[64];
    privacy_mask_area areas[kPrivacyMaskSetAreas];
    int32_t mosaicSupport;
    int32_t mosaicNum;
    int32_t reserved[2];
    int32_t colorSupport;
    int32_t maxMaskSum;
};

// Payload of 1007.
struct osd_changed {
    int32_t chnid;
    int32_t changed;
    int32_t reserved;
};

// Payloads of 2508 and 3353: a channel and one of its mask areas.
struct privacy_mask_ref {
    int32_t chnid;
    int32_t area_id;
};

#pragma pack(pop)

static_assert(sizeof(osd_config) == 848);
static_assert(offsetof(osd_config, text_name) == 8);
static_assert(offsetof(osd_config, textpos) == 264);
static_assert(offsetof(osd_config, text_name_sub) == 288);
static_assert(offsetof(osd_config, fontSizeSub) == 560);
static_assert(offsetof(osd_config, type) == 844);
static_assert(sizeof(privacy_mask_area) == 96);
static_assert(sizeof(privacy_mask_set) == 2904);
static_assert(offsetof(privacy_mask_set, enable) == 76);
static_assert(offsetof(privacy_mask_set, areaMaskEnable) == 124);
static_assert(offsetof(privacy_mask_set, areas) == 192);
static_assert(offsetof(privacy_mask_set, mosaicSupport) == 2880);
static_assert(offsetof(privacy_mask_set, delMask) == 2888);
static_assert(sizeof(ipc_privacy_mask) == 2832);
static_assert(offsetof(ipc_privacy_mask, sdkversion) == 16);
static_assert(offsetof(ipc_privacy_mask, colorList) == 56);
static_assert(offsetof(ipc_privacy_mask, areas) == 120);
static_assert(offsetof(ipc_privacy_mask, mosaicSupport) == 2808);
static_assert(offsetof(ipc_privacy_mask, colorSupport) == 2824);
static_assert(sizeof(osd_changed) == 12);
static_assert(sizeof(privacy_mask_ref) == 8);
