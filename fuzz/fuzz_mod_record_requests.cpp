// Feeds arbitrary request texts to the record and holiday resources, with
// no core daemon listening: validation, payload building and the database
// writes of every handler run on whatever the browser could send. Input:
// one byte choosing the resource, then the request text.
#include "support/fuzz_root.h"

namespace {

const char *const kPaths[] = {"/6030", "/6031", "/6040", "/6041", "/6042",
                              "/6043", "/6044", "/6045", "/6046", "/6047"};

} // namespace

FUZZ_MODULE_REQUESTS(kPaths)
