// The web folder's language files: the list of languages the pages offer
// ("/1001") and one page's block of texts from a language file ("/json").
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "front/web_utils.h"
#include "modules/system/device_info.h"
#include "modules/system/maintenance_text.h"
#include "platform/sysutil/nvr_path.h"

namespace {

constexpr const char *kLanguageLock = "/tmp/cgilockfile";
constexpr const char *kLanguagesNew = "/opt/app/www/webfile/json/languages_bak.json";
constexpr const char *kLanguages = "/opt/app/www/webfile/json/languages.json";
constexpr const char *kLanguageFile = "/opt/app/www/webfile/json/%s.json";
constexpr size_t kLangSize = 64;
constexpr size_t kPageSize = 128;
constexpr size_t kMarkerSize = 2 * kPageSize + 16;
constexpr size_t kPageTextCapacity = 307200;

bool is_nonempty_string(json_object *value)
{
    return json_object_get_type(value) == json_type_string && json_object_get_string_len(value) > 0;
}

bool language_entry_valid(json_object *entry)
{
    return json_object_get_type(entry) == json_type_object &&
           is_nonempty_string(json_get_member(entry, "value")) &&
           is_nonempty_string(json_get_member(entry, "name")) &&
           json_object_get_type(json_get_member(entry, "isDefault")) == json_type_boolean;
}

bool language_list_valid(const char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (request == nullptr || !is_nonempty_string(json_get_member(request.get(), "defaultLan")))
        return false;
    json_object *list = json_value_array(json_get_member(request.get(), "list"));
    const size_t count = json_array_size(list);
    if (count == 0)
        return false;
    for (size_t index = 0; index < count; ++index) {
        if (!language_entry_valid(json_object_array_get_idx(list, index)))
            return false;
    }
    return true;
}

// Writes the text and a newline to `path`, flushed to the disk; false when
// any of it could not be written.
bool write_whole_file(const char *path, const char *text)
{
    FILE *file = fopen(path, "w");
    if (file == nullptr)
        return false;
    bool written =
        fputs(text, file) >= 0 && fputc('\n', file) != EOF && fflush(file) == 0 && fsync(fileno(file)) == 0;
    written = fclose(file) == 0 && written;
    return written;
}

// The value of `name` in a text of name=value pairs joined by '&', cut to
// size - 1 characters; empty when the text has no such pair.
void pair_value(const char *text, const char *name, char *out, size_t size)
{
    out[0] = '\0';
    const size_t name_length = strlen(name);
    for (const char *pair = text; *pair != '\0';) {
        const size_t pair_length = strcspn(pair, "&");
        if (pair_length > name_length && strncmp(pair, name, name_length) == 0 && pair[name_length] == '=') {
            const size_t length = pair_length - name_length - 1;
            snprintf(out, size, "%.*s", static_cast<int>(length), pair + name_length + 1);
            return;
        }
        pair += pair_length;
        if (*pair == '&')
            ++pair;
    }
}

} // namespace

int on_change_language(char *text)
{
    if (!language_list_valid(text))
        return 0;
    const int lock = file_lock(NvrPath(kLanguageLock).c_str());
    if (lock < 0)
        return 0;
    const NvrPath fresh(kLanguagesNew);
    // The list is replaced only by a complete file: a short write leaves
    // the one in use as it was.
    const bool replaced =
        write_whole_file(fresh.c_str(), text) && rename(fresh.c_str(), NvrPath(kLanguages).c_str()) == 0;
    if (!replaced)
        unlink(fresh.c_str());
    file_unlock(lock);
    if (replaced)
        cgi_writeback_webserver(kRespText, "OK");
    return 0;
}

int on_get_page_text(char *text)
{
    char lang[kLangSize];
    char page[kPageSize];
    char sub[kPageSize];
    pair_value(text != nullptr ? text : "", "lang", lang, sizeof lang);
    pair_value(text != nullptr ? text : "", "page", page, sizeof page);
    pair_value(text != nullptr ? text : "", "sub", sub, sizeof sub);
    if (page[0] == '\0')
        return cgi_writeback_webserver(kRespText, "ERROR PAGE.");
    char device_path[kNvrPathMax];
    snprintf(device_path, sizeof device_path, kLanguageFile, lang);
    FILE *file = page_lang_allowed(lang) ? fopen(NvrPath(device_path).c_str(), "r") : nullptr;
    if (file == nullptr)
        return cgi_writeback_webserver(kRespText, "ERROR LANG.");
    char start[kMarkerSize];
    char end[kMarkerSize];
    if (sub[0] != '\0') {
        snprintf(start, sizeof start, "{//%s=%s.json", page, sub);
        snprintf(end, sizeof end, "}//%s=%s.json", page, sub);
    } else {
        snprintf(start, sizeof start, "{//%s.json", page);
        snprintf(end, sizeof end, "}//%s.json", page);
    }
    char *block = static_cast<char *>(malloc(kPageTextCapacity));
    if (block != nullptr) {
        page_text_extract(file, start, end, block, kPageTextCapacity);
        cgi_writeback_webserver(kRespJson, block);
        free(block);
    }
    fclose(file);
    return 0;
}
