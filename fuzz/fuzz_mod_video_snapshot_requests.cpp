// Feeds arbitrary request texts to the snapshot, camera event, fisheye and
// regional counting resources, with no core daemon listening. Input: one
// byte choosing the resource, then the request text.
#include "support/fuzz_root.h"

namespace {

const char *const kPaths[] = {"/6174", "/6175", "/6176", "/6177", "/6178", "/6090", "/6091", "/6092",
                              "/6093", "/6130", "/6131", "/6196", "/6197", "/6096", "/6097"};

} // namespace

FUZZ_MODULE_REQUESTS(kPaths)
