// Feeds arbitrary request texts to the PTZ resources, with no core
// daemon listening: parsing, the tour, port and speed records and the payloads of every
// handler run on whatever the browser could send. Input: one byte choosing
// the resource, then the request text.
#include <cstdint>

#include "core/ipc_timing.h"
#include "support/fuzz_requests.h"
#include "support/fuzz_root.h"

namespace {

const char *const kPaths[] = {"/5000", "/5001", "/5002", "/5003", "/5004", "/5005", "/5006",
                              "/5007", "/5008", "/5009", "/5010", "/5011", "/5012", "/6050",
                              "/6051", "/6052", "/6053", "/6054", "/6055", "/6056", "/6057"};

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
