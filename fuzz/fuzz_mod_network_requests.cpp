// Feeds arbitrary request texts to the network resources, with no core
// daemon listening: parsing, the record updates and the payloads of every
// handler run on whatever the browser could send. Input: one byte choosing
// the resource, then the request text.
#include "support/fuzz_root.h"

namespace {

const char *const kPaths[] = {"/7033", "/7034", "/7040", "/7041", "/7042",
                              "/7043", "/7044", "/7070", "/7071", "/7096"};

} // namespace

FUZZ_MODULE_REQUESTS(kPaths)
