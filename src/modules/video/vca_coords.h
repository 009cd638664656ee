// The browser draws rules on a canvas of 460 by 260 units; cameras work in
// their own resolution. Both conversions round to the nearest unit and
// compute in 64 bits, so request values of any size cannot overflow; the
// result is kept within the int32 range.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>

constexpr int64_t kVcaCanvasWidth = 460;
constexpr int64_t kVcaCanvasHeight = 260;

inline int32_t vca_clamp_int32(int64_t value)
{
    if (value > INT32_MAX)
        return INT32_MAX;
    return value < INT32_MIN ? INT32_MIN : static_cast<int32_t>(value);
}

// Canvas to camera along an axis of `size` camera units and `canvas` canvas
// units; a result below 1 becomes 1, so a box is never empty on the camera.
inline int32_t vca_canvas_to_camera(int32_t value, int32_t size, int64_t canvas)
{
    const int64_t result = (int64_t{size} * value + canvas / 2) / canvas;
    return result < 1 ? 1 : vca_clamp_int32(result);
}

// Camera to canvas; 0 when the camera size is 0.
inline int32_t vca_camera_to_canvas(int32_t value, int32_t size, int64_t canvas)
{
    if (size == 0)
        return 0;
    return vca_clamp_int32((int64_t{value} * canvas + size / 2) / size);
}

// The four integers of a "x;y;x;y" position text, separated by ';' (a
// missing or non-numeric one is 0, values beyond the int32 range are cut
// to it); all 0 for a null text.
inline void vca_parse_position(const char *text, int32_t out[4])
{
    for (int index = 0; index < 4; ++index)
        out[index] = 0;
    for (int index = 0; text != nullptr && index < 4; ++index) {
        out[index] = vca_clamp_int32(strtoll(text, nullptr, 10));
        text = strchr(text, ';');
        if (text != nullptr)
            ++text;
    }
}
