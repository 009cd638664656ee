#include "fuzz_root.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "front/cgi_env.h"
#include "front/dispatchreq.h"

void fuzz_use_private_root()
{
    static char root[] = "/tmp/nvr-fuzz-XXXXXX";
    if (mkdtemp(root) != nullptr) {
        setenv("NVR_ROOT", root, 1);
        // The database folder, so that handlers reach their reads and writes.
        for (const char *dir : {"/mnt", "/mnt/nand", "/mnt/nand/app"})
            mkdir((std::string(root) + dir).c_str(), 0755);
    }
    cgiOut = fopen("/dev/null", "w");
}

void fuzz_dispatch_input(const char *const *paths, size_t count, const uint8_t *data, size_t size)
{
    if (size < 1 || count == 0)
        return;
    std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);
    DispatchWebReq(paths[data[0] % count], text.data());
}
