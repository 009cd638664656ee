// The core channel timing of the test executables, changeable by a test.
#pragma once

#include "core/ipc_timing.h"

// 1 ms polls (so the default limit of 1000 polls is one second), 2 ms after
// a failed send, 250 send attempts.
constexpr IpcTiming kFastIpcTiming{1, 2, 250};

// What ipc_timing() returns in the test executables; a test that changes it
// restores it (IpcTimingScope).
extern IpcTiming g_test_ipc_timing;

class IpcTimingScope {
public:
    explicit IpcTimingScope(IpcTiming timing) : saved_(g_test_ipc_timing) { g_test_ipc_timing = timing; }
    ~IpcTimingScope() { g_test_ipc_timing = saved_; }
    IpcTimingScope(const IpcTimingScope &) = delete;
    IpcTimingScope &operator=(const IpcTimingScope &) = delete;

private:
    IpcTiming saved_;
};
