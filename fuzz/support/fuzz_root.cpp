#include "fuzz_root.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "front/cgi_env.h"
#include "front/dispatchreq.h"

namespace {

char root[] = "/tmp/nvr-fuzz-XXXXXX";

// The fuzzer ends a timed run with exit(): the root goes with it.
void remove_private_root()
{
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

} // namespace

bool fuzz_make_private_root()
{
    if (mkdtemp(root) == nullptr)
        return false;
    atexit(remove_private_root);
    setenv("NVR_ROOT", root, 1);
    // The database folder, so that handlers reach their reads and writes,
    // and the temporary folder of uploads.
    for (const char *dir : {"/mnt", "/mnt/nand", "/mnt/nand/app", "/tmp"})
        mkdir((std::string(root) + dir).c_str(), 0700);
    return true;
}

void fuzz_use_private_root()
{
    fuzz_make_private_root();
    cgiOut = fopen("/dev/null", "w");
}

void fuzz_dispatch_input(const char *const *paths, size_t count, const uint8_t *data, size_t size)
{
    if (size < 1 || count == 0)
        return;
    std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);
    DispatchWebReq(paths[data[0] % count], text.data());
}
