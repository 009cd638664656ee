// Feeds arbitrary request texts to the network disk, quota, group and
// eSATA resources and to the capture download, with no core daemon
// listening. Input: one byte choosing the resource, then the request text.
#include "support/fuzz_root.h"

namespace {

const char *const kPaths[] = {"/6200", "/6201", "/6202", "/6203", "/6204", "/6206", "/6207",
                              "/6209", "/6210", "/6221", "/6224", "/8007", "/8010"};

} // namespace

FUZZ_MODULE_REQUESTS(kPaths)
