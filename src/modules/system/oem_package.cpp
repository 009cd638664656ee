#include "modules/system/oem_package.h"

#include <cstdint>

namespace {

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr size_t kEndSize = 22;
constexpr size_t kCentralSize = 46;
constexpr size_t kLocalSize = 30;
constexpr size_t kCommentMax = 0xffff;
constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint32_t kModeTypeMask = 0170000;
constexpr uint32_t kModeRegular = 0100000;
constexpr uint32_t kModeDirectory = 0040000;
constexpr unsigned char kMaxControl = 0x1f;
constexpr unsigned char kDelete = 0x7f;

// Little-endian fields of a byte range already checked to hold them.
uint16_t u16(const unsigned char *at) { return static_cast<uint16_t>(at[0] | at[1] << 8); }
uint32_t u32(const unsigned char *at)
{
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
           static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
}

// Offset of the end record that ends the data exactly (its comment reaching
// the last byte); `length` when there is none.
size_t find_end_record(const unsigned char *data, size_t length)
{
    if (length < kEndSize)
        return length;
    const size_t lowest = length - kEndSize > kCommentMax ? length - kEndSize - kCommentMax : 0;
    for (size_t at = length - kEndSize + 1; at-- > lowest;) {
        if (u32(data + at) == kEndSignature && at + kEndSize + u16(data + at + 20) == length)
            return at;
    }
    return length;
}

bool is_component(const char *start, size_t length, const char *word)
{
    size_t i = 0;
    while (i < length && word[i] != '\0' && start[i] == word[i])
        ++i;
    return i == length && word[i] == '\0';
}

// A file or a folder; an entry made elsewhere than on a Unix-like system
// keeps no type in the upper bits and counts as a file.
bool is_plain_type(uint32_t external)
{
    const uint32_t type = (external >> 16) & kModeTypeMask;
    return type == 0 || type == kModeRegular || type == kModeDirectory;
}

struct Totals {
    size_t entries = 0;
    uint64_t unpacked = 0;
};

// One central directory entry at `at`; `next` is set past it.
ZipCheck check_entry(const unsigned char *data, size_t directory_end, size_t at, size_t local_limit,
                     Totals *totals, size_t *next)
{
    if (directory_end - at < kCentralSize || u32(data + at) != kCentralSignature)
        return ZipCheck::Malformed;
    const unsigned char *entry = data + at;
    const size_t name_length = u16(entry + 28);
    const size_t rest = name_length + u16(entry + 30) + u16(entry + 32);
    const uint32_t local = u32(entry + 42);
    if (directory_end - at - kCentralSize < rest || (u16(entry + 8) & kFlagEncrypted) != 0 ||
        local >= local_limit || local_limit - local < kLocalSize || u32(data + local) != kLocalSignature ||
        u32(entry + 20) == UINT32_MAX || u32(entry + 24) == UINT32_MAX)
        return ZipCheck::Malformed;
    if (!oem_entry_name_safe(reinterpret_cast<const char *>(entry + kCentralSize), name_length))
        return ZipCheck::UnsafeName;
    if (!is_plain_type(u32(entry + 38)))
        return ZipCheck::Link;
    totals->unpacked += u32(entry + 24);
    if (++totals->entries > kOemEntriesMax || totals->unpacked > kOemUnpackedMax)
        return ZipCheck::TooLarge;
    *next = at + kCentralSize + rest;
    return ZipCheck::Safe;
}

} // namespace

bool oem_entry_name_safe(const char *name, size_t length)
{
    if (name == nullptr || length == 0 || name[0] == '/')
        return false;
    size_t start = 0;
    for (size_t at = 0; at <= length; ++at) {
        if (at < length) {
            const auto c = static_cast<unsigned char>(name[at]);
            if (c <= kMaxControl || c == kDelete || c == '\\')
                return false;
            if (c != '/')
                continue;
        }
        const size_t part = at - start;
        const bool trailing_slash = at == length && part == 0;
        if ((part == 0 && !trailing_slash) || is_component(name + start, part, ".") ||
            is_component(name + start, part, ".."))
            return false;
        start = at + 1;
    }
    return true;
}

ZipCheck oem_zip_check(const unsigned char *data, size_t length)
{
    if (data == nullptr)
        return ZipCheck::Malformed;
    const size_t end = find_end_record(data, length);
    if (end == length)
        return ZipCheck::Malformed;
    const unsigned char *record = data + end;
    const size_t count = u16(record + 10);
    const size_t size = u32(record + 12);
    const size_t offset = u32(record + 16);
    // One disk only, and no ZIP64 markers.
    if (u16(record + 4) != 0 || u16(record + 6) != 0 || u16(record + 8) != count || count == 0xffff ||
        offset > end || size > end - offset)
        return ZipCheck::Malformed;
    Totals totals;
    size_t at = offset;
    for (size_t i = 0; i < count; ++i) {
        const ZipCheck checked = check_entry(data, offset + size, at, offset, &totals, &at);
        if (checked != ZipCheck::Safe)
            return checked;
    }
    return at == offset + size ? ZipCheck::Safe : ZipCheck::Malformed;
}
