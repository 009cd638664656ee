#include "platform/trans/trans.h"

#include <json-c/json.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/sysutil/nvr_path.h"
#include "platform/trans/lang_file.h"

namespace {

constexpr const char *kLanguageFile = "/opt/app/www/webfile/json/%s.json";
constexpr const char *kBlockStart = "{//logtext.json";
constexpr const char *kBlockEnd = "}//logtext.json";
constexpr size_t kBlockCapacity = 65536;

json_object *g_texts = nullptr;
const char *g_by_code[kTransCodes];

json_object *read_block(const char *language)
{
    char device_path[kNvrPathMax];
    snprintf(device_path, sizeof device_path, kLanguageFile, language);
    FILE *file = fopen(NvrPath(device_path).c_str(), "r");
    if (file == nullptr)
        return nullptr;
    char *block = static_cast<char *>(malloc(kBlockCapacity));
    json_object *texts = nullptr;
    if (block != nullptr) {
        page_text_extract(file, kBlockStart, kBlockEnd, block, kBlockCapacity);
        texts = json_tokener_parse(block);
        free(block);
    }
    fclose(file);
    return texts;
}

} // namespace

int trans_init(const char *language)
{
    trans_deinit();
    if (!page_lang_allowed(language))
        return -1;
    json_object *texts = read_block(language);
    if (texts == nullptr || !json_object_is_type(texts, json_type_object)) {
        json_object_put(texts);
        return -1;
    }
    g_texts = texts;
    json_object_object_foreach(texts, key, value)
    {
        char *end = nullptr;
        const long code = strtol(key, &end, 10);
        if (end != key && *end == '\0' && code >= 0 && code < kTransCodes &&
            json_object_is_type(value, json_type_string))
            g_by_code[code] = json_object_get_string(value);
    }
    return 0;
}

int trans_get_value(int code, char *buffer, int size)
{
    if (buffer == nullptr || size <= 0)
        return -1;
    const char *text = code >= 0 && code < kTransCodes ? g_by_code[code] : nullptr;
    // Exports look up several texts per row: a bounded copy, not a print.
    const size_t length = text != nullptr ? strnlen(text, static_cast<size_t>(size) - 1) : 0;
    if (length > 0)
        memcpy(buffer, text, length);
    buffer[length] = '\0';
    return text != nullptr ? 0 : -1;
}

void trans_deinit()
{
    memset(g_by_code, 0, sizeof g_by_code);
    json_object_put(g_texts);
    g_texts = nullptr;
}
