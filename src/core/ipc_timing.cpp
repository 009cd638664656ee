#include "core/ipc_timing.h"

// Weak, so that only an executable that links its own definition (the test
// executables) runs with other values.
__attribute__((weak)) IpcTiming ipc_timing() { return IpcTiming{}; }
