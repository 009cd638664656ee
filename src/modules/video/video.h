// Video: handlers of the video table, the module's reply callback and its
// decoders, the motion database records and the helpers the handlers share.
#pragma once

#include <json-c/json.h>

#include <cstdint>

#include "codecs/channel_db.h"
#include "codecs/event_actions.h"
#include "codecs/schedule.h"
#include "core/reply_reader.h"
#include "modules/video/video_records.h"

// Motion settings.
int on_get_movedetect_info(char *text);
int on_set_movedetect_info(char *text);
int on_set_move_action(char *text);
int on_get_motion_map(char *text);
int on_set_motion_basic(char *text);
int on_set_motion_with_schedule(char *text);
int on_set_move_others(char *text);
int on_set_motion_batch(char *text);
// The action dialog of the dialog's own "chnid" (0..63, else nothing is
// done and 0 returned): number of changes (record written plus PTZ list
// stored), or -1 when a database write failed. Writes no response.
int save_motion_dialog_data(json_object *dialog);

// PTZ actions of any event kind.
int on_set_ptz_params(char *text);
int on_get_ptz_params(char *text);
int on_delete_ptz_params(char *text);
int on_update_ptz_params(char *text);
int on_delete_ptz_params_batch(char *text);

// Motion schedules.
int OnGetMotionSchedule(char *text);
int on_get_move_email_sche(char *text);
int on_get_move_effective_sche(char *text);
int on_get_move_ptz_sche(char *text);
int OnSetMotionSchedule(char *text);
int on_set_move_effective_sche(char *text);
int on_set_move_ptz_sche(char *text);
int on_set_move_email_sche(char *text);

// Video-loss and alarm-input schedule getters (their setters belong to the
// alarm pages).
int on_get_videolost_schedule(char *text);
int on_get_videolost_email_sche(char *text);
int on_get_videoloss_ptz_sche(char *text);
int on_get_alarmin_audible_sche(char *text);
int on_get_alarmin_email_sche(char *text);
int on_get_alarmin_effective_sche(char *text);
int on_get_alarmin_ptz_sche(char *text);

int on_video_ipc_callback(void *context, const char *header, const char *payload);
int on_get_motion_map_cb(const ReplyReader &reply);

// Motion records (kind kRecMotion, id = chnid): kRecFound, kRecAbsent
// (record zeroed) or -1; the write stores the record under its own chnid.
int read_motion(const char *db, motion_record *record, int chnid);
int write_motion(const char *db, const motion_record *record);

// Motion schedules of one channel by kind (a kRecMotion...Schedule value).
int read_motion_schedule_kind(const char *db, int kind, schedule_record *schedule, int chnid);
int write_motion_schedule_kind(const char *db, int kind, const schedule_record *schedule, int chnid);

// Shared helpers.
// Stores `text` (cut to 64 characters) and rebuilds the mask from it.
void motion_set_tri_channels(motion_record *record, const char *text);
// Message 1403 with the channel.
void video_notify_motion(int chnid);
// Operation log of a motion change of `chnid` (parameter code 909).
void video_send_motion_log(int chnid);
// Batch operation log (3509, parameter code 909) with a 64-bit channel mask.
void cgi_send_copy_log(uint32_t mask_low, uint32_t mask_high);
// The core messages of a motion copy from `chnid`: 3251, 1410, 3212 and,
// when enable_ms is 1, 3252, each listing the masked channels.
void video_send_motion_copy(const char *table, int sensitivity, int chnid, int enable_ms, uint64_t mask);
// Copies channel `record->chnid`'s motion record as given, and its stored
// schedules and action lists, to every other masked channel; 0 or -1.
int copy_motion_setting(const motion_record &record, uint64_t mask);
// 3212 {chnid, enable_ms == 1, no list}, and 3209 with the all-day schedule
// when enable_ms is 1.
void video_send_motion_sched(int chnid, int enable_ms);

// The action tables of motion events.
constexpr EventActionTables kMotionActionTables = {"motion_white_led_params", "motion_whiteled_esche",
                                                   "motion_http_notification_sche",
                                                   "motion_http_notification_params", kPtzTypeMotion};
// The stored schedule (kind, chnid) onto every other masked channel; a
// source never stored leaves the targets never stored as well. 0 or -1.
int copy_schedule_kind(int kind, int chnid, uint64_t mask);
// Stores each schedule the request holds under its kind for `chnid`; 0, or
// -1 when a write failed.
int save_event_schedules(json_object *request, const EventScheduleKey *schedules, size_t count, int chnid);
