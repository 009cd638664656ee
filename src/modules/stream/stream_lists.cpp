// Request parsing shared by the stream handlers: required integer keys,
// channels, and the session and channel lists, which never hold more than
// their 64 entries whatever "num" or the arrays say.
#include <cstring>

#include "codecs/params.h"
#include "modules/stream/stream.h"

bool stream_get_ints(json_object *request, std::initializer_list<IntKey> keys)
{
    for (const IntKey &key : keys) {
        int value = 0;
        if (!json_value_int(json_get_member(request, key.key), &value))
            return false;
        *key.out = value;
    }
    return true;
}

bool stream_channel_valid(int channel) { return channel >= 0 && channel < kStreamChannels; }

bool stream_channel_text(const char *text, int *channel)
{
    return param_text_int(text, channel) && stream_channel_valid(*channel);
}

int gather_list(json_object *first_array, int32_t *first, json_object *second_array, int32_t *second,
                int limit, bool (*keep)(int32_t value))
{
    size_t length = json_array_size(first_array);
    if (second != nullptr && json_array_size(second_array) < length)
        length = json_array_size(second_array);
    const size_t end =
        static_cast<size_t>(clamp_count(clamp_count(limit, static_cast<int>(length)), kStreamListMax));
    int count = 0;
    for (size_t index = 0; index < end; ++index) {
        int value = 0;
        int other = 0;
        if (!json_value_int(json_array_item(first_array, index), &value) ||
            (second != nullptr && !json_value_int(json_array_item(second_array, index), &other)))
            continue;
        if (keep != nullptr && !keep(value))
            return -1;
        first[count] = value;
        if (second != nullptr)
            second[count] = other;
        ++count;
    }
    return count;
}

bool session_list_from_request(json_object *request, const char *ids_key, playback_session_list *list)
{
    int32_t num = 0;
    json_object *ids = json_value_array(json_get_member(request, ids_key));
    if (ids == nullptr || !stream_get_ints(request, {{"num", &num}}))
        return false;
    memset(list, 0, sizeof *list);
    list->count = gather_list(ids, list->sid, nullptr, nullptr, num);
    return true;
}

uint64_t stream_channel_mask(const int32_t *channels, int count)
{
    uint64_t mask = 0;
    for (int index = 0; index < count; ++index)
        if (channels[index] >= 0 && channels[index] < 64)
            mask |= uint64_t{1} << channels[index];
    return mask;
}
