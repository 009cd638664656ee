// Helpers of the reply decoder tests: a reply handed to a module's reply
// callback as the socket library hands it, payloads written field by field
// at byte offsets, and the parsed JSON of an answer.
#pragma once

#include <gtest/gtest.h>
#include <json-c/json.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/ipc.h"
#include "platform/msgsock/msgsock.h"
#include "test_support.h"

// What a decoder wrote and the done flag it left.
struct Delivered {
    std::string out;
    int done;
};

using ReplyCallback = int (*)(void *context, const char *header, const char *payload);

inline Delivered deliver_reply(ReplyCallback callback, int32_t code, const std::string &payload)
{
    CapturedOutput output;
    g_callback_done.store(0);
    // A buffer of the payload's own size, so that a read past it is seen.
    const std::vector<char> bytes(payload.begin(), payload.end());
    unsigned char header[kMsgHeaderSize];
    msg_header_encode(MsgHeader{1, 0, code, static_cast<uint32_t>(bytes.size())}, header);
    callback(nullptr, reinterpret_cast<const char *>(header), bytes.empty() ? "" : bytes.data());
    return Delivered{output.text(), g_callback_done.load()};
}

// The smallest whole reply of a decoder.
struct ReplySize {
    int32_t code;
    size_t bytes;
};

// Each reply one byte short is no reply: nothing written, the wait goes
// on. A whole one answers (the done flag `done`, or any positive one for
// 0) and bytes past it are not read.
template <size_t N>
void expect_short_replies_ignored(ReplyCallback callback, const ReplySize (&sizes)[N], int done = 0)
{
    for (const ReplySize &size : sizes) {
        const Delivered short_reply = deliver_reply(callback, size.code, std::string(size.bytes - 1, '\x01'));
        EXPECT_EQ(short_reply.out, "") << size.code;
        EXPECT_EQ(short_reply.done, 0) << size.code;
        const Delivered whole = deliver_reply(callback, size.code, std::string(size.bytes, '\0'));
        if (done != 0) {
            EXPECT_EQ(whole.done, done) << size.code;
        }
        EXPECT_GE(whole.done, 1) << size.code;
        EXPECT_NE(whole.out.find("\r\n\r\n"), std::string::npos) << size.code;
        const Delivered longer = deliver_reply(callback, size.code, std::string(size.bytes + 9, '\0'));
        EXPECT_EQ(longer.out, whole.out) << size.code << ": bytes past the record are not read";
    }
}

// A payload of zeros with values written at byte offsets (little-endian).
class Bytes {
public:
    explicit Bytes(size_t size) : bytes_(size, '\0') {}
    Bytes &i32(size_t offset, int32_t value) { return put(offset, &value, sizeof value); }
    Bytes &u64(size_t offset, uint64_t value) { return put(offset, &value, sizeof value); }
    Bytes &u8(size_t offset, uint8_t value) { return put(offset, &value, sizeof value); }
    Bytes &text(size_t offset, const std::string &text) { return put(offset, text.data(), text.size()); }
    Bytes &append(const Bytes &more)
    {
        bytes_ += more.bytes_;
        return *this;
    }
    const std::string &str() const { return bytes_; }

private:
    Bytes &put(size_t offset, const void *value, size_t size)
    {
        memcpy(&bytes_[offset], value, size);
        return *this;
    }
    std::string bytes_;
};

inline int32_t int32_at(const std::string &bytes, size_t offset)
{
    int32_t value = 0;
    memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

inline json_object *json_at(json_object *object, const char *key)
{
    return json_object_object_get(object, key);
}
inline int json_int_at(json_object *object, const char *key)
{
    return json_object_get_int(json_at(object, key));
}
inline std::string json_text_at(json_object *object, const char *key)
{
    const char *text = json_object_get_string(json_at(object, key));
    return text != nullptr ? text : "(missing)";
}
// The keys of an object in their order.
inline std::vector<std::string> json_keys(json_object *object)
{
    std::vector<std::string> names;
    json_object_object_foreach(object, key, value)
    {
        (void)value;
        names.emplace_back(key);
    }
    return names;
}

constexpr const char *kJsonHead = "Content-type: application/json\r\n\r\n";
constexpr const char *kTextHead = "Content-type: text/plain\r\n\r\n";

// The JSON body of an answer, parsed (null unless it was a JSON answer).
class Answer {
public:
    explicit Answer(const Delivered &delivered)
    {
        const size_t head = strlen(kJsonHead);
        if (delivered.out.compare(0, head, kJsonHead) == 0)
            object_ = json_tokener_parse(delivered.out.c_str() + head);
    }
    ~Answer() { json_object_put(object_); }
    Answer(const Answer &) = delete;
    Answer &operator=(const Answer &) = delete;
    json_object *get() const { return object_; }
    json_object *at(const char *key) const { return json_at(object_, key); }
    int num(const char *key) const { return json_int_at(object_, key); }
    std::string text(const char *key) const { return json_text_at(object_, key); }
    std::vector<std::string> keys() const { return json_keys(object_); }

private:
    json_object *object_ = nullptr;
};
