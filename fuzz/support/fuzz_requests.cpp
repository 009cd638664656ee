#include "fuzz_requests.h"

#include <string>

#include "front/dispatchreq.h"

void fuzz_dispatch_request(const char *const *paths, size_t path_count, const uint8_t *data, size_t size)
{
    if (size < 1 || path_count == 0)
        return;
    const char *path = paths[data[0] % path_count];
    std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);
    DispatchWebReq(path, text.data());
}
