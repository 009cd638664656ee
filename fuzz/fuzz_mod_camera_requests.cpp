// Feeds arbitrary request texts to the camera resources, with no core
// daemon listening: validation, payload building and the database writes
// of every handler run on whatever the browser could send. Input: one byte
// choosing the resource, then the request text.
#include <cstdint>

#include "core/ipc_timing.h"
#include "support/fuzz_requests.h"
#include "support/fuzz_root.h"

namespace {

const char *const kPaths[] = {"/2000", "/2001", "/2003", "/2004", "/2005", "/2006", "/2008",
                              "/2009", "/2010", "/2011", "/2012", "/2013", "/2014", "/2015",
                              "/2017", "/2030", "/2031", "/2032", "/2033"};

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
