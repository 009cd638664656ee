// Feeds arbitrary request texts to the PTZ resources, with no core daemon
// listening: validation, the tour, port and speed records and the payloads
// of every handler run on whatever the browser could send. Input: one byte
// choosing the resource, then the request text.
#include "support/fuzz_root.h"

namespace {

const char *const kPaths[] = {"/5000", "/5001", "/5002", "/5003", "/5004", "/5005", "/5006",
                              "/5007", "/5008", "/5009", "/5010", "/5011", "/5012", "/6050",
                              "/6051", "/6052", "/6053", "/6054", "/6055", "/6056", "/6057"};

} // namespace

FUZZ_MODULE_REQUESTS(kPaths)
