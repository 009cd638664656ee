// Video: handlers of the video table, the module's reply callback and its
// decoders, the motion database records and the helpers the handlers share.
#pragma once

#include <json-c/json.h>

#include <cstdint>

#include "codecs/schedule.h"
#include "core/reply_reader.h"
#include "modules/video/video_records.h"

// Motion settings.
int on_get_movedetect_info(char *text);
int on_set_movedetect_info(char *text);
int on_set_move_action(char *text);
int on_get_motion_map(char *text);

// Motion schedules.
int OnGetMotionSchedule(char *text);
int on_get_move_email_sche(char *text);
int on_get_move_effective_sche(char *text);
int on_get_move_ptz_sche(char *text);
int OnSetMotionSchedule(char *text);
int on_set_move_effective_sche(char *text);
int on_set_move_ptz_sche(char *text);
int on_set_move_email_sche(char *text);

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
bool video_channel_valid(int chnid);
// Stores `text` (cut to 64 characters) and rebuilds the mask from it.
void motion_set_tri_channels(motion_record *record, const char *text);
// Message 1403 with the channel.
void video_notify_motion(int chnid);
// Operation log of a motion change of `chnid` (parameter code 909).
void video_send_motion_log(int chnid);
// 3212 {chnid, enable_ms == 1, no list}, and 3209 with the all-day schedule
// when enable_ms is 1.
void video_send_motion_sched(int chnid, int enable_ms);
