#include "platform/crypto/url_code.h"

namespace {

// Letters and digits of ASCII whatever the locale, and the unreserved marks.
bool url_plain(unsigned char byte)
{
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
           byte == '-' || byte == '_' || byte == '.' || byte == '~';
}

} // namespace

int get_url_encode(const char *text, int length, char *out, size_t out_size)
{
    if (text == nullptr || out == nullptr || out_size == 0)
        return -1;
    static const char kHex[] = "0123456789ABCDEF";
    size_t used = 0;
    for (int i = 0; i < length && text[i] != '\0'; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool plain = url_plain(byte);
        const size_t need = plain ? 1 : 3;
        if (used + need > out_size - 1)
            break;
        if (plain) {
            out[used++] = static_cast<char>(byte);
        } else {
            out[used++] = '%';
            out[used++] = kHex[byte >> 4];
            out[used++] = kHex[byte & 0x0f];
        }
    }
    out[used] = '\0';
    return static_cast<int>(used);
}

namespace {

int hex_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

int get_url_decode(const char *text, char *out, size_t out_size)
{
    if (text == nullptr || out == nullptr || out_size == 0)
        return -1;
    size_t used = 0;
    for (size_t i = 0; text[i] != '\0' && used < out_size - 1; ++i) {
        const int high = text[i] == '%' ? hex_value(text[i + 1]) : -1;
        const int low = high >= 0 ? hex_value(text[i + 2]) : -1;
        if (low >= 0) {
            out[used++] = static_cast<char>(high << 4 | low);
            i += 2;
        } else {
            out[used++] = text[i];
        }
    }
    out[used] = '\0';
    return static_cast<int>(used);
}
