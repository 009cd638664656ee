// Timing of the core request/reply channel: the poll step that the wait
// limits are counted in, the pause after a failed send and the number of
// send attempts.
//
// The program uses the values below. ipc_timing() is defined weak in the
// library, so a test executable that links a definition of its own (a fast
// one, so that a missing reply costs a second, not 40) replaces it; nothing
// read at run time can change them.
#pragma once

struct IpcTiming {
    int poll_ms = 40;
    int send_pause_ms = 10;
    int send_attempts = 3000;
};

IpcTiming ipc_timing();
