#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "modules/system/maintenance_text.h"

namespace {

std::string uptime_of(const char *printed)
{
    char out[64];
    system_uptime_text(printed, out, sizeof out);
    return out;
}

TEST(UptimeText, CutBeforeUsersOrTheFirstL)
{
    EXPECT_EQ(uptime_of(" 10:15:02 up 12 days,  3:04,  2 users,  load average: 0.08\n"),
              " 10:15:02 up 12 days,  3:04");
    EXPECT_EQ(uptime_of(" 10:15:02 up 12 days,  3:04,  1 user,  load average: 0.08\n"),
              " 10:15:02 up 12 days,  3:04,  1 user,");
    EXPECT_EQ(uptime_of(" 10:15:02 up 5 min\n"), " 10:15:02 up 5 min") << "no cut without a mark";
    // The first 63 characters only: a "users" past them is not seen.
    const std::string long_line = std::string(70, ' ') + "2 users, load\n";
    EXPECT_EQ(uptime_of(long_line.c_str()), std::string(63, ' '));
}

TEST(UptimeText, CutNeverBeforeTheStart)
{
    EXPECT_EQ(uptime_of("load 0.5\n"), "");
    EXPECT_EQ(uptime_of("xl"), "");
    EXPECT_EQ(uptime_of("users"), "");
    EXPECT_EQ(uptime_of("ab users"), "");
    EXPECT_EQ(uptime_of(""), "");
}

TEST(OptionHash, BucketOfTheRule)
{
    // h = c + 37 * h over the characters, modulo 64: 'a' is 97 (bucket 33),
    // "ab" is 98 + 37 * 97 = 3687 (bucket 39).
    EXPECT_EQ(hash_cal_value(""), 0);
    EXPECT_EQ(hash_cal_value("a"), 33);
    EXPECT_EQ(hash_cal_value("ab"), 39);
    // High bytes count as their unsigned value; 8-bit and 32-bit sums agree.
    EXPECT_EQ(hash_cal_value("\xff"), 255 % 64);
    for (const char *name : {"setlang", "setdefault", "decode", "hotplug", "oemclean", "paratest",
                             "chipupdate", "modelupdate", "softversion"}) {
        const int bucket = hash_cal_value(name);
        EXPECT_GE(bucket, 0);
        EXPECT_LT(bucket, kOptionBuckets);
    }
}

constexpr const char *kChip = "ZQN321600H01E2023010S00000012345";

// The chip after a "chipupdate" (or "modelupdate") value; "NG" when the
// value is refused, "SHORT" when the chip cannot hold the change.
std::string after(const char *value, bool model = false, const char *chip = kChip)
{
    ChipChange change;
    const bool valid = model ? model_update_change(value, &change) : chip_update_change(value, &change);
    if (!valid)
        return "NG";
    char text[kChipInfoSize];
    snprintf(text, sizeof text, "%s", chip);
    if (!chip_apply_change(text, sizeof text, change))
        return "SHORT";
    return text;
}

TEST(ChipInfo, ChipUpdateFields)
{
    EXPECT_EQ(after("NABCDEF"), "ZQNABCDEFH01E2023010S00000012345");
    EXPECT_EQ(after("H99"), "ZQN321600991E2023010S00000012345");
    EXPECT_EQ(after("E7654321"), "ZQN321600H0176543210S00000012345");
    EXPECT_EQ(after("S12345678901"), "ZQN321600H01E2023010123456789015");
    EXPECT_EQ(after("NABCDEFGH"), "ZQNABCDEFH01E2023010S00000012345")
        << "only the field's characters are taken";
}

TEST(ChipInfo, ChipUpdateWholeIdentity)
{
    EXPECT_EQ(after("MSN2024ABCDEFGHIJKLMNOPQ"), "MSN2024ABCDEFGHIJKLMNOPQ00000000")
        << "24 characters padded to 32";
    EXPECT_EQ(after("MSN45678901234567890123456789012"), "MSN45678901234567890123456789012");
    EXPECT_EQ(after("MSN4567890123456789012345678901"), "MSN45678901234567890123456789010");
    EXPECT_EQ(after("MSN12"), "NG") << "a short text never replaces the identity";
    EXPECT_EQ(after("MSN45678901234567890"), "NG") << "20 characters are not padded";
    EXPECT_EQ(after("MSN456789012345678901234567890123"), "NG") << "33 characters";
    EXPECT_EQ(after("MXN45678901234567890123456789012"), "NG");
}

TEST(ChipInfo, ChipUpdateRefusals)
{
    // Too short for the field: the old tool copied terminators instead.
    for (const char *value : {"E12", "E123456", "H9", "N12345", "S1234567890", "N", ""})
        EXPECT_EQ(after(value), "NG") << value;
    // Only letters and digits.
    for (const char *value :
         {"NABC;EF", "N$(id)x", "N`id`ab", "N'abcd'", "N\"abcd\"", "N../../", "NABC EF", "NAB\nDEF"})
        EXPECT_EQ(after(value), "NG") << value;
    EXPECT_EQ(after("XABCDEF"), "NG") << "unknown field letter";
    EXPECT_EQ(after("nABCDEF"), "NG") << "letters are case-sensitive";
}

TEST(ChipInfo, ModelUpdateFields)
{
    EXPECT_EQ(after("NABC", true), "ZQNABC000H01E2023010S00000012345");
    EXPECT_EQ(after("N123456", true), "ZQN123456H01E2023010S00000012345");
    EXPECT_EQ(after("H7", true), "ZQN321600H70E2023010S00000012345");
    EXPECT_EQ(after("E", true), "ZQN321600H01E0000000S00000012345");
    EXPECT_EQ(after("S123", true), "ZQN321600H01E2023010S12300000000");
    EXPECT_EQ(after("N1234567", true), "NG") << "longer than its field";
    EXPECT_EQ(after("SABCDEFGHIJKL", true), "NG");
    EXPECT_EQ(after("M1", true), "NG");
    EXPECT_EQ(after("", true), "NG");
    EXPECT_EQ(after("N;x", true), "NG");
}

TEST(ChipInfo, ChangesNeedAChipThatHoldsTheField)
{
    EXPECT_EQ(after("S12345678901", false, "ZQN321600H01E2023010S000"), "SHORT");
    EXPECT_EQ(after("NABC", true, ""), "SHORT");
    EXPECT_EQ(after("MSN45678901234567890123456789012", false, ""), "MSN45678901234567890123456789012");
    EXPECT_EQ(after("NABCDEF", false, "ZQN321600"), "ZQNABCDEF");
}

std::string chip_of(const char *output, size_t size = kChipInfoSize)
{
    char chip[kChipInfoSize] = "unchanged";
    if (!chip_info_from_output(output, chip, size))
        return "NONE";
    return chip;
}

TEST(ChipInfo, ReadFromTheToolsOutput)
{
    EXPECT_EQ(chip_of("zqchip_update: reading 32 bytes\nRead old:ZQN321600\nWrite ok\n"), "ZQN321600");
    EXPECT_EQ(chip_of("Read old:ABC\r\n"), "ABC");
    EXPECT_EQ(chip_of("Read old:ABC"), "ABC") << "a last line without its end";
    EXPECT_EQ(chip_of("Read old:\n"), "");
    EXPECT_EQ(chip_of("Read old:ABCDEF", 4), "ABC") << "cut to the buffer";
    EXPECT_EQ(chip_of("no chip answers\n"), "NONE");
    EXPECT_EQ(chip_of(""), "NONE");
    EXPECT_EQ(chip_of("Read\nold:X\n"), "NONE") << "the tag lies on one line";
}

TEST(PageText, LanguageNamesStayInTheFolder)
{
    EXPECT_TRUE(page_lang_allowed("en"));
    EXPECT_TRUE(page_lang_allowed("zh-CN"));
    for (const char *lang : {"", "../en", "a/b", "..", "x..y", "/etc/passwd"})
        EXPECT_FALSE(page_lang_allowed(lang)) << lang;
}

std::string extract(const std::string &content, const char *start, const char *end, size_t capacity = 4096)
{
    FILE *file = fmemopen(const_cast<char *>(content.data()), content.size(), "r");
    std::string out(capacity, 'x');
    page_text_extract(file, start, end, out.data(), capacity);
    fclose(file);
    return out.c_str();
}

TEST(PageText, BlockBetweenTheMarkers)
{
    const std::string file =
        "{//a.json\n1\n}//a.json\n{//live.json\n\"k\": 1,\n\"m\": 2\n}//live.json\nafter\n";
    EXPECT_EQ(extract(file, "{//live.json", "}//live.json"), "{\n\"k\": 1,\n\"m\": 2\n\n}");
    EXPECT_EQ(extract(file, "{//none.json", "}//none.json"), "") << "no start line";
    EXPECT_EQ(extract("{//p.json\nx\n", "{//p.json", "}//p.json"), "{\nx\n") << "no end line: unclosed";
    EXPECT_EQ(extract("{//p.json\n}//p.json\n", "{//p.json", "}//p.json"), "{\n\n}");
}

TEST(PageText, LongLinesAndTheOutputLimit)
{
    // A line of 2000 characters is read in pieces and copied whole.
    const std::string line(2000, 'a');
    EXPECT_EQ(extract("{//p.json\n" + line + "\n}//p.json\n", "{//p.json", "}//p.json"),
              "{\n" + line + "\n\n}");
    // The block never outgrows the buffer: 9 characters of 10 are kept.
    EXPECT_EQ(extract("{//p.json\n123456789\n}//p.json\n", "{//p.json", "}//p.json", 10), "{\n1234567");
    std::string big = "{//p.json\n";
    for (int i = 0; i < 400; ++i)
        big += std::string(1000, 'b') + "\n";
    big += "}//p.json\n";
    EXPECT_EQ(extract(big, "{//p.json", "}//p.json", 307200).size(), 307199u);
}

} // namespace
