#include "platform/trans/lang_file.h"

#include <cstring>

namespace {

constexpr size_t kPageLine = 1024;

void append_bounded(char *out, size_t capacity, size_t *used, const char *text)
{
    const size_t room = capacity - 1 - *used;
    const size_t length = strnlen(text, room);
    memcpy(out + *used, text, length);
    *used += length;
    out[*used] = '\0';
}

} // namespace

bool page_lang_allowed(const char *lang)
{
    return lang != nullptr && lang[0] != '\0' && strchr(lang, '/') == nullptr &&
           strstr(lang, "..") == nullptr;
}

void page_text_extract(FILE *file, const char *start, const char *end, char *out, size_t capacity)
{
    if (capacity == 0)
        return;
    out[0] = '\0';
    size_t used = 0;
    bool collecting = false;
    char line[kPageLine];
    while (fgets(line, sizeof line, file) != nullptr) {
        if (!collecting) {
            collecting = strstr(line, start) != nullptr;
            if (collecting)
                append_bounded(out, capacity, &used, "{\n");
            continue;
        }
        if (strstr(line, end) != nullptr) {
            append_bounded(out, capacity, &used, "\n}");
            return;
        }
        append_bounded(out, capacity, &used, line);
    }
}
