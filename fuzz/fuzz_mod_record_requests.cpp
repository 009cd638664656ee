// Feeds arbitrary request texts to the record and holiday resources, with
// no core daemon listening: validation, payload building and the database
// writes of every handler run on whatever the browser could send. Input:
// one byte choosing the resource, then the request text.
#include <cstdint>

#include "core/ipc_timing.h"
#include "front/cgi_env.h"
#include "support/fuzz_root.h"

namespace {

const char *const kPaths[] = {"/6030", "/6031", "/6040", "/6041", "/6042",
                              "/6043", "/6044", "/6045", "/6046", "/6047"};

} // namespace

// No daemon: one send attempt and no wait, so each input costs no time.
IpcTiming ipc_timing() { return IpcTiming{0, 0, 1}; }

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz_use_private_root();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz_dispatch_input(kPaths, sizeof kPaths / sizeof kPaths[0], data, size);
    return 0;
}
