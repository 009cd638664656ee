// Set-up shared by the fuzz targets that run handlers or decoders.
#pragma once

#include <cstddef>
#include <cstdint>

// Points NVR_ROOT at a new private folder under /tmp (so database writes and
// files stay there) and the response output at /dev/null.
void fuzz_use_private_root();

// One request of a per-module request target: the first byte of `data`
// chooses one of the `count` paths, the rest is the request text.
void fuzz_dispatch_request(const char *const *paths, size_t count, const uint8_t *data, size_t size);
