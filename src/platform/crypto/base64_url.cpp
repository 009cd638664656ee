// URL-safe base64 without padding.
#include "platform/crypto/base64_url.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

} // namespace

int base64_sextet(char c, char c62, char c63)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == c62)
        return 62;
    if (c == c63)
        return 63;
    return -1;
}

int base64EncodeUrl(const unsigned char *data, int length, char *out, size_t out_size)
{
    if (data == nullptr || out == nullptr || length < 0)
        return -1;
    const size_t whole = static_cast<size_t>(length) / 3;
    const size_t rest = static_cast<size_t>(length) % 3;
    const size_t needed = whole * 4 + (rest == 0 ? 0 : rest + 1);
    if (needed + 1 > out_size) {
        if (out_size > 0)
            out[0] = '\0';
        return -1;
    }
    size_t at = 0;
    for (size_t index = 0; index < static_cast<size_t>(length); index += 3) {
        const size_t left = static_cast<size_t>(length) - index;
        uint32_t bits = static_cast<uint32_t>(data[index]) << 16;
        if (left > 1)
            bits |= static_cast<uint32_t>(data[index + 1]) << 8;
        if (left > 2)
            bits |= data[index + 2];
        const size_t chars = left >= 3 ? 4 : left + 1;
        for (size_t k = 0; k < chars; ++k)
            out[at++] = kAlphabet[(bits >> (18 - 6 * k)) & 0x3F];
    }
    out[at] = '\0';
    return static_cast<int>(at);
}

int base64DecodeUrl(const char *text, unsigned char *out, size_t out_size)
{
    if (text == nullptr || out == nullptr)
        return -1;
    size_t length = strlen(text);
    while (length > 0 && text[length - 1] == '=')
        --length;
    if (length % 4 == 1)
        return -1;
    const size_t needed = length / 4 * 3 + (length % 4 == 0 ? 0 : length % 4 - 1);
    if (needed > out_size)
        return -1;
    size_t at = 0;
    uint32_t bits = 0;
    int held = 0;
    for (size_t index = 0; index < length; ++index) {
        const int value = base64_sextet(text[index], '-', '_');
        if (value < 0)
            return -1;
        bits = (bits << 6) | static_cast<uint32_t>(value);
        held += 6;
        if (held >= 8) {
            held -= 8;
            out[at++] = static_cast<unsigned char>((bits >> held) & 0xFF);
        }
    }
    return static_cast<int>(at);
}
