// Alarm inputs and outputs: handlers of the alarm table, the module's reply
// callback and its decoders, and the helpers the handlers share.
#pragma once

#include <json-c/json.h>

#include <cstdint>

#include "codecs/alarm_db.h"
#include "core/reply_reader.h"
#include "modules/alarm/alarm_records.h"

// The recorder's alarm outputs.
int on_get_alarm_outputs(char *text);
int on_get_alarm_output(char *text);
int on_set_alarm_output(char *text);
int on_set_alarm_output_switch(char *text);

// The recorder's alarm inputs.
int on_get_alarm_inputs(char *text);
int on_get_alarm_input(char *text);
int on_set_alarm_input_schedule(char *text);
int on_set_alarm_input(char *text);
int on_set_alarm_input_info(char *text);
int on_get_nvr_alarm_input(char *text);
int on_set_nvr_alarm_input(char *text);

// Cameras' alarm inputs and outputs.
int on_get_camera_alarm_input(char *text);
int on_set_camera_alarm_input(char *text);
int on_get_camera_alarm_output(char *text);
int on_set_camera_alarm_output(char *text);
int on_set_camera_alarm_output_switch(char *text);

// Names of every alarm input and output.
int on_get_all_alarmout_names(char *text);
int on_get_all_alarmin_names(char *text);

int on_alarm_ipc_callback(void *context, const char *header, const char *payload);
int on_get_camera_alarm_input_cb(const ReplyReader &reply);
int on_get_camera_alarm_output_cb(const ReplyReader &reply);

// Core messages the handlers share: one id, or a 64-bit mask (low word first).
void alarm_notify_id(int code, int id);
void alarm_notify_mask(int code, uint64_t mask);
// Operation log of an alarm input (parameter code 910) or output (911)
// change: object id + 1.
constexpr int kLogParamAlarmIn = 910;
constexpr int kLogParamAlarmOut = 911;
void alarm_send_log(int param_code, int id);
// Batch operation log of a copy from `id`, with the mask of the copies.
void alarm_send_copy_log(int param_code, int id, uint64_t mask);

// The ids 0 to limit - 1 of the first "copyCnt" elements of "copyChn",
// other than `source`; elements past the end of the list are not read.
uint32_t alarm_copy_mask(json_object *request, int source, int limit);

// Event actions of the recorder's alarm input `record->id`: the dialog's
// schedules, action lists and record fields. Number of changes to the
// record (its fields, its alarm-output texts, a stored PTZ list), or -1
// when a write failed. The record itself is not written.
int save_alarm_in_dialog(json_object *dialog, alarm_in_record *record);
// The setting of input `source.id` (the record as given, its schedules and
// action lists) onto every other input of `mask`; 0 or -1.
int copy_alarm_in_setting(const alarm_in_record &source, uint32_t mask);
// Adds the actions of input `record.id` to the reply of its page.
void add_alarm_in_actions(json_object *reply, const alarm_in_record &record);

// Event actions of a camera's alarm input, stored with its event record:
// 1 when the record was written, 0 when nothing changed, -1 on a failed write.
int save_camera_alarm_in_dialog(json_object *dialog, int chnid, int alarm_id);
// The whole setting of the camera's alarm input onto the same input of
// every other channel of `mask`; 0 or -1.
int copy_camera_alarm_in_setting(int chnid, int alarm_id, uint64_t mask);
// Adds the stored setting of a camera's alarm input to `entry`, from
// "alarmName" on.
void add_camera_alarm_in_setting(json_object *entry, int chnid, int alarm_id);

// Answers "OK" when `result` is 0, else the text error.
int alarm_answer_stored(int result);
