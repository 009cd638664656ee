// Wire records of the alarm module: the core message payloads of the
// recorder's and the cameras' alarm inputs and outputs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/alarm_db.h"

constexpr int kMsgAlarmInChanged = 1404;
constexpr int kMsgAlarmOutChanged = 1405;
constexpr int kMsgAlarmOutSwitch = 1409;
constexpr int kMsgAlarmInsChanged = 1415;
constexpr int kMsgCameraAlarmInsChanged = 1417;
constexpr int kMsgCameraAlarmOutsChanged = 1418;
constexpr int kMsgGetCameraAlarmOut = 3296;
constexpr int kReplyGetCameraAlarmOut = 8296;
constexpr int kMsgGetCameraAlarmIn = 3298;
constexpr int kReplyGetCameraAlarmIn = 8298;
constexpr int kMsgSetCameraAlarmOut = 3324;
constexpr int kMsgSetCameraAlarmIn = 3325;
constexpr int kMsgCameraAlarmOutSwitch = 3352;

#pragma pack(push, 1)

// Request 3298 (chnid and count 4) and reply 8298: a camera's alarm inputs.
struct camera_alarm_in_state {
    int32_t chnid;
    int32_t alarm_enable[kCameraAlarmInputs];
    int32_t alarm_type[kCameraAlarmInputs];
    int32_t alarm_status[kCameraAlarmInputs];
    int32_t count;
};

// Reply 8296 (request 3296 is the chnid alone): a camera's alarm outputs.
struct camera_alarm_out_state {
    int32_t chnid;
    int32_t alarm_type[kCameraAlarmOutputs];
    int32_t alarm_status[kCameraAlarmOutputs];
    int32_t count;
};

// Request 3325: the switches and types of a camera's alarm inputs, for the
// channel and the channels it is copied to.
struct camera_alarm_in_entry {
    int32_t reserved;
    int32_t alarm_enable;
    int32_t alarm_id;
    int32_t alarm_type;
};

struct camera_alarm_in_setting {
    camera_alarm_in_entry entries[kCameraAlarmInputs];
    int32_t count;
    int32_t reserved;
    uint32_t mask_low;
    uint32_t mask_high;
};

// Request 3324: the types of a camera's alarm outputs, as 3325.
struct camera_alarm_out_entry {
    int32_t reserved;
    int32_t alarm_id;
    int32_t alarm_type;
};

struct camera_alarm_out_setting {
    camera_alarm_out_entry entries[kCameraAlarmOutputs];
    int32_t count;
    int32_t reserved;
    uint32_t mask_low;
    uint32_t mask_high;
};

// Request 1409: one of the recorder's alarm outputs switched.
struct alarm_out_switch {
    int32_t id;
    int32_t enable;
};

// Request 3352: a camera's alarm output switched.
struct camera_alarm_out_switch {
    int32_t chnid;
    int32_t alarm_id;
    int32_t state;
};

#pragma pack(pop)

static_assert(sizeof(camera_alarm_in_state) == 56);
static_assert(offsetof(camera_alarm_in_state, alarm_type) == 20);
static_assert(offsetof(camera_alarm_in_state, alarm_status) == 36);
static_assert(offsetof(camera_alarm_in_state, count) == 52);
static_assert(sizeof(camera_alarm_out_state) == 24);
static_assert(offsetof(camera_alarm_out_state, alarm_status) == 12);
static_assert(offsetof(camera_alarm_out_state, count) == 20);
static_assert(sizeof(camera_alarm_in_setting) == 80);
static_assert(offsetof(camera_alarm_in_setting, count) == 64);
static_assert(offsetof(camera_alarm_in_setting, mask_low) == 72);
static_assert(sizeof(camera_alarm_out_setting) == 40);
static_assert(offsetof(camera_alarm_out_setting, count) == 24);
static_assert(offsetof(camera_alarm_out_setting, mask_low) == 32);
static_assert(sizeof(alarm_out_switch) == 8);
static_assert(sizeof(camera_alarm_out_switch) == 12);
