// PTZ: handlers of the PTZ table, the module's reply callback and its
// decoders, and the helpers the handlers share.
#pragma once

#include <json-c/json.h>

#include <cstdint>

#include "codecs/json_util.h"
#include "core/reply_reader.h"

// Movement, presets, patterns and the camera's PTZ state and settings.
int on_send_ptz_cmd(char *text);
int on_preset_op(char *text);
int on_set_ptz_tour_run(char *text);
int on_set_ptz_tour_stop(char *text);
int on_set_ptz_pattern(char *text);
int on_get_ptz_info(char *text);
int on_set_ptz_preset_call(char *text);
int on_set_ptz_zomm(char *text);
int on_set_ipc_speed(char *text);
int on_cgi_set_ptz_control(char *text);
int on_cgi_get_led_status(char *text);
int on_cgi_get_ptz_basic(char *text);
int on_cgi_set_ptz_basic(char *text);

// Serial ports, PTZ support and default speeds. check_ptzport_info: 0 when
// every key of a port request is present and in range, else -1.
int check_ptzport_info(json_object *request);
int on_get_ptzport_info(char *text);
int on_set_ptzport_info(char *text);
int on_get_ptzsupport_info(char *text);
int on_get_ptz_speed(char *text);
int on_set_ptz_speed(char *text);

// Tours kept in the database and sent to the camera.
int on_set_ptz_tour_set(char *text);
int on_set_fish_ptz_tour_set(char *text);
int on_set_ptz_tour_clear(char *text);

// The reply callback finds each reply code's decoder in one table.
using PtzDecoder = int (*)(const ReplyReader &reply);
int on_ptz_ipc_callback(void *context, const char *header, const char *payload);
int on_ip_ptzsupport_cb(const ReplyReader &reply);
int on_ptz_reply_info(const ReplyReader &reply);
int on_cgi_get_ptz_basic_cb(const ReplyReader &reply);
int on_cgi_set_ptz_control_cb(const ReplyReader &reply);
int on_cgi_get_led_status_cb(const ReplyReader &reply);

// ---- Shared by the handlers (ptz_ipc.cpp) ---------------------------------

// Sends `code` and waits for the module's callback; writes the generic
// error of `error_kind` when no decoder answered. The final done flag.
int ptz_request(int code, const void *payload, int length, int error_kind);
// Sends without waiting.
void ptz_notify(int code, const void *payload, int length);
// The operation log entry of a PTZ page for camera `channel` + 1.
void ptz_log(int param_code, int channel);
// Sends the camera parameter `key` = `value` of the PTZ page ("vsetting.html")
// and waits; the reply answers "OK", no reply the text error.
int ptz_send_camera_param(int channel, const char *key, const char *value);
// The default speed parameter of a movement: max(1, speed - 1).
int ptz_send_speed_param(int channel, int speed);
// Writes `answer` as JSON and sets the done flag to 1 (for decoders).
int ptz_write_json_done(json_object *answer);
// Writes the text "OK".
int ptz_answer_ok();

// ---- Request parsing -------------------------------------------------------

// The request's JSON object; null when the text is missing or not JSON.
JsonPtr ptz_parse(const char *text);
// True with the integer under `key` when it is present.
bool ptz_int(json_object *request, const char *key, int *out);
// True when `channel` is one of the recorder's 64 channels.
bool ptz_channel_valid(int channel);
// True when "channelId" names a channel below "max_cameras" (at most 64).
bool ptz_camera_channel(json_object *request, const char *key, int *channel);
