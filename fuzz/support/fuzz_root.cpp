#include "fuzz_root.h"

#include <cstdio>
#include <cstdlib>

#include "front/cgi_env.h"

void fuzz_use_private_root()
{
    static char root[] = "/tmp/nvr-fuzz-XXXXXX";
    if (mkdtemp(root) != nullptr)
        setenv("NVR_ROOT", root, 1);
    cgiOut = fopen("/dev/null", "w");
}
