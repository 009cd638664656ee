// Smart analytics: the rule pages, the analytics settings and the smart
// event actions and schedules of the video table.
#pragma once

#include <json-c/json.h>

#include <cstdint>

#include "codecs/event_schedule_db.h"
#include "codecs/schedule.h"
#include "core/reply_reader.h"
#include "modules/video/vca_records.h"

// Rule pages.
int on_get_vca_region(char *text);
int on_set_vca_region(char *text);
int on_get_vca_motion(char *text);
int on_set_vca_motion(char *text);
int on_get_vca_tamper(char *text);
int on_set_vca_tamper(char *text);
int on_get_vca_line(char *text);
int on_set_vca_line(char *text);
int on_get_vca_loitering(char *text);
int on_set_vca_loitering(char *text);
int on_get_vca_human(char *text);
int on_set_vca_human(char *text);
int on_get_vca_people(char *text);
int on_set_vca_people(char *text);
int on_get_vca_settings(char *text);
int on_set_vca_settings(char *text);
int on_vca_clear_people_count(char *text);
int on_get_vca_support(char *text);
int on_set_vca_leftremove(char *text);
int on_get_vca_leftremove(char *text);
int on_get_ipc_vca_line2(char *text);
int on_set_ipc_vca_line2(char *text);
int on_get_ipc_vca_settings2(char *text);
int on_set_ipc_vca_settings2(char *text);

// Smart event actions and schedules.
int on_get_smart_event_schedule(char *text);
int on_set_smart_event_schedule(char *text);
int on_set_vca_allrtm_others(char *text);
int on_get_vca_common_para(char *text);

// The decoder of a smart analytics reply code; 1 when `code` is one
// (the decoder has run), else 0.
int vca_decode_reply(int code, const ReplyReader &reply);

// Smart event records (kind kRecSmartEvent): kRecFound, kRecAbsent (record
// zeroed) or -1, also for a channel outside 0..63 or an index outside 0..8;
// the write stores the record under its own chnid.
int read_smart_event(const char *db, smart_event_record *record, int chnid, int index);
int write_smart_event(const char *db, const smart_event_record *record, int index);
// The schedules of one smart event by kind (kRecSmartEvent...Schedule).
int read_smart_event_schedule(const char *db, int kind, schedule_record *schedule, int chnid, int index);
int write_smart_event_schedule(const char *db, int kind, const schedule_record *schedule, int chnid,
                               int index);
// Copies channel `chnid`'s whole action setting of event `index` (record,
// schedules, white LED and HTTP tables, PTZ list) to the other masked
// channels; 0 or -1. The last argument is unused (0).
int copy_smart_event_action(int index, int chnid, uint32_t mask_low, uint32_t mask_high, int reserved);
// Saves the action dialog of event `index` for the dialog's own "chnid"
// (0..63, else nothing is done and 0 returned), copies it to the channels
// of `copy_mask` and tells the core daemon (1412). The number of changes,
// or -1 when a database write failed.
int save_smart_event_dialog_data(int index, json_object *dialog, uint64_t copy_mask);
// Message 1412 with the channel mask.
void video_notify_smart_event(uint64_t mask);
