#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "front/web_utils.h"
#include "platform/crypto/url_code.h"
#include "platform/fslog/zqfs_log.h"

namespace {

TEST(UrlEncode, KeepsUnreservedAndEscapesTheRest)
{
    char out[128];
    EXPECT_EQ(get_url_encode("a-Z_9.~ &%/\xff", 12, out, sizeof out), 22);
    EXPECT_STREQ(out, "a-Z_9.~%20%26%25%2F%FF");
}

TEST(UrlDecode, DecodesEscapesAndKeepsBrokenOnes)
{
    char out[64];
    EXPECT_EQ(get_url_decode("p%26ss%20w%2fd+", out, sizeof out), 9);
    EXPECT_STREQ(out, "p&ss w/d+");
    // An escape without two hex digits, also at the very end, stays as sent.
    EXPECT_EQ(get_url_decode("%G1%4%", out, sizeof out), 6);
    EXPECT_STREQ(out, "%G1%4%");
    // Round trip of what the disk list encodes.
    char encoded[64];
    get_url_encode("r\u00e9c@nvr 1", 64, encoded, sizeof encoded);
    get_url_decode(encoded, out, sizeof out);
    EXPECT_STREQ(out, "r\u00e9c@nvr 1");
}

TEST(UrlDecode, StopsAtRoomAndRefusesNull)
{
    char out[4];
    EXPECT_EQ(get_url_decode("%41%42%43%44", out, sizeof out), 3);
    EXPECT_STREQ(out, "ABC");
    EXPECT_EQ(get_url_decode(nullptr, out, sizeof out), -1);
    EXPECT_EQ(get_url_decode("a", out, 0), -1);
}

TEST(UrlEncode, StopsAtLengthTerminatorAndRoom)
{
    char out[8];
    EXPECT_EQ(get_url_encode("abcdef", 3, out, sizeof out), 3);
    EXPECT_STREQ(out, "abc");
    // "ab%20" fits in 7 characters, the next escape would not.
    EXPECT_EQ(get_url_encode("ab  cd", 6, out, sizeof out), 5);
    EXPECT_STREQ(out, "ab%20");
    EXPECT_EQ(get_url_encode(nullptr, 1, out, sizeof out), -1);
    EXPECT_EQ(get_url_encode("a", 1, out, 0), -1);
}

TEST(LogDetail, PacksKindLengthAndData)
{
    LogRecord record;
    memset(&record, 0x55, sizeof record);
    const unsigned char data[3] = {1, 2, 3};
    ASSERT_EQ(zqfs_log_pack_detail(&record, 102, data, 3), 0);
    EXPECT_EQ(record.detail_size, 11);
    const unsigned char want[12] = {102, 0, 0, 0, 3, 0, 0, 0, 1, 2, 3, 0};
    EXPECT_EQ(memcmp(record.detail, want, sizeof want), 0);
    EXPECT_EQ(record.detail[511], 0);
}

TEST(LogDetail, RefusesDataThatDoesNotFit)
{
    LogRecord record{};
    std::string big(505, 'x');
    EXPECT_EQ(zqfs_log_pack_detail(&record, 1, big.data(), 505), -1);
    EXPECT_EQ(record.detail_size, 0);
    EXPECT_EQ(zqfs_log_pack_detail(&record, 1, big.data(), 504), 0);
    EXPECT_EQ(record.detail_size, 512);
    EXPECT_EQ(zqfs_log_pack_detail(&record, 1, nullptr, 4), -1);
    EXPECT_EQ(zqfs_log_pack_detail(&record, 1, big.data(), -1), -1);
    EXPECT_EQ(zqfs_log_pack_detail(nullptr, 1, big.data(), 1), -1);
}

} // namespace
