// The text form of a core message payload, shared by coresim's scripts and
// the end-to-end cases: blank-separated pieces, concatenated in order.
//
//   hex:0a0B1c        bytes in hexadecimal (two digits each)
//   text:a\sb\r\n     escaped text, no terminator added
//   str:N:text        escaped text in a field of N bytes, zero-filled
//   zero:N            N zero bytes
//   i8: i16: i32: i64:  comma-separated integers (decimal, or 0x hex; negative
//                     values allowed), each little-endian at that width
//   -                 nothing (an explicitly empty payload)
//
// Escapes: \r \n \t \0 \s (a blank) \\ and \xHH; any other escaped character
// stands for itself.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

namespace payload_text {

// Payloads larger than this are refused (the frame limit of the socket).
constexpr size_t kMaxPayload = 16u << 20;

inline int hex_digit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

inline std::string unescape(const std::string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'r')
            out += '\r';
        else if (c == 'n')
            out += '\n';
        else if (c == 't')
            out += '\t';
        else if (c == 's')
            out += ' ';
        else if (c == '0')
            out += '\0';
        else if (c == 'x' && i + 2 < text.size() && hex_digit(text[i + 1]) >= 0 &&
                 hex_digit(text[i + 2]) >= 0) {
            out += static_cast<char>(hex_digit(text[i + 1]) * 16 + hex_digit(text[i + 2]));
            i += 2;
        } else
            out += c;
    }
    return out;
}

inline std::string to_hex(const std::string &bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const unsigned char ch : bytes) {
        out += digits[ch >> 4];
        out += digits[ch & 15];
    }
    return out;
}

// Even number of hex digits, nothing else.
inline bool from_hex(const std::string &hex, std::string *out)
{
    if (hex.size() % 2 != 0)
        return false;
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int high = hex_digit(hex[i]);
        const int low = hex_digit(hex[i + 1]);
        if (high < 0 || low < 0)
            return false;
        out->push_back(static_cast<char>(high * 16 + low));
    }
    return true;
}

// A whole decimal or 0x number that fits `bytes` bytes as a signed or an
// unsigned value.
inline bool parse_int(const std::string &text, int bytes, uint64_t *out)
{
    if (text.empty())
        return false;
    const bool negative = text[0] == '-';
    const std::string digits = negative ? text.substr(1) : text;
    const bool hex = digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
    const std::string body = hex ? digits.substr(2) : digits;
    if (body.empty())
        return false;
    uint64_t magnitude = 0;
    for (const char c : body) {
        const int digit = hex ? hex_digit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (digit < 0)
            return false;
        const uint64_t base = hex ? 16 : 10;
        if (magnitude > (UINT64_MAX - static_cast<uint64_t>(digit)) / base)
            return false;
        magnitude = magnitude * base + static_cast<uint64_t>(digit);
    }
    const int bits = bytes * 8;
    const uint64_t unsigned_max = bits == 64 ? UINT64_MAX : (uint64_t{1} << bits) - 1;
    const uint64_t negative_max = uint64_t{1} << (bits - 1);
    if (negative ? magnitude > negative_max : magnitude > unsigned_max)
        return false;
    *out = negative ? ~magnitude + 1 : magnitude;
    return true;
}

inline bool append_ints(const std::string &list, int bytes, std::string *out)
{
    size_t start = 0;
    while (true) {
        const size_t comma = list.find(',', start);
        uint64_t value = 0;
        if (!parse_int(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start),
                       bytes, &value))
            return false;
        for (int i = 0; i < bytes; ++i)
            out->push_back(static_cast<char>(value >> (8 * i)));
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

inline bool parse_size(const std::string &text, size_t *out)
{
    uint64_t value = 0;
    if (!parse_int(text, 4, &value) || text[0] == '-' || value > kMaxPayload)
        return false;
    *out = static_cast<size_t>(value);
    return true;
}

// Appends the bytes of one piece ("kind:value" or "-").
inline bool append_piece_bytes(const std::string &kind, const std::string &value, std::string *out)
{
    if (kind == "hex")
        return from_hex(value, out);
    if (kind == "text") {
        *out += unescape(value);
        return true;
    }
    if (kind == "i8" || kind == "i16" || kind == "i32" || kind == "i64")
        return append_ints(value, std::atoi(kind.c_str() + 1) / 8, out);
    size_t count = 0;
    if (kind == "zero") {
        if (!parse_size(value, &count))
            return false;
        out->append(count, '\0');
        return true;
    }
    if (kind == "str") {
        const size_t colon = value.find(':');
        if (colon == std::string::npos || !parse_size(value.substr(0, colon), &count))
            return false;
        const std::string text = unescape(value.substr(colon + 1));
        if (text.size() > count)
            return false;
        *out += text;
        out->append(count - text.size(), '\0');
        return true;
    }
    return false;
}

// One piece; false with `error` set when it is malformed.
inline bool append_piece(const std::string &piece, std::string *out, std::string *error)
{
    if (piece == "-")
        return true;
    const size_t colon = piece.find(':');
    if (colon != std::string::npos &&
        append_piece_bytes(piece.substr(0, colon), piece.substr(colon + 1), out))
        return true;
    *error = "bad payload piece \"" + piece + "\"";
    return false;
}

// Parses the blank-separated pieces of `text` into `out` (replacing it).
inline bool parse(const std::string &text, std::string *out, std::string *error)
{
    out->clear();
    size_t start = 0;
    while (start < text.size()) {
        if (text[start] == ' ' || text[start] == '\t') {
            ++start;
            continue;
        }
        size_t end = start;
        while (end < text.size() && text[end] != ' ' && text[end] != '\t')
            ++end;
        if (!append_piece(text.substr(start, end - start), out, error))
            return false;
        if (out->size() > kMaxPayload) {
            *error = "payload over 16 MiB";
            return false;
        }
        start = end;
    }
    return true;
}

} // namespace payload_text
