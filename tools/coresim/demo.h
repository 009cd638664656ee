// The demo device: a small recorder model that answers the core messages
// the program sends. Each module keeps its part of the model in its own
// demo_<module>.cpp and adds its rows (request code -> handler) with
// NVR_DEMO_ROWS; the model keeps its changes for as long as coresim runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <initializer_list>
#include <string>

#include "coresim.h"
#include "front/web_utils.h"

// Appends the replies (and pauses) for `request` to `answer`; appending
// nothing means no reply.
using DemoHandler = void (*)(const CoreMessage &request, Answer &answer);

struct DemoRow {
    int32_t code;
    DemoHandler handler;
};

// Adds rows to the demo table; a request code registered twice stops the
// program at start-up.
void demo_register(const DemoRow *rows, size_t count);
// The demo answer to one message (nothing for a code no module handles).
Answer demo_answer(const CoreMessage &message);

#define NVR_DEMO_ROWS(rows)                                                                                  \
    __attribute__((constructor)) static void rows##_register()                                               \
    {                                                                                                        \
        demo_register(rows, sizeof(rows) / sizeof((rows)[0]));                                               \
    }

// Little-endian int32 values one after the other, the shape of most replies.
std::string demo_int32s(std::initializer_list<int32_t> values);

// The bytes of a record, as a reply payload.
inline std::string demo_bytes(const void *data, size_t size)
{
    return std::string(static_cast<const char *>(data), size);
}

// The request's payload as a `T`; false (and `out` zeroed) when the payload
// is shorter.
template <typename T> bool demo_payload_as(const CoreMessage &request, T *out)
{
    memset(out, 0, sizeof *out);
    if (request.payload.size() < sizeof *out)
        return false;
    memcpy(out, request.payload.data(), sizeof *out);
    return true;
}

// Model parts that more than one module reads.

// Operation log entries (core message 3485) in arrival order, oldest first.
const std::deque<LogRecord> &demo_operation_log();

// The recorder's camera of a channel as the demo LAN sees it: online when
// the camera answers, with its model and firmware ("" when offline).
struct DemoCameraInfo {
    bool online;
    const char *model;
    const char *fwVersion;
};
DemoCameraInfo demo_camera_info(int32_t chnid);

// True when channel `chnid` holds a camera that answers and has alarm
// inputs and outputs of its own.
bool demo_camera_has_alarms(int32_t chnid);

// The recorder's alarm inputs and outputs that are on (bit i = input or
// output i), and those of the cameras' alarm input or output `alarm_id`
// (bit n = channel n).
uint32_t demo_alarm_in_states();
uint32_t demo_alarm_out_states();
uint64_t demo_camera_alarm_in_states(int alarm_id);
uint64_t demo_camera_alarm_out_states(int alarm_id);
