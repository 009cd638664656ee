// The input shape of the modules' request fuzz targets: one byte picks the
// resource among `paths`, the rest is the request text handed to the
// dispatcher as the intake would.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "front/dispatchreq.h"

template <size_t N> int fuzz_dispatch_request(const char *const (&paths)[N], const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);
    DispatchWebReq(paths[data[0] % N], text.data());
    return 0;
}
