// The cases' pattern matcher says what std::regex says, and matches a long
// binary answer without running out of stack.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "pattern_match.h"

namespace {

struct Sample {
    const char *pattern;
    std::string text;
};

std::string bytes(const char *data, size_t length) { return std::string(data, length); }

} // namespace

TEST(PatternMatch, AgreesWithRegex)
{
    const std::vector<Sample> samples = {
        {"abc", "abc"},
        {"abc", "abcd"},
        {"a.c", "a\nc"},
        {"a.c", "a\rc"},
        {"a.c", "a\xff"
                "c"},
        {"^a[\\s\\S]*z$", "a\n\r\x01\x80z"},
        {"a.*z", "a12\n3z"},
        {"a[^]*z", "a\nz"},
        {"\\x41\\u0042\\0\\n\\r\\t", bytes("AB\0\n\r\t", 6)},
        {"\\.\\*\\[\\]\\(\\)\\{\\}\\\\\\/", ".*[](){}\\/"},
        {"[a-cx\\d]+", "abx09c"},
        {"[a-cx\\d]+", "abd"},
        {"[^a-c\\n]{2,3}", "zz"},
        {"[^a-c\\n]{2,3}", "zzzz"},
        {"[^a-c\\n]{2,3}", "z\n"},
        {"x{3}", "xxx"},
        {"x{3}", "xx"},
        {"x{2,}y?", "xxxxxy"},
        {"x{2,}y?", "x"},
        {"\\w+\\W\\s\\S\\D", "ab_9- xq"},
        {"a+?b*?c??", "aaab"},
        {"[-a]+[a-]+", "-aa-"},
        {"[\\]\\-]+", "]-]"},
        {"(ab|cd)+", "abcdab"}, // groups and alternatives: std::regex itself
        {"(ab|cd)+", "abce"},
        {"a\\bb", "ab"},
        {"", ""},
        {"", "x"},
        {"[]", "x"},
    };
    for (const Sample &sample : samples) {
        const bool expected = std::regex_match(sample.text, std::regex(sample.pattern));
        EXPECT_EQ(pattern_matches(sample.text, sample.pattern), expected)
            << sample.pattern << " on " << testing::PrintToString(sample.text);
    }
}

TEST(PatternMatch, LongBinaryAnswerNeedsNoDeepStack)
{
    std::string file = "RIFF";
    for (int i = 0; i < 4 << 20; ++i)
        file += static_cast<char>(i * 7 % 256);
    file += "idx1";
    EXPECT_TRUE(pattern_matches(file, "RIFF[\\s\\S]*idx1"));
    EXPECT_TRUE(pattern_matches(file, "RIFF\\0\\x07[\\s\\S]*\\xf9idx1"));
    EXPECT_FALSE(pattern_matches(file, "RIFF\\0\\x07[\\s\\S]*\\xf8idx1"));
    EXPECT_FALSE(pattern_matches(file, "RIFF[\\s\\S]*idx2"));
}
