#include "codecs/wire_fields.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "codecs/json_util.h"
#include "codecs/params.h"

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

// One field from `value` (null when missing); a missing text is `missing`.
void put_field(const WireField &field, json_object *value, const char *missing, unsigned char *bytes)
{
    unsigned char *at = bytes + field.offset;
    switch (field.type) {
    case WireType::kConst:
        put_int32(at, field.constant);
        return;
    case WireType::kInt32:
    case WireType::kInt8: {
        int number = 0;
        json_value_int(value, &number);
        wire_field_put_int(bytes, field, number);
        return;
    }
    case WireType::kText: {
        const char *text = json_value_text(value);
        put_text(at, field.size, text != nullptr ? text : missing);
        return;
    }
    }
}

bool form_matches(json_object *item, WireForm form)
{
    const json_type wanted = form == WireForm::kKeyed ? json_type_object : json_type_array;
    return item != nullptr && json_object_get_type(item) == wanted;
}

} // namespace

int32_t wire_field_int(const void *record, const WireField &field)
{
    const auto *at = static_cast<const unsigned char *>(record) + field.offset;
    if (field.type == WireType::kInt8)
        return static_cast<int8_t>(at[0]);
    if (field.type != WireType::kInt32)
        return 0;
    return static_cast<int32_t>(static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
                                static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24);
}

void wire_field_put_int(void *record, const WireField &field, int32_t value)
{
    auto *at = static_cast<unsigned char *>(record) + field.offset;
    if (field.type == WireType::kInt8)
        at[0] = static_cast<unsigned char>(value);
    else if (field.type == WireType::kInt32)
        put_int32(at, value);
}

void wire_fill(json_object *request, const WireLayout &layout, void *record)
{
    auto *bytes = static_cast<unsigned char *>(record);
    for (size_t index = 0; index < layout.count; ++index) {
        const WireField &field = layout.fields[index];
        json_object *value = field.key != nullptr ? json_get_member(request, field.key) : nullptr;
        put_field(field, value, kMissingText, bytes);
    }
}

void wire_fill_items(json_object *items, const WireLayout &layout, void *record)
{
    auto *bytes = static_cast<unsigned char *>(record);
    size_t element = 0;
    for (size_t index = 0; index < layout.count; ++index) {
        const WireField &field = layout.fields[index];
        json_object *value = field.type != WireType::kConst ? json_array_item(items, element++) : nullptr;
        put_field(field, value, "", bytes);
    }
}

size_t wire_update(json_object *request, const WireLayout &layout, void *record)
{
    auto *bytes = static_cast<unsigned char *>(record);
    size_t replaced = 0;
    for (size_t index = 0; index < layout.count; ++index) {
        const WireField &field = layout.fields[index];
        json_object *value = json_get_member(request, field.key);
        int number = 0;
        const bool integer = field.type == WireType::kInt32 || field.type == WireType::kInt8;
        if (integer && json_value_int(value, &number)) {
            wire_field_put_int(bytes, field, number);
            ++replaced;
        } else if (field.type == WireType::kText && json_value_text(value) != nullptr) {
            put_text(bytes + field.offset, field.size, json_value_text(value));
            ++replaced;
        }
    }
    return replaced;
}

void wire_clear_texts(const WireLayout &layout, void *record)
{
    auto *bytes = static_cast<unsigned char *>(record);
    for (size_t index = 0; index < layout.count; ++index)
        if (layout.fields[index].type == WireType::kText)
            memset(bytes + layout.fields[index].offset, 0, layout.fields[index].size);
}

bool wire_has_all(json_object *request, const WireLayout &layout)
{
    for (size_t index = 0; index < layout.count; ++index) {
        const WireField &field = layout.fields[index];
        if (field.type == WireType::kConst)
            continue;
        json_object *value = json_get_member(request, field.key);
        int number = 0;
        const bool present = field.type != WireType::kText ? json_value_int(value, &number)
                                                           : json_value_text(value) != nullptr;
        if (!present)
            return false;
    }
    return true;
}

void wire_add_fields(json_object *object, const void *record, const WireLayout &layout)
{
    for (size_t index = 0; index < layout.count; ++index) {
        const WireField &field = layout.fields[index];
        if (field.type == WireType::kConst)
            continue;
        if (field.type != WireType::kText) {
            json_add_int(object, field.key, wire_field_int(record, field));
            continue;
        }
        // The whole field, up to its first NUL: a text that fills a wide
        // field keeps its tail.
        const char *at = static_cast<const char *>(record) + field.offset;
        json_object_object_add(object, field.key, json_field_string(at, field.size));
    }
}

json_object *wire_list_json(const ReplyReader &record, const WireList &list, const char *index_key)
{
    if (record.size() < wire_list_end(list))
        return nullptr;
    json_object *entries = json_object_new_array();
    for (size_t index = 0; index < list.count; ++index) {
        json_object *entry = json_object_new_object();
        if (index_key != nullptr)
            json_add_int(entry, index_key, static_cast<int>(index));
        wire_add_fields(entry, record.bytes(list.base + index * list.stride, list.entry.record_size),
                        list.entry);
        json_object_array_add(entries, entry);
    }
    return entries;
}

json_object *wire_grid_json(const ReplyReader &record, const WireGrid &grid)
{
    if (record.size() < wire_grid_end(grid))
        return nullptr;
    json_object *rows = json_object_new_array();
    for (size_t row = 0; row < grid.rows; ++row) {
        WireList list = grid.row;
        list.base += grid.base + row * grid.row_stride;
        json_object_array_add(rows, wire_list_json(record, list));
    }
    return rows;
}

size_t wire_list_fill(json_object *items, const WireList &list, WireForm form, void *record)
{
    auto *bytes = static_cast<unsigned char *>(record);
    const size_t count = std::min(json_array_size(items), list.count);
    for (size_t index = 0; index < count; ++index) {
        json_object *item = json_array_item(items, index);
        if (!form_matches(item, form))
            continue;
        unsigned char *entry = bytes + list.base + index * list.stride;
        if (form == WireForm::kKeyed)
            wire_fill(item, list.entry, entry);
        else
            wire_fill_items(item, list.entry, entry);
    }
    return count;
}

void wire_grid_fill(json_object *rows, const WireGrid &grid, WireForm form, void *record)
{
    auto *bytes = static_cast<unsigned char *>(record);
    const size_t count = std::min(json_array_size(rows), grid.rows);
    for (size_t row = 0; row < count; ++row)
        wire_list_fill(json_array_item(rows, row), grid.row, form, bytes + grid.base + row * grid.row_stride);
}
