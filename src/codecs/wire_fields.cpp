#include "codecs/wire_fields.h"

#include <cstdio>
#include <cstring>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/reply_reader.h"

namespace {

// The text a missing key formats to, which the browser and the cameras
// have always received.
constexpr const char *kMissingText = "(null)";

void put_int32(unsigned char *at, int32_t value)
{
    const auto bits = static_cast<uint32_t>(value);
    for (int byte = 0; byte < 4; ++byte)
        at[byte] = static_cast<unsigned char>(bits >> (8 * byte));
}

// The whole field is cleared, so no rest of an older, longer text (an old
// password, say) stays behind the new one's terminator.
void put_text(unsigned char *at, size_t size, const char *text)
{
    memset(at, 0, size);
    snprintf(reinterpret_cast<char *>(at), size, "%s", text);
}

} // namespace

void wire_fill(json_object *request, const WireLayout &layout, void *record)
{
    auto *bytes = static_cast<unsigned char *>(record);
    for (size_t index = 0; index < layout.count; ++index) {
        const WireField &field = layout.fields[index];
        if (field.type == WireType::kInt32) {
            put_int32(bytes + field.offset, json_member_int(request, field.key));
            continue;
        }
        const char *text = json_value_text(json_get_member(request, field.key));
        put_text(bytes + field.offset, field.size, text != nullptr ? text : kMissingText);
    }
}

void wire_update(json_object *request, const WireLayout &layout, void *record)
{
    auto *bytes = static_cast<unsigned char *>(record);
    for (size_t index = 0; index < layout.count; ++index) {
        const WireField &field = layout.fields[index];
        json_object *value = json_get_member(request, field.key);
        int number = 0;
        if (field.type == WireType::kInt32 && json_value_int(value, &number))
            put_int32(bytes + field.offset, number);
        else if (field.type == WireType::kText && json_value_text(value) != nullptr)
            put_text(bytes + field.offset, field.size, json_value_text(value));
    }
}

bool wire_has_all(json_object *request, const WireLayout &layout)
{
    for (size_t index = 0; index < layout.count; ++index) {
        json_object *value = json_get_member(request, layout.fields[index].key);
        int number = 0;
        const bool present = layout.fields[index].type == WireType::kInt32
                                 ? json_value_int(value, &number)
                                 : json_value_text(value) != nullptr;
        if (!present)
            return false;
    }
    return true;
}

void wire_add_fields(json_object *object, const void *record, const WireLayout &layout)
{
    const ReplyReader reader(static_cast<const char *>(record), layout.record_size);
    for (size_t index = 0; index < layout.count; ++index) {
        const WireField &field = layout.fields[index];
        if (field.type == WireType::kInt32) {
            json_add_int(object, field.key, reader.int32_at(field.offset));
            continue;
        }
        char text[512];
        const char *at = static_cast<const char *>(record) + field.offset;
        copy_field_text(text, sizeof text, at, field.size);
        json_add_string(object, field.key, text);
    }
}
