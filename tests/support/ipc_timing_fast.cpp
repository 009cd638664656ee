// Core channel timing of the test executables. Linking this definition
// replaces the library's weak one, so the program itself always runs with
// the product values; here the wait limits keep their poll counts but a poll
// is short, and a test may change the values for its own run.
#include "ipc_timing_fast.h"

IpcTiming g_test_ipc_timing = kFastIpcTiming;

IpcTiming ipc_timing() { return g_test_ipc_timing; }
