#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "front/cgi_env.h"

namespace {

void capture_with_content_type(const char *type)
{
    if (type != nullptr)
        setenv("CONTENT_TYPE", type, 1);
    else
        unsetenv("CONTENT_TYPE");
    cgi_capture_environment(stdin, stdout);
}

TEST(ContentType, ParametersAreCutOffAndBoundaryKept)
{
    capture_with_content_type("Application/JSON; charset=UTF-8");
    EXPECT_STREQ(cgiContentType, "Application/JSON");
    EXPECT_STREQ(cgiMultipartBoundary, "");

    capture_with_content_type("multipart/form-data;  BOUNDARY=----abc123 trailing");
    EXPECT_STREQ(cgiContentType, "multipart/form-data");
    EXPECT_STREQ(cgiMultipartBoundary, "----abc123");

    capture_with_content_type("multipart/form-data; charset=x; boundary=zz");
    EXPECT_STREQ(cgiMultipartBoundary, "zz");
}

TEST(ContentType, LongValueIsCutAndAbsentIsEmpty)
{
    const std::string long_type(3000, 'a');
    capture_with_content_type(long_type.c_str());
    EXPECT_EQ(std::string(cgiContentType), long_type.substr(0, 1023));

    capture_with_content_type(nullptr);
    EXPECT_STREQ(cgiContentType, "");
}

TEST(Environment, AbsentVariablesReadAsEmptyAndLengthIsNumeric)
{
    unsetenv("HTTP_COOKIE");
    setenv("CONTENT_LENGTH", "12x", 1);
    cgi_capture_environment(stdin, stdout);
    ASSERT_NE(cgiCookie, nullptr);
    EXPECT_STREQ(cgiCookie, "");
    EXPECT_EQ(cgiContentLength, 12);

    setenv("CONTENT_LENGTH", "99999999999999999999", 1);
    cgi_capture_environment(stdin, stdout);
    EXPECT_GT(cgiContentLength, 0);
    setenv("CONTENT_LENGTH", "abc", 1);
    cgi_capture_environment(stdin, stdout);
    EXPECT_EQ(cgiContentLength, 0);
    unsetenv("CONTENT_LENGTH");
}

TEST(NoCaseCompare, LettersFoldOthersMustMatchAndLengthsAgree)
{
    EXPECT_TRUE(cgi_str_eq_nocase("Post", "post"));
    EXPECT_TRUE(cgi_str_eq_nocase("APPLICATION/JSON", "application/json"));
    EXPECT_FALSE(cgi_str_eq_nocase("post", "posts"));
    EXPECT_FALSE(cgi_str_eq_nocase("posts", "post"));
    EXPECT_FALSE(cgi_str_eq_nocase("", "post"));
    EXPECT_TRUE(cgi_str_eq_nocase("", ""));
    EXPECT_FALSE(cgi_str_eq_nocase("a_b", "a-b"));
}

TEST(Strrpl, ReplacesLeftToRightWithoutRescanning)
{
    char out[64];
    EXPECT_STREQ(strrpl(out, "{%22a%22:%221%22}", "%22", "\""), "{\"a\":\"1\"}");
    EXPECT_STREQ(strrpl(out, "%2%22", "%22", "\""), "%2\"");
    EXPECT_STREQ(strrpl(out, "aaa", "a", "aa"), "aaaaaa");
    EXPECT_STREQ(strrpl(out, "", "%22", "\""), "");
}

} // namespace
