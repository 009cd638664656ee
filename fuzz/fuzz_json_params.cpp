// Runs the JSON parameter helpers and the wire field tables on arbitrary
// text and keys. Input: the key, a NUL, then the parameter text.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "front/cgi_env.h"

namespace {

#pragma pack(push, 1)
struct Fields {
    int32_t number;
    char text[6];
};
#pragma pack(pop)

const WireField kFields[] = {WIRE_INT("chnid", Fields, number), WIRE_TEXT("name", Fields, text)};

// Walks every value under `key` the way handlers do: as an integer, a text
// and an array of integers and texts.
void read_member(json_object *object, const char *key)
{
    int value = 0;
    on_cgi_get_int_from_json(object, key, &value);
    char buffer[8];
    on_cgi_get_string_from_json(object, key, buffer, sizeof buffer);
    json_object *array = json_value_array(json_get_member(object, key));
    for (size_t index = 0; index <= json_array_size(array); ++index) {
        json_object *item = json_array_item(array, index);
        json_value_int(item, &value);
        json_value_text(item);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    cgiOut = fopen("/dev/null", "w");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto *begin = reinterpret_cast<const char *>(data);
    const void *end = memchr(begin, '\0', size);
    const size_t key_length = end != nullptr ? static_cast<const char *>(end) - begin : 0;
    const std::string key(begin, key_length);
    const std::string text(begin + (end != nullptr ? key_length + 1 : 0), begin + size);

    int value = 0;
    on_cgi_get_value_by_json(text.c_str(), key.c_str(), &value);
    const JsonPtr object(get_request_tokener_json_object(text.c_str()));
    read_member(object.get(), key.c_str());
    read_member(object.get(), "chnid");

    // Field tables in both directions, into a record of its own size.
    Fields fields;
    const WireLayout layout = wire_layout(kFields, sizeof fields);
    wire_has_all(object.get(), layout);
    wire_fill(object.get(), layout, &fields);
    const JsonPtr out = json_new_object();
    wire_add_fields(out.get(), &fields, layout);

    on_cgi_common_json_cb(static_cast<int>(size % 3), ReplyReader(begin, size));
    on_cgi_common_text_cb(nullptr, value, text.c_str());
    on_cgi_is_zq_lpr(value);
    return 0;
}
