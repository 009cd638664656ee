// The camera relay: most camera resources turn a JSON request into a fixed
// core payload (through a field table, codecs/wire_fields.h), send it and
// decode the reply in the module's callback.
#pragma once

#include <json-c/json.h>

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
