// Feeds arbitrary request texts to the alarm resources, with no core
// daemon listening: validation, payload building and the database writes
// of every handler run on whatever the browser could send. Input: one byte
// choosing the resource, then the request text.
#include <cstdint>

#include "core/ipc_timing.h"
#include "support/fuzz_requests.h"
#include "support/fuzz_root.h"

namespace {

const char *const kPaths[] = {"/6020", "/6021", "/6022", "/6023", "/6024", "/6025",
                              "/6026", "/6027", "/6028", "/6029", "/6032", "/6033",
                              "/6034", "/6060", "/6061", "/6062", "/6063", "/6064"};

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
    return fuzz_dispatch_request(kPaths, data, size);
}
