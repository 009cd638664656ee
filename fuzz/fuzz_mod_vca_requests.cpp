// Feeds arbitrary request texts to the smart analytics resources, with no
// core daemon listening: rule filling (regions, polygons, lines, boxes,
// position texts), the action dialogs and the database writes of every
// handler run on whatever the browser could send. Input: one byte choosing
// the resource, then the request text.
#include "support/fuzz_root.h"

namespace {

const char *const kPaths[] = {"/6132", "/6133", "/6134", "/6135", "/6136", "/6137", "/6138",
                              "/6139", "/6140", "/6141", "/6142", "/6143", "/6144", "/6145",
                              "/6146", "/6147", "/6148", "/6149", "/6150", "/6151", "/6154",
                              "/6157", "/6171", "/6172", "/6192", "/6193", "/6194", "/6195"};

} // namespace

FUZZ_MODULE_REQUESTS(kPaths)
