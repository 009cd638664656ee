#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/crypto/base64_url.h"
#include "platform/sysutil/zq_std.h"
#include "test_support.h"

namespace {

std::string encode(const std::string &data, size_t out_size = 256)
{
    char out[256];
    const int length = base64EncodeUrl(reinterpret_cast<const unsigned char *>(data.data()),
                                       static_cast<int>(data.size()), out, out_size);
    return length < 0 ? "<fail>" : std::string(out, static_cast<size_t>(length));
}

std::string decode(const char *text, size_t out_size = 256)
{
    unsigned char out[256];
    const int length = base64DecodeUrl(text, out, out_size);
    return length < 0 ? "<fail>" : std::string(reinterpret_cast<char *>(out), static_cast<size_t>(length));
}

TEST(Base64Url, EncodesWithTheFileSafeAlphabetAndNoPadding)
{
    EXPECT_EQ(encode(""), "");
    EXPECT_EQ(encode("f"), "Zg");
    EXPECT_EQ(encode("fo"), "Zm8");
    EXPECT_EQ(encode("foo"), "Zm9v");
    EXPECT_EQ(encode("Front door"), "RnJvbnQgZG9vcg");
    // Bytes that standard base64 writes as '+' and '/'.
    EXPECT_EQ(encode("\xfb\xff\xbf"), "-_-_");
}

TEST(Base64Url, RoundTripsEveryLength)
{
    std::string data;
    for (int length = 0; length < 96; ++length) {
        EXPECT_EQ(decode(encode(data).c_str()), data) << length;
        data += static_cast<char>(length * 37 + 5);
    }
}

TEST(Base64Url, EncodingRefusesAnOutputTooSmallForTheWholeText)
{
    // 95 bytes take 127 characters: a 128-byte field holds them, 96 bytes do not fit.
    EXPECT_EQ(encode(std::string(95, 'a'), 128).size(), 127U);
    EXPECT_EQ(encode(std::string(96, 'a'), 128), "<fail>");
    char out[4] = "xyz";
    EXPECT_EQ(base64EncodeUrl(reinterpret_cast<const unsigned char *>("abc"), 3, out, sizeof out), -1);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(base64EncodeUrl(nullptr, 0, out, sizeof out), -1);
}

TEST(Base64Url, DecodingRefusesWhatNoEncodingGives)
{
    EXPECT_EQ(decode("Zm9v=="), "foo");
    EXPECT_EQ(decode("Zg=="), "f");
    EXPECT_EQ(decode("Z"), "<fail>");    // one character left over
    EXPECT_EQ(decode("Zm+v"), "<fail>"); // standard alphabet
    EXPECT_EQ(decode("Zm=v"), "<fail>"); // padding inside
    EXPECT_EQ(decode("*bad*"), "<fail>");
    EXPECT_EQ(decode("Zm9vYmFy", 5), "<fail>"); // output too small
    EXPECT_EQ(base64DecodeUrl(nullptr, nullptr, 0), -1);
}

TEST(SplicedCopy, CopiesAFileWholeAndAPipeThePlainWay)
{
    const TempRoot root;
    const std::string from = root.path() + "/in.bin";
    const std::string to = root.path() + "/out.bin";
    std::string data(200000, '\0');
    for (size_t index = 0; index < data.size(); ++index)
        data[index] = static_cast<char>(index * 7);
    FILE *file = fopen(from.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    fwrite(data.data(), 1, data.size(), file);
    fclose(file);

    const int in = open(from.c_str(), O_RDONLY);
    const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    EXPECT_EQ(zq_spliced_copy_ex(in, out), 0);
    close(in);
    close(out);
    EXPECT_EQ(read_whole_file(to), data);

    int pipe_fds[2];
    ASSERT_EQ(pipe(pipe_fds), 0);
    ASSERT_EQ(write(pipe_fds[1], "piped", 5), 5);
    close(pipe_fds[1]);
    const int piped_out = open(to.c_str(), O_WRONLY | O_TRUNC);
    EXPECT_EQ(zq_spliced_copy_ex(pipe_fds[0], piped_out), 0);
    close(pipe_fds[0]);
    close(piped_out);
    EXPECT_EQ(read_whole_file(to), "piped");

    EXPECT_EQ(zq_spliced_copy_ex(-1, 1), -1);
}

} // namespace
