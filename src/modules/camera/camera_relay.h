// The camera relay: most camera resources turn a JSON request into a fixed
// core payload (through a field table, codecs/wire_fields.h), send it and
// decode the reply in the module's callback.
#pragma once

#include <json-c/json.h>

#include <cstdint>

#include "codecs/channel_db.h"
#include "codecs/json_util.h"
#include "codecs/wire_fields.h"
#include "core/reply_reader.h"

// A reply decoder of the camera module's callback.
using CameraDecoder = int (*)(const ReplyReader &reply);

// The "chnid" of a request to a page that serves the first 16 channels
// only (detail, delete, stream information); false when the text does not
// parse, the key is missing or it is outside 0..15.
bool relay_low_chnid(const char *text, int *chnid);
// Sends `length` bytes with `code` and waits for the module's callback;
// writes the error of `error_kind` when no reply came. The final done flag.
int relay_request(int code, const void *payload, int length, int error_kind);
// Sends without waiting.
void relay_notify(int code, const void *payload, int length);

// The getter of one camera's record: the channel under `key` (0 when
// missing) must be 0..63; it is sent as one int32 with `code` and the
// module's decoder answers. A text that does not parse or a channel out of
// range gets the error of `error_kind` and sends nothing.
int relay_get_channel(const char *text, const char *key, int code, int error_kind);

// The channel under `key` of a parsed request (0 when missing); false
// when the text did not parse or the channel is outside 0..63.
bool relay_request_channel(const JsonPtr &request, const char *key, int *channel);

// The channel numbers 0..63 among the first `limit` elements of `list`, in
// order, into `channels`; the slots after them hold `empty`. Other elements
// are skipped. The number kept.
int relay_channel_list(json_object *list, size_t limit, int32_t channels[kCameraChannels], int32_t empty);

// Decoder answers: writes `answer` as JSON and sets the done flag to 1;
// a null answer (a failed allocation) writes the JSON error instead.
int relay_answer_json(json_object *answer);
// A reply record answered as one JSON object: the fields of its parts in
// order (each part's record_size is the whole record's).
struct RelayRecord {
    const WireLayout *parts;
    size_t count;
};
// A reply shorter than the record counts as no reply.
int relay_record_json(const ReplyReader &reply, const RelayRecord &record);
