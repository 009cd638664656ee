// Wire records of the PTZ module: the core messages of the PTZ pages, the
// camera's PTZ state and basic settings, and the database records of tours,
// serial ports and default speeds.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/camera_queries.h"

constexpr int kPtzReplyOffset = 5000;

// Fire-and-forget commands.
constexpr int kMsgPtzCmd = 1251;
constexpr int kMsgPtzPortChanged = 1252;
constexpr int kMsgPtzPreset = 1253;
constexpr int kMsgPtzPattern = 1254;
constexpr int kMsgPtzTourClear = 1257;
constexpr int kMsgPtzTourRun = 1260;
constexpr int kMsgPtzTourStop = 1261;
constexpr int kMsgPtzTourSet = 1264;
constexpr int kMsgPtzPresetCall = 1266;
constexpr int kMsgPtzZoom = 1267;
constexpr int kMsgFishPtzTourSet = 1269;
// Request-reply.
constexpr int kMsgPtzInfo = 1265;
constexpr int kMsgFishPtzInfo = 1268;
constexpr int kMsgPtzBasicGet = 1270;
constexpr int kMsgPtzBasicSet = 1271;
constexpr int kMsgPtzControl = 3361;
constexpr int kMsgPtzLedStatus = 3363;
constexpr int kReplyPtzSupport = kMsgGetPtzSupport + kPtzReplyOffset;
constexpr int kReplyPtzInfo = kMsgPtzInfo + kPtzReplyOffset;
constexpr int kReplyFishPtzInfo = kMsgFishPtzInfo + kPtzReplyOffset;
constexpr int kReplyPtzBasicGet = kMsgPtzBasicGet + kPtzReplyOffset;
constexpr int kReplyPtzBasicSet = kMsgPtzBasicSet + kPtzReplyOffset;
constexpr int kReplyPtzSpeedParam = 8226;
constexpr int kReplyPtzControl = kMsgPtzControl + kPtzReplyOffset;
constexpr int kReplyPtzLedStatus = kMsgPtzLedStatus + kPtzReplyOffset;

// Operation log values of the PTZ pages.
constexpr int kPtzLogSubType = 206;
constexpr int kPtzLogMove = 900;
constexpr int kPtzLogSetting = 904;

// Action codes the module itself gives meaning to.
constexpr int32_t kPtzActionSetPreset = 22;
constexpr int32_t kPtzActionFocusNear = 21;
constexpr int32_t kPtzActionAutoFocus = 12;

constexpr int kPtzChannels = 64;
constexpr int kPtzMaxPresetId = 300;
constexpr int kPtzPresets = 300;
constexpr int kPtzTours = 8;
constexpr int kPtzTourPoints = 48;
constexpr int kPtzPatterns = 4;
constexpr int kPtzTourStatusGroups = 5;
constexpr int kPtzAutoscanStatus = 5;
constexpr size_t kPtzPresetName = 32;
// Names are cut to 30 characters in the command and to 31 in the fisheye
// preset parameter.
constexpr size_t kPtzCmdNameChars = 30;

#pragma pack(push, 1)

// Messages 1251 (command), 1253 (preset operation) and 1254 (pattern).
struct ptz_cmd_record {
    int32_t channel;
    int32_t action;
    int32_t preset_id; // or the pattern id
    int32_t pan_speed;
    int32_t tilt_speed;
    int32_t zoom_speed;
    int32_t focus_speed;
    int32_t reserved;
    char name[kPtzPresetName];
    int32_t fisheye_type;
    int32_t stream_id;
};
static_assert(sizeof(ptz_cmd_record) == 72);
static_assert(offsetof(ptz_cmd_record, name) == 32);
static_assert(offsetof(ptz_cmd_record, fisheye_type) == 64);

// Messages 1260 (run), 1261 (stop) and 1257 (clear).
struct ptz_tour_cmd {
    int32_t channel;
    int32_t tour_id;
    int32_t reserved[4];
    int32_t fisheye_type;
    int32_t stream_id;
};
static_assert(sizeof(ptz_tour_cmd) == 32);
static_assert(offsetof(ptz_tour_cmd, fisheye_type) == 24);

