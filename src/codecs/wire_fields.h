// Field tables of fixed-layout wire records: a JSON key and its place in
// a little-endian record of int32 values and fixed-width texts. One table
// fills a core payload from a request and turns a reply record into JSON,
// so a relay resource is a table rather than a line per field.
#pragma once

#include <json-c/json.h>

#include <cstddef>
#include <cstdint>

enum class WireType : uint8_t { kInt32, kText };

// One JSON key and its place in a wire record.
struct WireField {
    const char *key;
    uint16_t offset;
    uint16_t size; // text width; 4 for an int32
    WireType type;
};

#define WIRE_INT(key, Record, member)                                                                        \
    {                                                                                                        \
        key, offsetof(Record, member), 4, WireType::kInt32                                                   \
    }
#define WIRE_TEXT(key, Record, member)                                                                       \
    {                                                                                                        \
        key, offsetof(Record, member), sizeof(Record::member), WireType::kText                               \
    }
// An int32 by its index in a record of int32 slots.
#define WIRE_SLOT(key, index)                                                                                \
    {                                                                                                        \
        key, (index)*4, 4, WireType::kInt32                                                                  \
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
// Settings side: replaces only the fields whose key the request holds (by
// the value rules of codecs/params.h); the others keep the record's value.
// Texts are cut to their width - 1 and the rest of their field is zeroed.
void wire_update(json_object *request, const WireLayout &layout, void *record);
// True when every key of the layout is present in the request.
bool wire_has_all(json_object *request, const WireLayout &layout);

// Reply side: adds the fields of the record at `record` (layout.record_size
// bytes) to `object`, in table order; texts are read up to their width.
void wire_add_fields(json_object *object, const void *record, const WireLayout &layout);
