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

void log_time_text(int64_t seconds, char *out, size_t size)
{
    const time_t when = static_cast<time_t>(seconds);
    struct tm local {};
    localtime_r(&when, &local);
    snprintf(out, size, "%4d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
             local.tm_hour, local.tm_min, local.tm_sec);
}

void log_csv_field(FILE *out, const char *text, bool quoted)
{
    if (!quoted && strpbrk(text, ",\"\r\n") == nullptr) {
        fputs(text, out);
        putc(',', out);
        return;
    }
    putc('"', out);
    for (const char *at = text; *at != '\0'; ++at) {
        if (*at == '"')
            putc('"', out);
        putc(*at, out);
    }
    fputs("\",", out);
}
