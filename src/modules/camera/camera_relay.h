// The camera relay: most camera resources turn a JSON request into a fixed
// core payload, send it and turn the reply record back into JSON. Both
// directions are described by field tables, so a resource is a table and
// a few lines.
#pragma once

#include <json-c/json.h>

#include "codecs/wire_fields.h"
#include "core/reply_reader.h"

// A reply decoder of the camera module's callback. `layout` is the row's
// own field table (null for decoders that need none).
using CameraDecoder = int (*)(const ReplyReader &reply, const WireLayout *layout);

// Decodes the first record of the reply with `layout` into one JSON object
// (response kind 1) and sets the done flag to 1. A reply shorter than the
// record is no reply.
int relay_reply_object(const ReplyReader &reply, const WireLayout *layout);

// The common single-channel getter: the request's "chnid" (missing reads
// as 0) must be 0..63, else the JSON error; it is sent as a 4-byte payload
// with `code` and the reply is awaited (JSON error when none comes).
int relay_get_by_chnid(const char *text, int code);
// Sends `length` bytes with `code` and waits for the module's callback;
// writes the error of `error_kind` when no reply came. The final done flag.
int relay_request(int code, const void *payload, int length, int error_kind);
// Sends without waiting.
void relay_notify(int code, const void *payload, int length);
