#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "front/cgi_env.h"
#include "front/cgi_header.h"
#include "front/multipart.h"
#include "test_support.h"

namespace {

// A body on cgiIn with its content length and boundary; the entries are
// freed when it goes.
class Body {
public:
    static constexpr int kWhole = INT_MIN; // the content length is the body's size

    explicit Body(const std::string &bytes, int length = kWhole, const char *boundary = "XyZ")
    {
        cgiIn = tmpfile();
        fwrite(bytes.data(), 1, bytes.size(), cgiIn);
        rewind(cgiIn);
        cgiContentLength = length == kWhole ? static_cast<int>(bytes.size()) : length;
        cgiMultipartBoundary = boundary;
    }
    ~Body()
    {
        cgiFreeFormEntries();
        fclose(cgiIn);
        cgiIn = nullptr;
    }
    Body(const Body &) = delete;
    Body &operator=(const Body &) = delete;

    // What the parser left unread on cgiIn.
    static std::string rest()
    {
        std::string out;
        char chunk[4096];
        size_t got = 0;
        while ((got = fread(chunk, 1, sizeof chunk, cgiIn)) > 0)
            out.append(chunk, got);
        return out;
    }
};

std::string part(const std::string &parameters, const std::string &data, const std::string &more_headers = "",
                 const std::string &boundary = "XyZ")
{
    return "--" + boundary + "\r\nContent-Disposition: form-data; " + parameters + "\r\n" + more_headers +
           "\r\n" + data + "\r\n";
}

std::string closing(const std::string &boundary = "XyZ") { return "--" + boundary + "--\r\n"; }

std::vector<const cgiFormEntry *> entries()
{
    std::vector<const cgiFormEntry *> list;
    for (const cgiFormEntry *entry = cgiFormEntryFirst; entry != nullptr; entry = entry->next)
        list.push_back(entry);
    return list;
}

std::vector<std::string> files_in(const std::string &directory)
{
    std::vector<std::string> names;
    for (const auto &item : std::filesystem::directory_iterator(directory))
        names.push_back(item.path().filename().string());
    return names;
}

// The parser's look-ahead over the body, and the step in which it moves a
// file's data from a pipe.
constexpr size_t kReadWindow = 1024 * 1024;
constexpr size_t kPipeStep = 512 * 1024;

// Parses `bytes` written into a pipe in pieces of `piece` bytes, as the web
// server streams a body.
int parse_from_pipe(const std::string &bytes, size_t piece, const char *boundary = "XyZ")
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    std::thread writer([&] {
        for (size_t at = 0; at < bytes.size();) {
            const ssize_t wrote = write(fds[1], bytes.data() + at, std::min(piece, bytes.size() - at));
            if (wrote <= 0)
                break;
            at += static_cast<size_t>(wrote);
        }
        close(fds[1]);
    });
    cgiIn = fdopen(fds[0], "r");
    cgiContentLength = static_cast<int>(bytes.size());
    cgiMultipartBoundary = boundary;
    const int result = cgiParseMultipartBody();
    writer.join();
    return result;
}

// Bytes that look like boundaries without being one: every byte value, CR
// LF pairs, "--XyZ" without the line end before it, "\r\n--" and a text
// that differs from the boundary in its last character.
std::string tricky_data(size_t size)
{
    const std::string pieces[] = {"\r\n--XyQ",          "--XyZ", "\r\n", "\r\n--Xy", "\r\r\n-",
                                  std::string(1, '\0'), "\r"};
    std::string data;
    for (size_t i = 0; data.size() < size; ++i) {
        const char byte = static_cast<char>(i * 7 % 256);
        data += byte == 'Z' ? 'z' : byte; // never the boundary's last character
        if (i % 13 == 0)
            data += pieces[i % 7];
    }
    data.resize(size);
    return data;
}

