// json-c ownership and output: a JSON object is held by JsonPtr, released
// with json_object_put on every return path.
#pragma once

#include <json-c/json.h>

#include <cstddef>
#include <cstring>
#include <memory>

struct JsonPut {
    void operator()(json_object *object) const { json_object_put(object); }
};
using JsonPtr = std::unique_ptr<json_object, JsonPut>;

inline JsonPtr json_new_object() { return JsonPtr(json_object_new_object()); }
inline JsonPtr json_new_array() { return JsonPtr(json_object_new_array()); }

// Adds an int member; json-c takes ownership of the new value.
inline void json_add_int(json_object *object, const char *key, int value)
{
    json_object_object_add(object, key, json_object_new_int(value));
}

inline void json_add_string(json_object *object, const char *key, const char *value)
{
    json_object_object_add(object, key, json_object_new_string(value));
}

// A new string of a fixed-width text field, read up to the field's end even
// when the field holds no terminator.
inline json_object *json_field_string(const char *field, size_t size)
{
    return json_object_new_string_len(field, static_cast<int>(strnlen(field, size)));
}

template <size_t N> inline void json_add_field(json_object *object, const char *key, const char (&field)[N])
{
    json_object_object_add(object, key, json_field_string(field, N));
}

// Writes the object in json-c's default (spaced) form with the given
// response kind (1 for JSON, 0 where the browser expects text/plain).
int cgi_write_json(int kind, json_object *object);
