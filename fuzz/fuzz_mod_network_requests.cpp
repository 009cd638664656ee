// Feeds arbitrary request texts to the network resources, with no core
// daemon listening: parsing, the record updates and the payloads of every
// handler run on whatever the browser could send. Input: one byte choosing
// the resource, then the request text.
#include "support/fuzz_root.h"

namespace {

const char *const kPaths[] = {"/7000", "/7001", "/7010", "/7011", "/7020", "/7021", "/7030", "/7031",
                              "/7032", "/7033", "/7034", "/7040", "/7041", "/7042", "/7043", "/7044",
                              "/7050", "/7051", "/7060", "/7061", "/7062", "/7070", "/7071", "/7080",
                              "/7081", "/7082", "/7083", "/7084", "/7085", "/7086", "/7087", "/7089",
                              "/7090", "/7091", "/7092", "/7093", "/7094", "/7095", "/7096"};

} // namespace

FUZZ_MODULE_REQUESTS(kPaths)
