#include "codecs/params.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstdio>
#include <cstring>

#include "codecs/json_util.h"
#include "core/ipc.h"
#include "front/web_utils.h"

namespace {

constexpr size_t kCommonTextMax = 256;  // 255 characters and the terminator
constexpr size_t kOptionTextLimit = 64; // positions a record may take text from
constexpr size_t kOptionScanMax = 255;  // characters searched for '='
constexpr int kZqLprFirst = 11;
constexpr int kZqLprLast = 14;

// Copies text from `text[*position]` into `field` up to `stop` or the end.
// False when a character at position kOptionTextLimit or beyond would be
// taken, or when the field would have no room left for its terminator.
bool take_option_field(const char *text, size_t *position, char stop, char *field, size_t field_size)
{
    size_t length = 0;
    while (text[*position] != '\0' && text[*position] != stop) {
        if (*position >= kOptionTextLimit || length + 1 >= field_size)
            return false;
        field[length++] = text[(*position)++];
    }
    field[length] = '\0';
    if (text[*position] == stop)
        ++*position;
    return true;
}

} // namespace

json_object *json_get_member(json_object *object, const char *key)
{
    json_object *value = nullptr;
    if (object == nullptr || key == nullptr || !json_object_object_get_ex(object, key, &value))
        return nullptr;
    return value;
}

bool json_value_int(json_object *value, int *out)
{
    switch (json_object_get_type(value)) {
    case json_type_int:
    case json_type_double:
    case json_type_boolean:
        break;
    case json_type_string: {
        int64_t parsed = 0;
        if (json_parse_int64(json_object_get_string(value), &parsed) != 0)
            return false;
        break;
    }
    default:
        return false;
    }
    *out = json_object_get_int(value);
    return true;
}

const char *json_value_text(json_object *value)
{
    switch (json_object_get_type(value)) {
    case json_type_string:
    case json_type_int:
    case json_type_double:
    case json_type_boolean:
        return json_object_get_string(value);
    default:
        return nullptr;
    }
}

json_object *json_value_array(json_object *value)
{
    return json_object_is_type(value, json_type_array) ? value : nullptr;
}

size_t json_array_size(json_object *array)
{
    return json_value_array(array) != nullptr ? json_object_array_length(array) : 0;
}

json_object *json_array_item(json_object *array, size_t index)
{
    if (index >= json_array_size(array))
        return nullptr;
    return json_object_array_get_idx(array, index);
}

json_object *get_request_tokener_json_object(const char *text)
{
    if (text == nullptr)
        return nullptr;
    return json_tokener_parse(text);
}

int on_cgi_get_value_by_json(const char *text, const char *key, int *out)
{
    if (text == nullptr || key == nullptr || out == nullptr)
        return -1;
    const JsonPtr object(get_request_tokener_json_object(text));
    return on_cgi_get_int_from_json(object.get(), key, out);
}

int json_member_int(json_object *object, const char *key, int fallback)
{
    int value = fallback;
    json_value_int(json_get_member(object, key), &value);
    return value;
}

const char *json_member_text(json_object *object, const char *key)
{
    return json_value_text(json_get_member(object, key));
}

int on_cgi_get_int_from_json(json_object *object, const char *key, int *out)
{
    if (out == nullptr)
        return -1;
    return json_value_int(json_get_member(object, key), out) ? 0 : -1;
}

int on_cgi_get_string_from_json(json_object *object, const char *key, char *buffer, size_t size)
{
    const char *text = json_value_text(json_get_member(object, key));
    if (text == nullptr || buffer == nullptr || size == 0)
        return -1;
    snprintf(buffer, size, "%s", text);
    return 0;
}

int on_cgi_common_json_cb(int count, const ReplyReader &reply)
{
    if (count <= 0 || reply.size() < sizeof(int32_t))
        return -1;
    JsonPtr object = json_new_object();
    json_add_int(object.get(), "status", reply.int32_at(0));
    cgi_write_json(kRespJson, object.get());
    cgi_set_callback_done(1);
    return 0;
}

int on_cgi_res_json_cb(const ReplyReader &reply)
{
    if (reply.size() < sizeof(int32_t))
        return -1;
    JsonPtr object = json_new_object();
    json_add_int(object.get(), "res", reply.int32_at(0));
    cgi_write_json(kRespJson, object.get());
    cgi_set_callback_done(1);
    return 0;
}

int on_cgi_common_json_cb(int count, const char *payload)
{
    const size_t size = count > 0 ? static_cast<size_t>(count) * sizeof(int32_t) : 0;
    return on_cgi_common_json_cb(count, ReplyReader(payload, size));
}

int on_cgi_common_text_cb(void * /*context*/, int status, const char *data)
{
    char text[kCommonTextMax];
    const bool has_data = data != nullptr;
    snprintf(text, sizeof text, "CGI %s status:[%d]%s%s%s", status < 0 ? "ERROR" : "OK", status,
             has_data ? ", data:[" : "", has_data ? data : "", has_data ? "]" : "");
    cgi_writeback_webserver(kRespText, text);
    cgi_set_callback_done(1);
    return 1;
}

int on_cgi_is_zq_lpr(int type) { return type >= kZqLprFirst && type <= kZqLprLast ? 1 : 0; }

int ui_decodeing(const char *text, KeyValueRecord *records, int count)
{
    if (count < 0)
        return 0;
    if (count == 0 || text == nullptr || records == nullptr)
        return -1;
    size_t position = 0;
    for (int index = 0; index < count && text[position] != '\0'; ++index) {
        KeyValueRecord &record = records[index];
        if (!take_option_field(text, &position, '=', record.name, sizeof record.name) ||
            !take_option_field(text, &position, '&', record.value, sizeof record.value))
            return -1;
    }
    return 0;
}

int get_httpoption_argnum(const char *text)
{
    if (text == nullptr)
        return 0;
    int equals = 0;
    for (size_t index = 0; index < kOptionScanMax && text[index] != '\0'; ++index) {
        if (text[index] == '=')
            ++equals;
    }
    return equals;
}

int get_section_info(const char *text, const char *pattern, char *out, int count)
{
    if (text == nullptr || pattern == nullptr || pattern[0] == '\0' || out == nullptr || count <= 0)
        return -1;
    const char *found = strstr(text, pattern);
    if (found == nullptr)
        return -1;
    const char *from = found + strlen(pattern);
    const size_t length = strcspn(from, "?");
    const size_t limit = static_cast<size_t>(count) - 1;
    const size_t copied = length < limit ? length : limit;
    memcpy(out, from, copied);
    out[copied] = '\0';
    return 0;
}

bool param_text_int(const char *text, int *out)
{
    if (text == nullptr || out == nullptr || text[0] == '\0')
        return false;
    char *end = nullptr;
    errno = 0;
    const long value = strtol(text, &end, 10);
    if (end == text || errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return false;
    *out = static_cast<int>(value);
    return true;
}

bool param_time_text(const char *text, struct tm *out)
{
    memset(out, 0, sizeof *out);
    if (text == nullptr)
        return false;
    const char *end = strptime(text, "%Y-%m-%d %H:%M:%S", out);
    return end != nullptr && *end == '\0';
}
