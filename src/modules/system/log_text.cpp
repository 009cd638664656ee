#include "modules/system/log_text.h"

#include <cstring>
#include <ctime>

namespace {

constexpr const char *kMappedPrefix = "::ffff:";
constexpr int kOperationGroups = 3;
constexpr int kOperationBits = 30;
constexpr int64_t kOperationBase[kOperationGroups] = {101, 131, 200};
constexpr int kSubTypeAll = 10;

} // namespace

int log_main_trans_code(int main_type)
{
    switch (main_type) {
    case 1:
        return 1;
    case 2:
        return 2;
    case 4:
        return 3;
    case 8:
        return 4;
    case 32:
        return 5;
    case 64:
        return 6;
    default:
        return -1;
    }
}

const char *log_kind_word(int main_type)
{
    switch (main_type) {
    case 2:
        return "Event";
    case 4:
        return "Operation";
    case 8:
        return "Information";
    case 32:
        return "Exception";
    case 64:
        return "Debug";
    default:
        return "All";
    }
}

void log_client_ip(const char *field, size_t field_size, char *out, size_t size)
{
    if (size == 0)
        return;
    size_t length = strnlen(field, field_size);
    const size_t prefix = strlen(kMappedPrefix);
    const bool has_dot = memchr(field, '.', length) != nullptr;
    if (has_dot && length >= prefix && strncmp(field, kMappedPrefix, prefix) == 0) {
        field += prefix;
        length -= prefix;
    } else if (!has_dot) {
        if (const void *percent = memchr(field, '%', length))
            length = static_cast<size_t>(static_cast<const char *>(percent) - field);
    }
    if (length > size - 1)
        length = size - 1;
    memcpy(out, field, length);
    out[length] = '\0';
}

void log_detail_to_words(const char *detail, int32_t words[kLogDetailWords])
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(detail);
    for (size_t word = 0; word < kLogDetailWords; ++word) {
        const unsigned char *at = bytes + 4 * word;
        words[word] =
            static_cast<int32_t>(static_cast<uint32_t>(at[0]) << 24 | static_cast<uint32_t>(at[1]) << 16 |
                                 static_cast<uint32_t>(at[2]) << 8 | at[3]);
    }
}

void log_detail_from_words(const int32_t words[kLogDetailWords], char *detail)
{
    for (size_t word = 0; word < kLogDetailWords; ++word) {
        const auto bits = static_cast<uint32_t>(words[word]);
        for (int byte = 0; byte < 4; ++byte)
            detail[4 * word + byte] = static_cast<char>(bits >> (8 * (3 - byte)));
    }
}

int log_operation_sub_types(const int *values, int count, int64_t *out, int capacity)
{
    int added = 0;
    for (int group = 0; group < kOperationGroups && group < count; ++group) {
        const auto bits = static_cast<uint32_t>(static_cast<int64_t>(values[group]) - kSubTypeAll);
        for (int bit = 0; bit < kOperationBits && added < capacity; ++bit) {
            if ((bits >> bit & 1u) != 0)
                out[added++] = kOperationBase[group] + bit;
        }
    }
    return added;
}

namespace {

// Writes `value` (0 to 99) as two digits.
char *two_digits(char *at, int value)
{
    at[0] = static_cast<char>('0' + value / 10);
    at[1] = static_cast<char>('0' + value % 10);
    return at + 2;
}

// Every zone's offset is a whole number of quarter hours and changes on a
// quarter hour, so the times of one quarter hour share one conversion:
// export rows come in time order, many to a quarter hour.
constexpr int64_t kQuarterHour = 900;
struct QuarterCache {
    bool valid;
    int64_t start;
    struct tm at_start;
};
QuarterCache g_quarter;

void local_time_of(int64_t seconds, struct tm *out)
{
    const int64_t start = seconds - ((seconds % kQuarterHour) + kQuarterHour) % kQuarterHour;
    if (!g_quarter.valid || g_quarter.start != start) {
        const auto when = static_cast<time_t>(start);
        // A zone of those days whose offset is no whole quarter hour
        // (local mean time, say) is converted time by time.
        if (localtime_r(&when, &g_quarter.at_start) == nullptr || g_quarter.at_start.tm_sec != 0 ||
            g_quarter.at_start.tm_min % 15 != 0) {
            g_quarter.valid = false;
            const auto exact = static_cast<time_t>(seconds);
            *out = {};
            localtime_r(&exact, out);
            return;
        }
        g_quarter.valid = true;
        g_quarter.start = start;
    }
    *out = g_quarter.at_start;
    const auto into = static_cast<int>(seconds - start);
    out->tm_sec += into % 60;
    out->tm_min += into / 60 + out->tm_sec / 60;
    out->tm_sec %= 60;
}

} // namespace

// Exports format one time per row: the digits are written by hand, which
// costs a tenth of a formatted print.
void log_time_text(int64_t seconds, char *out, size_t size)
{
    struct tm local {};
    local_time_of(seconds, &local);
    const int year = local.tm_year + 1900;
    constexpr size_t kTextSize = sizeof "2026-01-01 00:00:00";
    if (year < 1000 || year > 9999 || size < kTextSize) {
        snprintf(out, size, "%4d-%02d-%02d %02d:%02d:%02d", year, local.tm_mon + 1, local.tm_mday,
                 local.tm_hour, local.tm_min, local.tm_sec);
        return;
    }
    char *at = two_digits(two_digits(out, year / 100), year % 100);
    *at++ = '-';
    at = two_digits(at, local.tm_mon + 1);
    *at++ = '-';
    at = two_digits(at, local.tm_mday);
    *at++ = ' ';
    at = two_digits(at, local.tm_hour);
    *at++ = ':';
    at = two_digits(at, local.tm_min);
    *at++ = ':';
    at = two_digits(at, local.tm_sec);
    *at = '\0';
}

namespace {

// Fields keep room for the row's end.
constexpr size_t kFieldRoom = kCsvRowSize - 2;

void row_put(CsvRow *row, char c)
{
    if (row->length < kFieldRoom)
        row->text[row->length++] = c;
}

void row_append(CsvRow *row, const char *text, size_t length)
{
    const size_t room = row->length < kFieldRoom ? kFieldRoom - row->length : 0;
    const size_t taken = length < room ? length : room;
    memcpy(row->text + row->length, text, taken);
    row->length += taken;
}

} // namespace

void log_csv_field(CsvRow *row, const char *text, bool quoted)
{
    if (!quoted && strpbrk(text, ",\"\r\n") == nullptr) {
        row_append(row, text, strlen(text));
        row_put(row, ',');
        return;
    }
    row_put(row, '"');
    for (const char *at = text; *at != '\0'; ++at) {
        if (*at == '"')
            row_put(row, '"');
        row_put(row, *at);
    }
    row_append(row, "\",", 2);
}

void log_csv_number(CsvRow *row, int64_t value)
{
    char digits[24];
    char *at = digits + sizeof digits;
    *--at = ',';
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    do {
        *--at = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        *--at = '-';
    row_append(row, at, static_cast<size_t>(digits + sizeof digits - at));
}

void log_csv_end(CsvRow *row, FILE *out)
{
    memcpy(row->text + row->length, "\r\n", 2);
    row->length += 2;
    fwrite_unlocked(row->text, 1, row->length, out);
    row->length = 0;
}
