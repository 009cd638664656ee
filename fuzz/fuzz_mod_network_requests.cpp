// Feeds arbitrary request texts to the network resources, with no core
// daemon listening: parsing, the record updates and the payloads of every
// handler run on whatever the browser could send. Input: one byte choosing
// the resource, then the request text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/ipc_timing.h"
#include "front/cgi_env.h"
#include "front/dispatchreq.h"
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
    if (size < 1)
        return 0;
    const char *path = kPaths[data[0] % (sizeof kPaths / sizeof kPaths[0])];
    std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);
    DispatchWebReq(path, text.data());
    return 0;
}
