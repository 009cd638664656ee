// Feeds arbitrary request texts to the licence plate resources, with no
// core daemon listening: plate lists of any shape and count (decoded and
// stored in the plate database), mode dialogs, and the settings and
// wildcards built from whatever the browser could send. Input: one byte
// choosing the resource, then the request text.
#include "support/fuzz_root.h"

namespace {

const char *const kPaths[] = {"/6179", "/6180", "/6181", "/6182", "/6183", "/6184",
                              "/6185", "/6186", "/6189", "/6190", "/6191"};

} // namespace

FUZZ_MODULE_REQUESTS(kPaths)
