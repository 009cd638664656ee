// Feeds arbitrary request texts to the online and camera firmware upgrade
// resources, with no core daemon listening: the JSON parsing, the range
// checks, the channel mask and the payloads run on whatever the browser
// could send. Input: one byte choosing the resource, then the request text.
#include "support/fuzz_root.h"

namespace {

const char *const kPaths[] = {"/6082", "/6083", "/6084", "/6085", "/6086", "/6087", "/6088", "/6089"};

} // namespace

FUZZ_MODULE_REQUESTS(kPaths)
