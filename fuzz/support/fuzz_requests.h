// Per-module request fuzz targets: one input byte chooses the resource of
// the module's list, the rest is the request text given to the dispatcher.
#pragma once

#include <cstddef>
#include <cstdint>

void fuzz_dispatch_request(const char *const *paths, size_t path_count, const uint8_t *data, size_t size);

template <size_t N>
void fuzz_dispatch_request(const char *const (&paths)[N], const uint8_t *data, size_t size)
{
    fuzz_dispatch_request(paths, N, data, size);
}
