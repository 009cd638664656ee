// Camera-side events and modes relayed through the recorder: the camera's
// own alarm input event and audio level (volume) detection event with their
// recorder-side trigger settings, and the fisheye mounting and display
// modes with fisheye camera access.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/reply_reader.h"

constexpr int kMsgGetCameraIo = 3213;
constexpr int kReplyGetCameraIo = 8213;
constexpr int kMsgSetCameraIo = 3214;
constexpr int kMsgGetVolumeDetect = 3215;
constexpr int kReplyGetVolumeDetect = 8215;
constexpr int kMsgSetVolumeDetect = 3216;
constexpr int kMsgSetFisheyeMode = 3231;
constexpr int kReplySetFisheyeMode = 8231;
constexpr int kMsgGetFisheyeMode = 3232;
constexpr int kReplyGetFisheyeMode = 8232;
constexpr int kMsgCheckFisheyeCamera = 3373;
constexpr int kReplyCheckFisheyeCamera = 8373;
constexpr int kMsgSetFisheyeCamera = 3374;
constexpr int kReplySetFisheyeCamera = 8374;

constexpr size_t kCameraTriChannelsSize = 65;
constexpr size_t kFisheyeTextSize = 64;

#pragma pack(push, 1)

// The recorder-side trigger of a camera event: record kRecCameraIoEvent or
// kRecVolumeDetect, id = camId.
struct camera_event_record {
    int32_t cam_id;
    int32_t enable;
    int32_t tri_channel_mask;
    int32_t tri_actions;
    char reserved[68];
};

// Payload of 3214.
struct camera_io_set {
    int32_t cam_id;
    int32_t enable;
    int32_t type;
};

// Payload of 3216.
struct volume_detect_set {
    int32_t cam_id;
    int32_t enable;
    int32_t type;
    int32_t volume;
    int32_t duration;
    int32_t on_event;
    int32_t off_event;
    int32_t ongoing_event;
};

// Reply 8213 up to its trailing trigger channel text.
struct camera_io_reply {
    int32_t reserved0;
    int32_t cam_id;
    int32_t enable;
    int32_t type;
    int32_t tri_actions;
    int32_t reserved1;
};

// Reply 8215 up to its trailing trigger channel text.
struct volume_detect_reply {
    int32_t reserved0;
    int32_t cam_id;
    int32_t enable;
    int32_t type;
    int32_t volume;
    int32_t duration;
    int32_t on_event;
    int32_t off_event;
    int32_t ongoing_event;
    int32_t tri_actions;
    int32_t reserved1;
};

// Payload of 3231.
struct fisheye_mode_set {
    int32_t chnid;
    int32_t fishmount;
    int32_t fishdisplay;
    int32_t fishcorrect;
    int32_t reserved;
};

// Reply 8232.
struct fisheye_mode_reply {
    int32_t chnid;
    int32_t fishmount;
    int32_t fishdisplay;
    int32_t fishcorrect;
    int32_t result;
};

// Payload of 3373 (without the modes) and 3374.
struct fisheye_camera {
    char ddns[kFisheyeTextSize];
    char ipaddr[kFisheyeTextSize];
    char username[kFisheyeTextSize];
    char password[kFisheyeTextSize];
    int32_t port;
    int32_t transfer;
    int32_t install;
    int32_t display;
};

// Reply 8373.
struct fisheye_camera_check_reply {
    int32_t support;
    int32_t transfer;
    int32_t install;
    int32_t display;
    int32_t stream_cnt;
};

#pragma pack(pop)

static_assert(sizeof(camera_event_record) == 84);
static_assert(sizeof(camera_io_set) == 12);
static_assert(sizeof(volume_detect_set) == 32);
static_assert(sizeof(camera_io_reply) == 24);
static_assert(sizeof(volume_detect_reply) == 44);
static_assert(sizeof(fisheye_mode_set) == 20);
static_assert(sizeof(fisheye_mode_reply) == 20);
static_assert(offsetof(fisheye_camera, port) == 256);
static_assert(sizeof(fisheye_camera) == 272);
static_assert(sizeof(fisheye_camera_check_reply) == 20);

// Size of the 3373 payload: the access data up to the port.
constexpr size_t kFisheyeCheckSize = offsetof(fisheye_camera, transfer);

// Database records of camera events (id = camId 0..63): 0 or -1.
int write_cameraio(const char *db, const camera_event_record *record);
int write_volumedetect(const char *db, const camera_event_record *record);

int on_get_camera_io_event(char *text);
int on_set_camera_io_event(char *text);
int on_get_volume_detect(char *text);
int on_set_volume_detect(char *text);
int on_get_fisheye_mode(char *text);
int on_cgi_set_fisheye_mode(char *text);
int on_cgi_check_fisheye_info(char *text);
int on_cgi_set_fisheye_info(char *text);

// Decoders of the camera event, fisheye and regional counting replies; 1
// when `code` is one of them.
int camera_input_decode_reply(int code, const ReplyReader &reply);
int fisheye_decode_reply(int code, const ReplyReader &reply);
