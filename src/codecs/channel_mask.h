// Channel masks in their two forms: text, where character i ('0' or '1')
// stands for channel i, and a 64-bit mask, where bit i does.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t kChannelMaskText = 64;

// Bits of the first 64 characters of `text` (up to its end); 0 for null.
inline uint64_t channel_mask_from_text(const char *text)
{
    uint64_t mask = 0;
    if (text == nullptr)
        return 0;
    for (size_t index = 0; index < kChannelMaskText && text[index] != '\0'; ++index)
        if (text[index] == '1')
            mask |= uint64_t{1} << index;
    return mask;
}

// Exactly 64 characters and a terminator into `out`.
inline void channel_mask_to_text(uint64_t mask, char out[kChannelMaskText + 1])
{
    for (size_t index = 0; index < kChannelMaskText; ++index)
        out[index] = static_cast<char>('0' + (mask >> index & 1u));
    out[kChannelMaskText] = '\0';
}

// The 64-bit mask of the two 32-bit words it travels in, low word first.
inline uint64_t channel_mask_of(uint32_t mask_low, uint32_t mask_high)
{
    return uint64_t{mask_high} << 32 | mask_low;
}
inline uint32_t channel_mask_low(uint64_t mask) { return static_cast<uint32_t>(mask); }
inline uint32_t channel_mask_high(uint64_t mask) { return static_cast<uint32_t>(mask >> 32); }
