// Device path resolution: every absolute device path goes through nvr_path so
// that tests and the demo can run the program inside a private folder.
#pragma once

#include <cstddef>

// Maximum length of a resolved device path, terminator included.
constexpr size_t kNvrPathMax = 1024;

// Writes NVR_ROOT (empty when unset) followed by `device_path` into `out`.
// Returns `out`; a result that would not fit is cut and still terminated.
const char *nvr_path(char *out, size_t size, const char *device_path);

// Convenience holder for one resolved path.
struct NvrPath {
    char text[kNvrPathMax];
    explicit NvrPath(const char *device_path) { nvr_path(text, sizeof text, device_path); }
    const char *c_str() const { return text; }
};
