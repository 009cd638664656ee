// Feeds arbitrary request texts to the maintenance resources of the system
// module (restart, restore, configuration, firmware, branding), with no
// core daemon and no device tools: whatever a request says, no path outside
// the upload is read, run or deleted. Input: one byte choosing the
// resource, then the request text.
#include "support/fuzz_root.h"

namespace {

// "/1034" is left out: it pauses half a second by design.
const char *const kPaths[] = {"/1004", "/1005", "/1006", "/1007", "/1008", "/1010",
                              "/1011", "/1013", "/1019", "/1023", "/1024", "/oem"};

} // namespace

FUZZ_MODULE_REQUESTS(kPaths)
