// Set-up shared by the fuzz targets that run handlers or decoders.
#pragma once

// Points NVR_ROOT at a new private folder under /tmp, with the database and
// temporary folders in it, so database writes and files stay there; the
// folder is removed when the fuzzer exits. False when it cannot be made.
bool fuzz_make_private_root();

// The private root, and the response output at /dev/null.
void fuzz_use_private_root();

#include <cstddef>
#include <cstdint>

#include "core/ipc_timing.h"

// Dispatches one fuzz input to a module's resources: the first byte picks
// one of the `count` paths, the rest is the request text.
void fuzz_dispatch_input(const char *const *paths, size_t count, const uint8_t *data, size_t size);

// The whole of a module's request fuzz target: no core daemon (one send
// attempt and no wait, so each input costs no time), a private root, and
// each input dispatched to one of `paths`.
#define FUZZ_MODULE_REQUESTS(paths)                                                                          \
    IpcTiming ipc_timing() { return IpcTiming{0, 0, 1}; }                                                    \
    extern "C" int LLVMFuzzerInitialize(int *, char ***)                                                     \
    {                                                                                                        \
        fuzz_use_private_root();                                                                             \
        return 0;                                                                                            \
    }                                                                                                        \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)                                  \
    {                                                                                                        \
        fuzz_dispatch_input(paths, sizeof paths / sizeof paths[0], data, size);                              \
        return 0;                                                                                            \
    }
