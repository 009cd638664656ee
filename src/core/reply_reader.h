// Bounded access to reply payloads: every decoder reads records through a
// ReplyReader, so a short payload or a count field larger than the payload
// never makes it read past the bytes the core daemon sent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

class ReplyReader {
public:
    ReplyReader(const char *payload, size_t size) : data_(payload), size_(payload != nullptr ? size : 0) {}

    size_t size() const { return size_; }

    // Number of whole records of `record_size` bytes in the payload.
    size_t count(size_t record_size) const { return record_size == 0 ? 0 : size_ / record_size; }

    // Copies `length` bytes at `offset`; false (and `out` zeroed) when they
    // are not all in the payload.
    bool read(size_t offset, void *out, size_t length) const
    {
        if (offset > size_ || length > size_ - offset) {
            memset(out, 0, length);
            return false;
        }
        memcpy(out, data_ + offset, length);
        return true;
    }

    // Record `index` of a payload of `T` records.
    template <typename T> bool record(size_t index, T *out) const
    {
        if (index >= count(sizeof(T))) {
            memset(out, 0, sizeof(T));
            return false;
        }
        return read(index * sizeof(T), out, sizeof(T));
    }

    // The `length` bytes at `offset` in place; null when they are not all in
    // the payload.
    const char *bytes(size_t offset, size_t length) const
    {
        return offset > size_ || length > size_ - offset ? nullptr : data_ + offset;
    }

    // A little-endian int32 at `offset`, or `fallback` when out of range.
    int32_t int32_at(size_t offset, int32_t fallback = 0) const
    {
        unsigned char bytes[4];
        if (!read(offset, bytes, sizeof bytes))
            return fallback;
        return static_cast<int32_t>(static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                                    static_cast<uint32_t>(bytes[2]) << 16 |
                                    static_cast<uint32_t>(bytes[3]) << 24);
    }

private:
    const char *data_;
    size_t size_;
};

// Copies a fixed-width text field of a wire record into `out`, stopping at
// the field's end even when the field holds no terminator.
inline void copy_field_text(char *out, size_t out_size, const char *field, size_t field_size)
{
    if (out_size == 0)
        return;
    size_t length = strnlen(field, field_size);
    if (length > out_size - 1)
        length = out_size - 1;
    memcpy(out, field, length);
    out[length] = '\0';
}

// Fills a fixed-width text field of a wire record with `text`, cut to the
// field's width - 1, the rest of the field zeroed.
inline void fill_field_text(char *field, size_t field_size, const char *text)
{
    if (field_size == 0)
        return;
    memset(field, 0, field_size);
    if (text != nullptr)
        memcpy(field, text, strnlen(text, field_size - 1));
}

// Ends a fixed-width text field of a stored record within its width,
// whatever was stored, so that printing it never reads the next field.
template <size_t N> inline void terminate_field_text(char (&field)[N]) { field[N - 1] = '\0'; }

// The same for the event action texts every event record carries: the
// channels it triggers, the two alarm output lists and the snapshot channels.
template <typename Record> inline void terminate_event_action_texts(Record *record)
{
    terminate_field_text(record->tri_channels);
    terminate_field_text(record->chn_alarmout0);
    terminate_field_text(record->chn_alarmout1);
    terminate_field_text(record->tri_channels_pic);
}

// Clamps a count taken from a request or a reply to what the array holds.
inline int clamp_count(int count, int capacity)
{
    if (count < 0)
        return 0;
    return count > capacity ? capacity : count;
}

// Clamps the sum of two counts without overflowing: both may be any int a
// request sends.
inline int clamp_sum(int first, int second, int capacity)
{
    const long long sum = static_cast<long long>(first) + second;
    if (sum < 0)
        return 0;
    return sum > capacity ? capacity : static_cast<int>(sum);
}
