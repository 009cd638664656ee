#include "front/byte_search.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

namespace {

// The reference answer: the first match, or the size when there is none.
size_t reference(const std::string &data, const std::string &needle)
{
    const void *hit = memmem(data.data(), data.size(), needle.data(), needle.size());
    return hit == nullptr ? data.size() : static_cast<size_t>(static_cast<const char *>(hit) - data.data());
}

size_t found(const std::string &data, const std::string &needle)
{
    const char *hit = find_bytes(data.data(), data.size(), needle.data(), needle.size());
    return hit == nullptr ? data.size() : static_cast<size_t>(hit - data.data());
}

TEST(FindBytes, FirstMatchAtEveryPositionAndLookAlikes)
{
    std::mt19937 random(7);
    for (const std::string &needle : {std::string("\r\n--XyZ"), std::string("\r\n--"), std::string("ab"),
                                      std::string("a"), "\r\n--" + std::string(300, 'b')}) {
        for (size_t size = 0; size < 400; size += 7) {
            // Data of few byte values, so near misses (first and last byte
            // right, middle wrong) are frequent.
            std::string data(size, 'a');
            for (char &byte : data)
                byte = "\r\n-XyZab"[random() % 8];
            EXPECT_EQ(found(data, needle), reference(data, needle)) << size;
            for (size_t at = 0; at + needle.size() <= size; at += 5) {
                std::string planted = data;
                planted.replace(at, needle.size(), needle);
                ASSERT_EQ(found(planted, needle), reference(planted, needle)) << size << " " << at;
            }
        }
    }
    EXPECT_EQ(find_bytes("abc", 3, "", 0), nullptr);
    EXPECT_EQ(find_bytes("ab", 2, "abc", 3), nullptr);
}

} // namespace
