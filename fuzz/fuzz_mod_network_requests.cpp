// Feeds arbitrary request texts to the network resources, with no core
// daemon listening: parsing, the record updates and the payloads of every
// handler run on whatever the browser could send. Input: one byte choosing
// the resource, then the request text.
#include <cstdint>

#include "core/ipc_timing.h"
#include "support/fuzz_requests.h"
#include "support/fuzz_root.h"

namespace {

const char *const kPaths[] = {"/7033", "/7034", "/7040", "/7041", "/7042",
                              "/7043", "/7044", "/7070", "/7071", "/7096"};

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
    fuzz_dispatch_request(kPaths, data, size);
    return 0;
}