TEST(MultipartParse, FieldsAndFileArriveInBodyOrderWithExactBytes)
{
    TempRoot root;
    const std::string binary("a\0b\xff\r\n--XyQ\r\n", 13);
    const std::string file_data = tricky_data(5000);
    Body body("preamble that is skipped\r\n" + part("name=\"first\"", "1") + part("name=\"bin\"", binary) +
              part("name=\"file\"; filename=\"fw.bin\"", file_data,
                   "Content-Type: application/octet-stream; x=y\r\n") +
              closing() + "epilogue");
    ASSERT_EQ(cgiParseMultipartBody(), kCgiParseSuccess);

    const auto list = entries();
    ASSERT_EQ(list.size(), 3U);
    EXPECT_STREQ(list[0]->attr, "first");
    EXPECT_STREQ(list[0]->value, "1");
    EXPECT_EQ(list[0]->value_length, 1);
    EXPECT_STREQ(list[0]->tmp_path, "");
    EXPECT_STREQ(list[0]->file_name, "");
    EXPECT_EQ(std::string(list[1]->value, list[1]->value_length), binary);
    EXPECT_EQ(list[1]->value[list[1]->value_length], '\0');

    const cgiFormEntry *file = list[2];
    EXPECT_STREQ(file->file_name, "fw.bin");
    EXPECT_STREQ(file->content_type, "application/octet-stream");
    EXPECT_STREQ(file->value, "");
    EXPECT_TRUE(std::regex_match(file->tmp_path, std::regex(root.path() + "/tmp/cgic[A-Za-z0-9]{6}")))
        << file->tmp_path;
    struct stat info {};
    ASSERT_EQ(stat(file->tmp_path, &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 07777, 0600U);
    EXPECT_EQ(read_whole_file(file->tmp_path), file_data);

    const std::string path = file->tmp_path;
    cgiFreeFormEntries();
    EXPECT_EQ(cgiFormEntryFirst, nullptr);
    EXPECT_NE(access(path.c_str(), F_OK), 0);
}

// The parser looks at the body through a window of 64 KiB; a boundary that
// straddles its edge, or a long boundary, must still be found exactly.
TEST(MultipartParse, BoundaryAcrossTheReadWindowIsFound)
{
    TempRoot root;
    const std::string long_boundary(300, 'b');
    for (const std::string &boundary : {std::string("XyZ"), long_boundary}) {
        for (size_t size = kReadWindow - 1400; size < kReadWindow + 40; size += 37) {
            const std::string data = tricky_data(size);
            // The data's end (and the boundary after it) moves across the
            // first window edge.
            const std::string head =
                "--" + boundary + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"f\"\r\n\r\n";
            Body body(head + data + "\r\n" + part("name=\"v\"", data.substr(0, 300), "", boundary) +
                          closing(boundary),
                      Body::kWhole, boundary.c_str());
            ASSERT_EQ(cgiParseMultipartBody(), kCgiParseSuccess) << size;
            const auto list = entries();
            ASSERT_EQ(list.size(), 2U) << size;
            ASSERT_EQ(read_whole_file(list[0]->tmp_path), data) << size;
            ASSERT_EQ(std::string(list[1]->value, list[1]->value_length), data.substr(0, 300)) << size;
        }
    }
}

TEST(MultipartParse, LargeFieldsGrowInMemoryAndFilesStreamFromAPipe)
{
    TempRoot root;
    const std::string big = tricky_data(300000);
    const std::string bytes =
        part("name=\"v\"", big) + part("name=\"file\"; filename=\"a\"", big) + closing();
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    // The writer sends the body in small uneven pieces, as a network does.
    std::thread writer([&] {
        for (size_t at = 0; at < bytes.size();) {
            const size_t piece = std::min<size_t>(1 + at % 997, bytes.size() - at);
            if (write(fds[1], bytes.data() + at, piece) <= 0)
                break;
            at += piece;
        }
        close(fds[1]);
    });
    cgiIn = fdopen(fds[0], "r");
    cgiContentLength = static_cast<int>(bytes.size());
    cgiMultipartBoundary = "XyZ";
    const int result = cgiParseMultipartBody();
    writer.join();
    ASSERT_EQ(result, kCgiParseSuccess);
    const auto list = entries();
    ASSERT_EQ(list.size(), 2U);
    EXPECT_EQ(std::string(list[0]->value, list[0]->value_length), big);
    EXPECT_EQ(read_whole_file(list[1]->tmp_path), big);
    cgiFreeFormEntries();
    fclose(cgiIn);
    cgiIn = nullptr;
}

TEST(MultipartParse, FilesFromAPipeKeepTheirBytesAcrossMoveSteps)
{
    TempRoot root;
    const std::string long_boundary(300, 'b');
    for (const std::string &boundary : {std::string("XyZ"), long_boundary}) {
        // File ends on and around the steps in which data moves from the
        // pipe, a second file, a field and then the closing boundary.
        for (size_t size = 2 * kPipeStep - 700; size < 2 * kPipeStep + 400; size += 101) {
            const std::string data = tricky_data(size);
            const std::string small = data.substr(0, 1000);
            const std::string bytes = part("name=\"file\"; filename=\"a\"", data, "", boundary) +
                                      part("name=\"second\"; filename=\"b\"", small, "", boundary) +
                                      part("name=\"v\"", small, "", boundary) + closing(boundary);
            ASSERT_EQ(parse_from_pipe(bytes, 1 + size % 70000, boundary.c_str()), kCgiParseSuccess) << size;
            const auto list = entries();
            ASSERT_EQ(list.size(), 3U) << size;
            ASSERT_EQ(read_whole_file(list[0]->tmp_path), data) << size;
            ASSERT_EQ(read_whole_file(list[1]->tmp_path), small) << size;
            ASSERT_EQ(std::string(list[2]->value, list[2]->value_length), small) << size;
            cgiFreeFormEntries();
            fclose(cgiIn);
            cgiIn = nullptr;
        }
    }
    // A file that the body cuts off leaves no file behind.
    const std::string cut = part("name=\"file\"; filename=\"a\"", tricky_data(3 * kPipeStep));
    EXPECT_EQ(parse_from_pipe(cut.substr(0, cut.size() - 2), 65536), kCgiParseIO);
    cgiFreeFormEntries();
    fclose(cgiIn);
    cgiIn = nullptr;
    EXPECT_TRUE(files_in(root / "tmp").empty());
}

TEST(MultipartParse, BodyEndingEarlyFailsAndRemovesThatPartsFile)
{
    TempRoot root;
    const std::string complete = part("name=\"one\"; filename=\"1.bin\"", "first");
    {
        Body body(complete +
                  "--XyZ\r\nContent-Disposition: form-data; name=\"two\"; filename=\"2.bin\"\r\n\r\npart");
        EXPECT_EQ(cgiParseMultipartBody(), kCgiParseIO);
        // The complete part stays listed (and its file stays until freed).
        ASSERT_EQ(entries().size(), 1U);
        EXPECT_EQ(files_in(root / "tmp").size(), 1U);
        cgiFreeFormEntries();
        EXPECT_TRUE(files_in(root / "tmp").empty());
    }
    for (const std::string &cut :
         {std::string("no boundary at all"), std::string("--XyZ\r\nContent-Disp"),
          complete + "--XyZ\r\nContent-Disposition: form-data; name=\"v\"\r\n\r\nab\r\n--Xy"}) {
        Body body(cut);
        EXPECT_EQ(cgiParseMultipartBody(), kCgiParseIO) << cut;
        cgiFreeFormEntries();
        EXPECT_TRUE(files_in(root / "tmp").empty()) << cut;
    }
}

TEST(MultipartParse, ReadsNoMoreThanTheContentLength)
{
    TempRoot root;
    const std::string form = part("name=\"a\"", "1") + closing();
    {
        // Whatever follows the closing boundary within the length is read;
        // nothing beyond the length is.
        Body body(form + "tail", static_cast<int>(form.size()) + 2);
        EXPECT_EQ(cgiParseMultipartBody(), kCgiParseSuccess);
        EXPECT_EQ(entries().size(), 1U);
        EXPECT_EQ(Body::rest(), "il");
    }
    {
        // A length that ends inside a part: the body ended early.
        Body body(form, 20);
        EXPECT_EQ(cgiParseMultipartBody(), kCgiParseIO);
        EXPECT_EQ(Body::rest(), form.substr(20));
    }
    for (int length : {0, -5}) {
        Body body(form, length);
        EXPECT_EQ(cgiParseMultipartBody(), kCgiParseSuccess);
        EXPECT_EQ(cgiFormEntryFirst, nullptr);
        EXPECT_EQ(Body::rest(), form);
    }
    {
        // A closing boundary as the first one: success with no entries.
        Body body("--XyZ--\r\n");
        EXPECT_EQ(cgiParseMultipartBody(), kCgiParseSuccess);
        EXPECT_EQ(cgiFormEntryFirst, nullptr);
    }
}

TEST(MultipartParse, HeaderFormsAndPartsThatAreNotFormData)
{
    TempRoot root;
    const std::string bytes = "--XyZ\r\n"
                              "content-disposition:FORM-DATA; NAME=\"q\"; FileName=\"C:\\dir\\a;b.bin\"\r"
                              "CONTENT-TYPE:  text/plain ; charset=x\n"
                              "\r\nfile data\r\n"
                              "--XyZ\r\n"
                              "Content-Disposition: attachment; name=\"skipped\"\r\n\r\n"
                              "Content-Disposition: form-data; name=\"inside\"\r\n\r\nnot a part\r\n"
                              "--XyZ\r\n"
                              "Content-Disposition: form-data;name=plain ; filename=\r\n"
                              "X-Other: whatever\r\n\r\n"
                              "v\r\n" +
                              closing();
    Body body(bytes);
    ASSERT_EQ(cgiParseMultipartBody(), kCgiParseSuccess);
    const auto list = entries();
    ASSERT_EQ(list.size(), 2U);
    EXPECT_STREQ(list[0]->attr, "q");
    EXPECT_STREQ(list[0]->file_name, "C:\\dir\\a;b.bin");
    EXPECT_STREQ(list[0]->content_type, "text/plain");
    EXPECT_EQ(read_whole_file(list[0]->tmp_path), "file data");
    // The attachment part and its data are skipped whole.
    EXPECT_STREQ(list[1]->attr, "plain");
    EXPECT_STREQ(list[1]->file_name, "");
    EXPECT_STREQ(list[1]->tmp_path, "");
    EXPECT_STREQ(list[1]->value, "v");
}

TEST(MultipartParse, TemporaryFileThatCannotBeCreatedIsAnInputFailure)
{
    TempRoot root;
    std::filesystem::remove_all(root / "tmp");
    Body body(part("name=\"file\"; filename=\"x\"", "data") + closing());
    EXPECT_EQ(cgiParseMultipartBody(), kCgiParseIO);
    EXPECT_EQ(cgiFormEntryFirst, nullptr);
}

TEST(FormEntries, FileNameResultsAndLookup)
{
    TempRoot root;
    const std::string long_name(200, 'n');
    Body body(part("name=\"long\"; filename=\"" + long_name + "\"", "x") + part("name=\"plain\"", "y") +
              part("name=\"file\"; filename=\"first.bin\"", "1") +
              part("name=\"file\"; filename=\"second\"", "2") + closing());
    ASSERT_EQ(cgiParseMultipartBody(), kCgiParseSuccess);

    char buffer[128] = "junk";
    EXPECT_EQ(cgiFormFileName("file", buffer, sizeof buffer), kCgiFormSuccess);
    EXPECT_STREQ(buffer, "first.bin");
    EXPECT_EQ(cgiFormFileName("long", buffer, sizeof buffer), kCgiFormTruncated);
    EXPECT_EQ(std::string(buffer), long_name.substr(0, 127));
    EXPECT_EQ(cgiFormFileName("plain", buffer, sizeof buffer), kCgiFormNoFileName);
    EXPECT_STREQ(buffer, "");
    strcpy(buffer, "junk");
    EXPECT_EQ(cgiFormFileName("FILE", buffer, sizeof buffer), kCgiFormNotFound);
    EXPECT_STREQ(buffer, "");

    // Names compare exactly; the first of two equal names wins.
    EXPECT_EQ(cgiFormEntryFind("File"), nullptr);
    ASSERT_NE(cgiFormEntryFind("file"), nullptr);
    EXPECT_STREQ(cgiFormEntryFind("file")->file_name, "first.bin");
}

TEST(Headers, LocationAndCookieFormats)
{
    {
        CapturedOutput out;
        cgiHeaderLocation("/index.html");
        EXPECT_EQ(out.text(), "Location: /index.html\r\n\r\n");
    }
    char text[64];
    cgi_cookie_expiry(0, text, sizeof text);
    EXPECT_STREQ(text, "Thu, 01-Jan-1970 00:00:00 GMT");
    cgi_cookie_expiry(1700000000, text, sizeof text);
    EXPECT_STREQ(text, "Tue, 14-Nov-2023 22:13:20 GMT");
    cgi_cookie_expiry(951782400, text, sizeof text); // a leap day
    EXPECT_STREQ(text, "Tue, 29-Feb-2000 00:00:00 GMT");

    CapturedOutput out;
    const time_t before = time(nullptr);
    cgiHeaderCookieSetString("sessionId", "abc", 3600, "/", "192.0.2.1");
    const time_t after = time(nullptr);
    bool matched = false;
    for (time_t now = before; now <= after; ++now) {
        cgi_cookie_expiry(now + 3600, text, sizeof text);
        matched =
            matched || out.text() == std::string("Set-Cookie: sessionId=abc; domain=192.0.2.1; expires=") +
                                         text + "; path=/\r\n";
    }
    EXPECT_TRUE(matched) << out.text();
}

} // namespace
