// Feeds arbitrary request texts to the alarm resources, with no core
// daemon listening: validation, payload building and the database writes
// of every handler run on whatever the browser could send. Input: one byte
// choosing the resource, then the request text.
#include "support/fuzz_root.h"

namespace {

const char *const kPaths[] = {"/6020", "/6021", "/6022", "/6023", "/6024", "/6025",
                              "/6026", "/6027", "/6028", "/6029", "/6032", "/6033",
                              "/6034", "/6060", "/6061", "/6062", "/6063", "/6064"};

} // namespace

FUZZ_MODULE_REQUESTS(kPaths)
