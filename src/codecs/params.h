// Request parameter access: JSON parameter texts, name=value texts, and the
// two generic decoders of a bare status reply.
//
// Value rules (shared by every JSON reader of the program, see the json_*
// accessors below). A key holding a value of the wrong type is treated as
// a missing key; nothing is read from a value that is not there.
// - Integer: a JSON number (an integer, or a floating number truncated and
//   clamped to the int range), a boolean (0 or 1), or a string that json-c
//   reads as a decimal number ("12" and " 12" give 12, "12abc" gives 12).
//   A string without a leading number ("abc", ""), null, an object or an
//   array is absent.
// - Text: a string as it is, or the JSON text of a number or a boolean
//   ("3", "1.5", "true"). Null, an object or an array is absent.
// - Array: only a JSON array; any other value is absent.
#pragma once

#include <json-c/json.h>

#include <cstddef>
#include <cstdint>
#include <ctime>

#include "core/reply_reader.h"

// The member `key` of `object`; null when either is null, `object` is not a
// JSON object, the key is missing or its value is JSON null.
json_object *json_get_member(json_object *object, const char *key);
// The integer of `value` by the rule above; false (and `out` unchanged)
// when the value is absent.
bool json_value_int(json_object *value, int *out);
// The text of `value` by the rule above; null when absent.
const char *json_value_text(json_object *value);
// `value` when it is an array, else null.
json_object *json_value_array(json_object *value);
// Length of `array`; 0 when it is not an array.
size_t json_array_size(json_object *array);
// Element `index` of `array`; null when it is not an array, the index is
// past its end or the element is JSON null.
json_object *json_array_item(json_object *array, size_t index);

// The integer under `key` of `object`, or `fallback` when it is absent.
int json_member_int(json_object *object, const char *key, int fallback = 0);
// The text under `key` of `object`; null when absent.
const char *json_member_text(json_object *object, const char *key);

// Parses `text`; null when it is null or not valid JSON. The caller owns
// the result (wrap it in a JsonPtr).
json_object *get_request_tokener_json_object(const char *text);

// Parses `text` and stores the integer under `key` in `out`. 0, or -1 with
// `out` unchanged for a null argument, an unparseable text or an absent key.
int on_cgi_get_value_by_json(const char *text, const char *key, int *out);
// 0 after storing the integer under `key`; -1 (`out` unchanged) when absent.
int on_cgi_get_int_from_json(json_object *object, const char *key, int *out);
// 0 after copying the text under `key` into `buffer` (at most size - 1
// characters, terminated); -1 (buffer unchanged) when absent or size is 0.
int on_cgi_get_string_from_json(json_object *object, const char *key, char *buffer, size_t size);

// Generic decoder of a reply holding an int32 status: writes the JSON
// {"status": <status>} and sets the done flag to 1. With `count` (records of
// 4 bytes) at most 0, or a payload shorter than 4 bytes, it writes nothing
// and leaves the flag, so the waiting handler writes its error. 0 when
// written, -1 otherwise.
int on_cgi_common_json_cb(int count, const ReplyReader &reply);
// The same for a payload the caller has sized: `count` int32 records.
int on_cgi_common_json_cb(int count, const char *payload);

// Decoder of a reply whose first int32 is a result: writes the JSON
// {"res": <result>} and sets the done flag to 1; a payload shorter than 4
// bytes is no reply (nothing written, -1).
int on_cgi_res_json_cb(const ReplyReader &reply);

// Writes "CGI OK status:[s]" (or "CGI ERROR status:[s]" for a negative
// status), then ", data:[d]" when `data` is given, cut to 255 characters,
// as text, and sets the done flag to 1. Returns 1.
int on_cgi_common_text_cb(void *context, int status, const char *data);

// 1 for the licence plate camera types of our own make (11 to 14), else 0.
int on_cgi_is_zq_lpr(int type);

// One name=value pair of a maintenance option text.
#pragma pack(push, 1)
struct KeyValueRecord {
    char name[64];
    char value[64];
};
#pragma pack(pop)
static_assert(sizeof(KeyValueRecord) == 128);
static_assert(offsetof(KeyValueRecord, value) == 64);

// Splits "n1=v1&n2=v2..." into up to `count` records, in order. Every
// character taken into a record must lie in the first 64 characters of the
// text, and a name keeps room for its terminator (at most 63 characters);
// otherwise -1. `count` 0 (or a null argument) gives -1, a negative count 0
// with nothing filled. Records past the end of the text are left as they
// were (callers pass a zeroed array).
int ui_decodeing(const char *text, KeyValueRecord *records, int count);

// A parameter text that is one decimal number (as a few resources take
// their id): true with the value, false for an empty or non-numeric text
// or one beyond the int range. Trailing text after the digits is ignored.
bool param_text_int(const char *text, int *out);

// A parameter text that is a whole date and time "%Y-%m-%d %H:%M:%S": true
// with its broken-down time (everything else zero), false for a null text,
// one that does not parse or one with text after the time.
bool param_time_text(const char *text, struct tm *out);

// Number of '=' in the first 255 characters of `text`; 0 for null.
int get_httpoption_argnum(const char *text);

// Copies what follows the first `pattern` in `text` into `out`, up to the
// end of the text or a '?'. `count` is the size of `out`: at most count - 1
// characters are copied and the copy is always terminated. -1 for a null or
// empty pattern, a null text or output, count <= 0, or no match.
int get_section_info(const char *text, const char *pattern, char *out, int count);
