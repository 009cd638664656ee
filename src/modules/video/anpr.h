// Licence plate recognition: the plate list pages, the plate mode events
// with their actions and schedules, and the camera-side settings.
#pragma once

#include "core/reply_reader.h"
#include "modules/video/anpr_records.h"
#include "modules/video/vca_records.h"

// Plate list.
int on_set_anpr_del_lpr_plate(char *text);
int on_set_anpr_add_lpr_plate(char *text);
int on_set_anpr_update_lpr_plate(char *text);

// Plate mode events.
int on_get_anpr_mode_params(char *text);
int on_set_anpr_mode_params(char *text);

// Camera settings, support, wildcards and state.
int on_get_anpr_settings(char *text);
int on_set_anpr_settings(char *text);
int on_get_anpr_support_anpr(char *text);
int on_get_ipc_anpr_wildcards(char *text);
int on_set_ipc_anpr_wildcards(char *text);
int on_get_ipc_anpr_state(char *text);

// The decoder of a plate recognition reply code; 1 when `code` is one (the
// decoder has run), else 0.
int anpr_decode_reply(int code, const ReplyReader &reply);

// Mode event records (kind kRecAnprEvent) of modes 0..2: kRecFound,
// kRecAbsent (record zeroed) or -1, also for a channel outside 0..63 or
// another mode; the write stores the record under its own chnid.
int read_anpr_event(const char *db, smart_event_record *record, int chnid, int mode);
int write_anpr_event(const char *db, const smart_event_record *record, int mode);
// The record id of (chnid, mode), mode -1..2.
constexpr int anpr_event_id(int chnid, int mode) { return (mode + 1) << 8 | chnid; }
