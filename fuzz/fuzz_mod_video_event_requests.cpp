// Feeds arbitrary request texts to the OSD, privacy mask, video loss,
// alarm-input schedule and exception resources, with no core daemon
// listening. Input: one byte choosing the resource, then the request text.
#include "support/fuzz_root.h"

namespace {

const char *const kPaths[] = {"/6000", "/6001", "/6002", "/6996", "/6997", "/6018", "/6019",
                              "/6115", "/6116", "/6173", "/6198", "/6014", "/6016", "/6017",
                              "/6094", "/6095", "/6121", "/6122", "/6165", "/6123", "/6125",
                              "/6126", "/6167", "/6170", "/6127", "/6999", "/6998"};

} // namespace

FUZZ_MODULE_REQUESTS(kPaths)
