// Splits arbitrary name=value texts into key/value records and counts
// their '=' the way the maintenance option handler does.
#include <cstdint>
#include <cstring>
#include <string>

#include "codecs/params.h"

namespace {

constexpr int kRecords = 64;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the record count, including 0 and negative ones.
    const int count = static_cast<int>(data[0] % (kRecords + 2)) - 1;
    const std::string text(reinterpret_cast<const char *>(data + 1), size - 1);
    KeyValueRecord records[kRecords];
    memset(records, 0, sizeof records);
    const int argnum = get_httpoption_argnum(text.c_str());
    ui_decodeing(text.c_str(), records, count);
    ui_decodeing(text.c_str(), records, argnum < kRecords ? argnum : kRecords);
    for (const KeyValueRecord &record : records) {
        if (strnlen(record.name, sizeof record.name) == sizeof record.name ||
            strnlen(record.value, sizeof record.value) == sizeof record.value)
            __builtin_trap();
    }
    char section[16];
    get_section_info(text.c_str(), "=", section, sizeof section);
    return 0;
}
