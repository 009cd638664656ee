// Finding a delimiter in a large buffer: the upload intake looks for its
// boundary in every byte of a file, so the search compares 64 positions at
// a time by the delimiter's first and last byte and checks the rest only
// where both match (rarely, in file data).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// The first occurrence of the `length` bytes of `needle` in the `size`
// bytes of `data`; null when there is none (or `length` is 0).
inline const char *find_bytes(const char *data, size_t size, const char *needle, size_t length)
{
    if (length == 0 || size < length)
        return nullptr;
    using Lanes = signed char __attribute__((vector_size(16)));
    const size_t last = length - 1;
    Lanes first_byte;
    Lanes last_byte;
    memset(&first_byte, needle[0], sizeof first_byte);
    memset(&last_byte, needle[last], sizeof last_byte);
    const size_t positions = size - last; // where a match may start
    // Where both bytes match in the 16 positions from `from`.
    const auto matches = [&](size_t from) {
        Lanes starts;
        Lanes ends;
        memcpy(&starts, data + from, sizeof starts);
        memcpy(&ends, data + from + last, sizeof ends);
        return (starts == first_byte) & (ends == last_byte);
    };
    const auto any = [](const Lanes &lanes) {
        uint64_t words[2];
        memcpy(words, &lanes, sizeof words);
        return (words[0] | words[1]) != 0;
    };
    constexpr size_t kBlock = 4 * sizeof(Lanes); // one branch per 64 positions
    size_t at = 0;
    for (; at + kBlock <= positions; at += kBlock) {
        if (!any(matches(at) | matches(at + 16) | matches(at + 32) | matches(at + 48)))
            continue;
        for (size_t lane = 0; lane < kBlock; ++lane) {
            if (data[at + lane] == needle[0] && memcmp(data + at + lane, needle, length) == 0)
                return data + at + lane;
        }
    }
    for (; at < positions; ++at) {
        if (data[at] == needle[0] && memcmp(data + at, needle, length) == 0)
            return data + at;
    }
    return nullptr;
}
