#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "modules/system/log_text.h"

namespace {

std::string client_ip(const char *address)
{
    char field[46] = {};
    snprintf(field, sizeof field, "%s", address);
    char out[47];
    log_client_ip(field, sizeof field, out, sizeof out);
    return out;
}

TEST(LogText, ClientAddressLosesMappedPrefixOrScope)
{
    EXPECT_EQ(client_ip("::ffff:192.168.1.5"), "192.168.1.5");
    EXPECT_EQ(client_ip("fe80::1%eth0"), "fe80::1");
    EXPECT_EQ(client_ip("::ffff:abcd"), "::ffff:abcd");
    // A field filled to its end without a terminator is read to its width.
    char field[46];
    memset(field, '1', sizeof field);
    char out[47];
    log_client_ip(field, sizeof field, out, sizeof out);
    EXPECT_EQ(strlen(out), sizeof field);
}

TEST(LogText, DetailWordsRoundTripEveryByte)
{
    char detail[512];
    for (size_t i = 0; i < sizeof detail; ++i)
        detail[i] = static_cast<char>(i * 7 + 3);
    int32_t words[kLogDetailWords];
    log_detail_to_words(detail, words);
    EXPECT_EQ(static_cast<uint32_t>(words[0]), 0x030a1118u);
    char back[512];
    log_detail_from_words(words, back);
    EXPECT_EQ(memcmp(detail, back, sizeof detail), 0);
}

TEST(LogText, OperationGroupsExpandTheirBits)
{
    int64_t out[100];
    const int only_first[] = {11, 10, 10};
    ASSERT_EQ(log_operation_sub_types(only_first, 3, out, 100), 1);
    EXPECT_EQ(out[0], 101);
    const int three[] = {13, 12, 11};
    ASSERT_EQ(log_operation_sub_types(three, 3, out, 100), 4);
    EXPECT_EQ(out[1], 102);
    EXPECT_EQ(out[2], 132);
    EXPECT_EQ(out[3], 200);
    // Missing groups add nothing; extreme values stay within 30 bits each.
    EXPECT_EQ(log_operation_sub_types(three, 1, out, 100), 2);
    const int extreme[] = {INT32_MIN, INT32_MAX, 9};
    EXPECT_LE(log_operation_sub_types(extreme, 3, out, 100), 90);
    EXPECT_EQ(log_operation_sub_types(extreme, 3, out, 5), 5);
}

TEST(LogText, CsvFieldsQuoteWhatWouldSplitARow)
{
    char *buffer = nullptr;
    size_t length = 0;
    FILE *out = open_memstream(&buffer, &length);
    static CsvRow row;
    log_csv_number(&row, -12);
    log_csv_field(&row, "plain", false);
    log_csv_field(&row, "a,b", false);
    log_csv_field(&row, "say \"hi\"\r\nbye", true);
    log_csv_field(&row, "N/A", true);
    log_csv_end(&row, out);
    // A row that would overflow keeps what fits and stays one row.
    const std::string quotes(kCsvRowSize, '"');
    log_csv_field(&row, quotes.c_str(), true);
    log_csv_end(&row, out);
    fclose(out);
    const std::string text(buffer, length);
    const std::string first = "-12,plain,\"a,b\",\"say \"\"hi\"\"\r\nbye\",\"N/A\",\r\n";
    EXPECT_EQ(text.substr(0, first.size()), first);
    EXPECT_EQ(text.size(), first.size() + kCsvRowSize);
    EXPECT_EQ(text.substr(text.size() - 3), "\"\r\n");
    free(buffer);
}

TEST(LogText, TimesOfAQuarterHourShareOneConversion)
{
    setenv("TZ", "Asia/Kathmandu", 1);
    tzset();
    char text[32];
    for (const int64_t seconds : {1767225600LL, 1767225600LL + 899, 1767225600LL + 900, 1767225600LL + 61}) {
        const auto when = static_cast<time_t>(seconds);
        struct tm local {};
        localtime_r(&when, &local);
        char expected[32];
        strftime(expected, sizeof expected, "%Y-%m-%d %H:%M:%S", &local);
        log_time_text(seconds, text, sizeof text);
        EXPECT_STREQ(text, expected) << seconds;
    }
    unsetenv("TZ");
    tzset();
}

TEST(LogText, MainTypeCodesAndWords)
{
    const int types[] = {1, 2, 4, 8, 32, 64, 3};
    const int codes[] = {1, 2, 3, 4, 5, 6, -1};
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(log_main_trans_code(types[i]), codes[i]);
    EXPECT_STREQ(log_kind_word(32), "Exception");
    EXPECT_STREQ(log_kind_word(0), "All");
}

} // namespace
