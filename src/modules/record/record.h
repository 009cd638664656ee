// Record: handlers of the record and holiday table, the module's reply
// callback and its decoders, the holiday and record schedule records and
// the helpers the handlers share.
#pragma once

#include <json-c/json.h>

#include <cstdint>

#include "core/reply_reader.h"
#include "modules/record/record_records.h"

// Holidays.
int on_get_holiday_info(char *text);
int on_set_holiday_info(char *text);

// Record schedules and record modes.
int on_get_record_info(char *text);
int on_set_record_info(char *text);
int on_get_record_mode(char *text);
int on_set_record_mode(char *text);

// Recording parameters, edge storage (ANR) and record streams.
int on_get_record_param(char *text);
int on_set_record_param(char *text);
int on_get_anr_support(char *text);
int on_get_record_stream_info(char *text);

int on_record_ipc_callback(void *context, const char *header, const char *payload);
int on_get_anr_support_cb(const ReplyReader &reply);
int on_get_record_stream_info_cb(const ReplyReader &reply);
int on_set_anr_cb(const ReplyReader &reply);

// Holidays: read_holidays fills all 32 slots by id (a holiday never stored
// reads as zeros with its own id) and stores 32 in `count`; write_holiday
// stores the record under its own id (0..31, else -1). 0 or -1.
int read_holidays(const char *db, holiday_record holidays[kHolidayCount], int *count);
int write_holiday(const char *db, const holiday_record *record);
// Record schedules by channel: kRecFound, kRecAbsent or -1 (zeroed); the
// copy stores one schedule for every channel of the mask at once, 0 or -1.
int read_record_schedule(const char *db, record_schedule *schedule, int chnid);
int copy_record_schedules(const char *db, const record_schedule *schedule, uint32_t mask_low,
                          uint32_t mask_high);

// Shared helpers.
// The channel of a getter's decimal parameter text; -1 for a text that is
// not a number from 0 to 63.
int record_channel_of(const char *text);

// The channels of a setter's "chnid" list: its first `cnt` elements, never
// past the array's end nor past 64. Elements that are not integers are
// skipped; integers outside 0..63 are skipped too, but `last` (0 when none
// was read) holds the last integer read, which the operation log names.
struct RecordChannels {
    int channels[kRecordChannels];
    int count;
    int last;
};
void record_request_channels(json_object *request, int cnt, RecordChannels *out);

inline uint64_t record_channel_bit(int chnid) { return uint64_t{1} << chnid; }

// Core messages sent without waiting: a message with no payload, one
// channel, or a 64-bit mask (low word first).
void record_notify(int code);
void record_notify_channel(int code, int chnid);
void record_notify_mask(int code, uint64_t mask);
// Operation log of a recording change (sub type 204).
void record_send_log(int param_code, int object);
