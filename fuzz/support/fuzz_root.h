// Set-up shared by the fuzz targets that run handlers or decoders.
#pragma once

// Points NVR_ROOT at a new private folder under /tmp (so database writes and
// files stay there) and the response output at /dev/null.
void fuzz_use_private_root();

#include <cstddef>
#include <cstdint>

// Dispatches one fuzz input to a module's resources: the first byte picks
// one of the `count` paths, the rest is the request text.
void fuzz_dispatch_input(const char *const *paths, size_t count, const uint8_t *data, size_t size);