struct ptz_tour_point {
    int32_t preset;
    int32_t time;
    int32_t speed;
};
static_assert(sizeof(ptz_tour_point) == 12);

// Message 1264: one tour of a PTZ camera.
struct ptz_tour_set {
    int32_t channel;
    int32_t tour_id;
    int32_t count;
    ptz_tour_point points[kPtzTourPoints];
};
static_assert(sizeof(ptz_tour_set) == 588);

// One tour of a fisheye camera's stream: three parallel arrays.
struct fish_ptz_tour {
    int32_t preset[kPtzTourPoints];
    int32_t time[kPtzTourPoints];
    int32_t speed[kPtzTourPoints];
};

// Message 1269: only the addressed tour is filled.
struct fish_ptz_tour_set {
    int32_t channel;
    int32_t stream_id;
    int32_t tour_index;
    fish_ptz_tour tours[kPtzTours];
};
static_assert(sizeof(fish_ptz_tour_set) == 4620);
static_assert(offsetof(fish_ptz_tour_set, tours) == 12);

// Message 1271 and the reply of 1270.
struct ptz_basic_setting {
    int32_t status; // reply only
    int32_t chnId;
    int32_t zoomStatus;
    int32_t panTiltStatus;
    int32_t presetStatus;
    int32_t patrolStatus;
    int32_t patternStatus;
    int32_t autoScanStatus;
    int32_t presetFreezing;
    int32_t presetSpeed;
    int32_t manualSpeed;
    int32_t patrolRecovering;
    int32_t patrolRecoveryTime;
    int32_t focusMode;
    int32_t minFocusDistance;
    int32_t resumeTime;
    int32_t fanWorkingMode;
    char channelMask[65]; // request only
    char reserved[3];
};
static_assert(sizeof(ptz_basic_setting) == 136);
static_assert(offsetof(ptz_basic_setting, channelMask) == 68);

struct ptz_preset_state {
    int32_t enable;
    char name[kPtzPresetName];
};

// A tour of the state record: preset ids, then timeouts, then speeds.
struct ptz_tour_state {
    int32_t preset_id[kPtzTourPoints];
    int32_t timeout[kPtzTourPoints];
    int32_t speed[kPtzTourPoints];
};

// Replies 6265 and 6268: a camera's presets, tours, patterns and what runs.
struct ptz_state_record {
    ptz_preset_state presets[kPtzPresets];
    ptz_tour_state tours[kPtzTours];
    int32_t pattern_enable[kPtzPatterns];
    int32_t tour_status[kPtzTourStatusGroups][kPtzTours];
    int32_t autoscan_status[kPtzAutoscanStatus];
};
static_assert(sizeof(ptz_state_record) == 15604);
static_assert(offsetof(ptz_state_record, tours) == 2700 * 4);
static_assert(offsetof(ptz_state_record, pattern_enable) == 3852 * 4);
static_assert(offsetof(ptz_state_record, tour_status) == 3856 * 4);
static_assert(offsetof(ptz_state_record, autoscan_status) == 3896 * 4);

// Database tour table of a channel (kRecPtzTour, id = channel).
struct ptz_tour_table {
    ptz_tour_point points[kPtzTours][kPtzTourPoints];
};
static_assert(sizeof(ptz_tour_table) == 4608);

// Database serial port record of a channel (kRecPtzPort, id = channel).
struct ptz_port_record {
    int32_t channel;
    int32_t baudRate;
    int32_t dataBits;
    int32_t stopBits;
    int32_t parityType;
    int32_t protocol;
    int32_t address;
    int32_t reserved;
    int32_t connectType;
};
static_assert(sizeof(ptz_port_record) == 36);

// Database default speeds of a channel (kRecPtzSpeed, id = channel).
struct ptz_speed_record {
    int32_t channel;
    int32_t pan_speed;
    int32_t tilt_speed;
    int32_t zoom_speed;
    int32_t focus_speed;
};
static_assert(sizeof(ptz_speed_record) == 20);

#pragma pack(pop)
