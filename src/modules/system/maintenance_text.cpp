#include "modules/system/maintenance_text.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr size_t kUptimeLine = 64;
constexpr const char *kChipReadTag = "Read old:";
constexpr size_t kChipPadFrom = 21;

// Where a chip field lies and how wide it is.
struct ChipField {
    char letter;
    size_t position;
    size_t width;
};
// "chipupdate": the characters after the letter go to the field.
constexpr ChipField kChipFields[] = {{'E', 12, 7}, {'H', 9, 2}, {'N', 3, 6}, {'S', 20, 11}};
// "modelupdate": the value, letter included, fills the field.
constexpr ChipField kModelFields[] = {{'E', 12, 8}, {'H', 9, 3}, {'N', 2, 7}, {'S', 20, 12}};

template <size_t N> const ChipField *find_field(const ChipField (&fields)[N], char letter)
{
    for (const ChipField &field : fields) {
        if (field.letter == letter)
            return &field;
    }
    return nullptr;
}

bool is_letter_or_digit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Copies `text` into `out` and pads it with '0' up to `width`.
void pad_with_zeros(const char *text, size_t width, char *out)
{
    const size_t length = strlen(text);
    memcpy(out, text, length);
    memset(out + length, '0', width > length ? width - length : 0);
    out[width > length ? width : length] = '\0';
}

} // namespace

void system_uptime_text(const char *printed, char *out, size_t size)
{
    char line[kUptimeLine];
    snprintf(line, sizeof line, "%s", printed != nullptr ? printed : "");
    line[strcspn(line, "\n")] = '\0';
    const char *users = strstr(line, "users");
    const char *letter = strchr(line, 'l');
    const char *mark = users != nullptr ? users : letter;
    if (mark != nullptr) {
        const ptrdiff_t before = users != nullptr ? 5 : 2;
        const ptrdiff_t cut = mark - line - before;
        line[cut > 0 ? cut : 0] = '\0';
    }
    snprintf(out, size, "%s", line);
}

int hash_cal_value(const char *name)
{
    uint32_t h = 0;
    for (const char *c = name; *c != '\0'; ++c)
        h = static_cast<unsigned char>(*c) + 37 * h;
    return static_cast<int>(h % kOptionBuckets);
}

bool chip_value_allowed(const char *value)
{
    if (value == nullptr || value[0] == '\0')
        return false;
    for (const char *c = value; *c != '\0'; ++c) {
        if (!is_letter_or_digit(*c))
            return false;
    }
    return true;
}

bool chip_update_change(const char *value, ChipChange *out)
{
    *out = ChipChange{};
    if (!chip_value_allowed(value) || strlen(value) > kChipInfoLength)
        return false;
    char padded[kChipInfoLength + 1];
    snprintf(padded, sizeof padded, "%s", value);
    if (strlen(padded) >= kChipPadFrom)
        pad_with_zeros(value, kChipInfoLength, padded);
    if (strncmp(padded, "MSN", 3) == 0) {
        if (strlen(padded) != kChipInfoLength)
            return false;
        memcpy(out->text, padded, sizeof out->text);
        out->whole = true;
        return true;
    }
    const ChipField *field = find_field(kChipFields, padded[0]);
    if (field == nullptr || strlen(padded + 1) < field->width)
        return false;
    memcpy(out->text, padded + 1, field->width);
    out->text[field->width] = '\0';
    out->position = field->position;
    return true;
}

bool model_update_change(const char *value, ChipChange *out)
{
    *out = ChipChange{};
    if (!chip_value_allowed(value))
        return false;
    const ChipField *field = find_field(kModelFields, value[0]);
    if (field == nullptr || strlen(value) > field->width)
        return false;
    pad_with_zeros(value, field->width, out->text);
    out->position = field->position;
    return true;
}

bool chip_apply_change(char *chip, size_t size, const ChipChange &change)
{
    const size_t length = strlen(change.text);
    if (change.whole) {
        if (length >= size)
            return false;
        memcpy(chip, change.text, length + 1);
        return true;
    }
    if (strlen(chip) < change.position + length)
        return false;
    memcpy(chip + change.position, change.text, length);
    return true;
}

bool chip_info_from_output(const char *output, char *chip, size_t size)
{
    if (output == nullptr || size == 0)
        return false;
    for (const char *line = output; *line != '\0';) {
        const size_t line_length = strcspn(line, "\n");
        const char *tag =
            static_cast<const char *>(memmem(line, line_length, kChipReadTag, strlen(kChipReadTag)));
        if (tag != nullptr) {
            const char *from = tag + strlen(kChipReadTag);
            size_t length = static_cast<size_t>(line + line_length - from);
            if (length > 0 && from[length - 1] == '\r')
                --length;
            if (length > size - 1)
                length = size - 1;
            memcpy(chip, from, length);
            chip[length] = '\0';
            return true;
        }
        line += line_length;
        if (*line == '\n')
            ++line;
    }
    return false;
}
