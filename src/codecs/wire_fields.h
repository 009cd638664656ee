// Field tables of fixed-layout wire records: a JSON key and its place in
// a little-endian record of int32 values and fixed-width texts. One table
// fills a core payload from a request and turns a reply record into JSON,
// so a relay resource is a table rather than a line per field. Lists and
// grids (days of entries) repeat one entry table at a fixed stride.
#pragma once

#include <json-c/json.h>

#include <cstddef>
#include <cstdint>

#include "core/reply_reader.h"

// kConst: a field no request names; filling sets it to `constant` and
// replies leave it out (a "valid" flag, say).
// kInt8: a one-byte integer (a switch packed with three others, say).
enum class WireType : uint8_t { kInt32, kText, kConst, kInt8 };

// One JSON key and its place in a wire record.
struct WireField {
    const char *key;
    uint16_t offset;
    uint16_t size; // text width; 4 for an int32
    WireType type;
    int32_t constant;
};

#define WIRE_INT(key, Record, member)                                                                        \
    {                                                                                                        \
        key, offsetof(Record, member), 4, WireType::kInt32                                                   \
    }
#define WIRE_INT8(key, Record, member)                                                                       \
    {                                                                                                        \
        key, offsetof(Record, member), 1, WireType::kInt8                                                    \
    }
#define WIRE_TEXT(key, Record, member)                                                                       \
    {                                                                                                        \
        key, offsetof(Record, member), sizeof(Record::member), WireType::kText                               \
    }
#define WIRE_CONST(Record, member, value)                                                                    \
    {                                                                                                        \
        nullptr, offsetof(Record, member), 4, WireType::kConst, value                                        \
    }
// An int32 by its index in a record of int32 slots.
#define WIRE_SLOT(key, index)                                                                                \
    {                                                                                                        \
        key, (index)*4, 4, WireType::kInt32                                                                  \
    }
// A text of `size` bytes from int32 slot `index`.
#define WIRE_SLOT_TEXT(key, index, size)                                                                     \
    {                                                                                                        \
        key, (index)*4, size, WireType::kText                                                                \
    }

// A field table with the size of the record it describes.
struct WireLayout {
    const WireField *fields;
    size_t count;
    size_t record_size;
};

template <size_t N> constexpr WireLayout wire_layout(const WireField (&fields)[N], size_t record_size)
{
    return WireLayout{fields, N, record_size};
}

// Request side. A missing integer reads as 0 and a missing text as the
// text "(null)"; texts are cut to their width - 1 and the rest of their
// field is zeroed.
void wire_fill(json_object *request, const WireLayout &layout, void *record);
// The same from a positional array: element i fills the i-th non-constant
// field. A missing element is 0 or the empty text.
void wire_fill_items(json_object *items, const WireLayout &layout, void *record);

// Settings side: replaces only the fields whose key the request holds (by
// the value rules of codecs/params.h); the others keep the record's value.
// Texts are cut to their width - 1 and the rest of their field is zeroed.
// The number of fields replaced.
size_t wire_update(json_object *request, const WireLayout &layout, void *record);
// Zeroes every text field of the layout, so that a following wire_update
// stores a text the request leaves out as empty.
void wire_clear_texts(const WireLayout &layout, void *record);
// True when every key of the layout is present in the request.
bool wire_has_all(json_object *request, const WireLayout &layout);

// The integer of one kInt32 or kInt8 field of `record` (0 for a text).
int32_t wire_field_int(const void *record, const WireField &field);
// Stores `value` into one kInt32 or kInt8 field (cut to its byte for kInt8).
void wire_field_put_int(void *record, const WireField &field, int32_t value);

// Reply side: adds the fields of the record at `record` (layout.record_size
// bytes) to `object`, in table order; texts are read up to their width.
void wire_add_fields(json_object *object, const void *record, const WireLayout &layout);

// `count` entries of `entry` (whose record_size is the entry's size) from
// byte `base`, `stride` bytes apart.
struct WireList {
    WireLayout entry;
    size_t base;
    size_t count;
    size_t stride;
};

// `rows` lists laid out as `row` (its base relative to the row's start),
// the first at byte `base`, `row_stride` bytes apart: the days of a
// schedule, each with its entries.
struct WireGrid {
    WireList row;
    size_t base;
    size_t rows;
    size_t row_stride;
};

// Bytes a record needs to hold the whole list or grid.
constexpr size_t wire_list_end(const WireList &list)
{
    return list.count == 0 ? list.base : list.base + (list.count - 1) * list.stride + list.entry.record_size;
}
constexpr size_t wire_grid_end(const WireGrid &grid)
{
    return grid.rows == 0 ? grid.base
                          : grid.base + (grid.rows - 1) * grid.row_stride + wire_list_end(grid.row);
}

// The entries as a JSON array of objects, each led by {index_key: i} when
// `index_key` is given; the grid as an array of such arrays. Null when the
// record does not hold them all.
json_object *wire_list_json(const ReplyReader &record, const WireList &list, const char *index_key = nullptr);
json_object *wire_grid_json(const ReplyReader &record, const WireGrid &grid);

// How request elements name the fields of an entry.
enum class WireForm : uint8_t { kKeyed, kPositional };

// Fills entry i from element i of the array `items` (objects by key or
// arrays by position) for the first min(array length, count) elements; an
// element of the other kind leaves its entry as it is. The number of
// elements read (0 when `items` is no array).
size_t wire_list_fill(json_object *items, const WireList &list, WireForm form, void *record);
// Row r from element r of `rows`, each through wire_list_fill.
void wire_grid_fill(json_object *rows, const WireGrid &grid, WireForm form, void *record);
