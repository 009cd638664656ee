#include "platform/sysutil/nvr_path.h"

#include <cstdio>
#include <cstdlib>

const char *nvr_path(char *out, size_t size, const char *device_path)
{
    if (out == nullptr || size == 0)
        return out;
    const char *root = getenv("NVR_ROOT");
    snprintf(out, size, "%s%s", root != nullptr ? root : "", device_path != nullptr ? device_path : "");
    return out;
}
