#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "front/cgi_env.h"
#include "front/cgi_intake.h"
#include "front/cgi_upload.h"
#include "front/dispatchreq.h"
#include "front/multipart.h"
#include "front/session.h"
#include "test_support.h"

namespace {

// What the upload handler saw while it ran.
struct Seen {
    int calls = 0;
    std::string text;
    bool is_upload = false;
    bool look_alikes_refused = false; // texts close to the upload's are not uploads
    std::string file_content;
};
Seen g_seen;

int record_upload(char *text)
{
    ++g_seen.calls;
    g_seen.text = text;
    g_seen.is_upload = cgi_text_is_upload(text);
    if (const char *path = cgi_uploaded_file_path()) {
        const std::string file = path;
        g_seen.file_content = read_whole_file(file);
        g_seen.look_alikes_refused = !cgi_text_is_upload((file + "x").c_str()) &&
                                     !cgi_text_is_upload((file + "&x").c_str()) &&
                                     !cgi_text_is_upload(file.substr(0, file.size() - 1).c_str()) &&
                                     !cgi_text_is_upload(("x" + file).c_str());
    }
    return 0;
}

void write_text(const std::string &path, const char *text)
{
    FILE *file = fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    fputs(text, file);
    fclose(file);
}

const WebRes kUploadTable[] = {
    {"/upl", record_upload, WebRight::Session},  {"/oem", record_upload, WebRight::Session},
    {"/1019", record_upload, WebRight::Session}, {"/1010", record_upload, WebRight::Session},
    {"/6082", record_upload, WebRight::Session}, {"/2079", record_upload, WebRight::Session}};

std::string file_body(const std::string &file_name, const std::string &data)
{
    return "--B\r\nContent-Disposition: form-data; name=\"x\"\r\n\r\n1\r\n"
           "--B\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" +
           file_name + "\"\r\nContent-Type: application/octet-stream\r\n\r\n" + data + "\r\n--B--\r\n";
}

struct Served {
    int status = 0;
    std::string output;
    std::string unread; // what stayed on the standard input
};

class UploadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(WebResRegister(kUploadTable, std::size(kUploadTable)), 0);
        g_seen = Seen{};
        // Uploads are served to a logged-in user only.
        std::filesystem::create_directories(root_ / "dev/shm");
        cookie_ = test_session_cookie("admin");
        ASSERT_FALSE(cookie_.empty());
    }
    void TearDown() override
    {
        WebResUnregister(kUploadTable, std::size(kUploadTable));
        unsetenv("HTTP_COOKIE");
        session_reset();
    }

    // One request through the intake as main serves it, entries freed after.
    Served serve(const char *path, const char *query, const std::string &body,
                 const char *type = "multipart/form-data; boundary=B", const char *method = "POST")
    {
        setenv("REQUEST_METHOD", method, 1);
        setenv("PATH_INFO", path, 1);
        setenv("QUERY_STRING", query, 1);
        setenv("CONTENT_TYPE", type, 1);
        setenv("CONTENT_LENGTH", std::to_string(body.size()).c_str(), 1);
        setenv("HTTP_COOKIE", cookie_.c_str(), 1);
        FILE *in = tmpfile();
        fwrite(body.data(), 1, body.size(), in);
        rewind(in);
        Served served;
        {
            CapturedOutput out;
            cgi_capture_environment(in, cgiOut);
            served.status = cgi_serve_request();
            cgiFreeFormEntries();
            served.output = out.text();
        }
        char chunk[4096];
        size_t got = 0;
        while ((got = fread(chunk, 1, sizeof chunk, in)) > 0)
            served.unread.append(chunk, got);
        fclose(in);
        return served;
    }

    std::vector<std::string> tmp_files() const
    {
        std::vector<std::string> names;
        for (const auto &item : std::filesystem::directory_iterator(root_ / "tmp"))
            names.push_back(item.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempRoot root_;
    std::string cookie_;
};

TEST_F(UploadTest, FileTakesTheBrowserBaseNameBesideTheTemporaryFile)
{
    const std::string data("bin\0ary\r\n--C-", 13);
    for (const char *browser_name : {"C:\\dir\\fw.bin", "/home/u/fw.bin", "a\\b/fw.bin", "fw.bin"}) {
        g_seen = Seen{};
        const Served served = serve("/upl", "", file_body(browser_name, data));
        EXPECT_EQ(served.status, 0);
        EXPECT_EQ(g_seen.calls, 1) << browser_name;
        EXPECT_EQ(g_seen.text, root_ / "tmp/fw.bin");
        EXPECT_TRUE(g_seen.is_upload);
        EXPECT_EQ(g_seen.file_content, data);
        // The handler owns the renamed file: the intake leaves it.
        EXPECT_EQ(tmp_files(), std::vector<std::string>{"fw.bin"});
        std::filesystem::remove(root_ / "tmp/fw.bin");
    }
}

TEST_F(UploadTest, ParamOfTheQueryFollowsThePath)
{
    const std::string long_param(300, 'p');
    const std::pair<std::string, std::string> cases[] = {
        {"param:abc&x=1", " & abc"},
        {"x=1&param:a b", " & a b"},
        {"param:", " & "},
        {"param:" + long_param, " & " + long_param.substr(0, 255)},
        {"x=1", ""},
    };
    for (const auto &[query, suffix] : cases) {
        g_seen = Seen{};
        serve("/upl", query.c_str(), file_body("fw.bin", "d"));
        EXPECT_EQ(g_seen.text, root_ / "tmp/fw.bin" + suffix) << query;
        EXPECT_TRUE(g_seen.is_upload) << query;
        std::filesystem::remove(root_ / "tmp/fw.bin");
    }
}

TEST_F(UploadTest, SomePathsGetTheTemporaryFileOrTheWordTemp)
{
    for (const char *path : {"/oem", "/1019"}) {
        g_seen = Seen{};
        serve(path, "aes=k", file_body("pkg.zip", "zip"));
        EXPECT_TRUE(
            std::regex_match(g_seen.text, std::regex(root_.path() + "/tmp/cgic[A-Za-z0-9]{6} & aes=k")))
            << g_seen.text;
        EXPECT_TRUE(g_seen.is_upload);
        EXPECT_EQ(g_seen.file_content, "zip");
        EXPECT_TRUE(tmp_files().empty()) << path; // deleted with the entries
    }
    for (const char *path : {"/6082", "/2079"}) {
        g_seen = Seen{};
        serve(path, "q=1", file_body("cam.bin", "img"));
        EXPECT_EQ(g_seen.text, "temp & q=1");
        EXPECT_FALSE(g_seen.is_upload);
        // The stored file is still this request's upload for the handler.
        EXPECT_EQ(g_seen.file_content, "img") << path;
        EXPECT_TRUE(tmp_files().empty()) << path;
    }
}

TEST_F(UploadTest, SystemFirmwarePathLeavesTheBodyUnread)
{
    // Not even a valid body: the parser never runs for this path.
    const std::string body = "--B\r\nnot parsed";
    const Served served = serve("/1010", "v=2", body);
    EXPECT_EQ(served.status, 0);
    EXPECT_EQ(g_seen.text, "temp & v=2");
    EXPECT_EQ(served.unread, body);
    EXPECT_TRUE(tmp_files().empty());
}

TEST_F(UploadTest, HostileBrowserNamesAreRefusedWithoutATrace)
{
    const char *const names[] = {
        "a$(touch x).bin",
        "a`id`.bin",
        ".export_down_file",
        "..",
        ".",
        "C:\\dir\\",
        "dir/",
        "a;b",
        "a|b",
        "a&b",
        "a<b",
        "a>b",
        "a*",
        "a?",
        "a'b",
        "a\tb",
        "a\x7f",
    };
    for (const char *name : names) {
        g_seen = Seen{};
        const Served served = serve("/upl", "param:x", file_body(name, "evil"));
        EXPECT_EQ(served.status, 0) << name;
        EXPECT_EQ(g_seen.calls, 0) << name;
        EXPECT_EQ(served.output, "") << name;
        EXPECT_TRUE(tmp_files().empty()) << name;
    }
    // Names a quoted file name parameter cannot carry.
    EXPECT_FALSE(cgi_upload_name_is_safe("a\"b"));
    EXPECT_FALSE(cgi_upload_name_is_safe("a\nb"));
    EXPECT_FALSE(cgi_upload_name_is_safe(""));
    // Blanks and non-ASCII letters are ordinary names.
    for (const char *name : {"my fw.bin", "\xe5\x9b\xba\xe4\xbb\xb6.bin", "fw.bin."}) {
        EXPECT_TRUE(cgi_upload_name_is_safe(name)) << name;
    }
}

TEST_F(UploadTest, ExistingFileOfTheTargetNameIsNeverReplaced)
{
    for (const bool as_directory : {false, true}) {
        if (as_directory)
            std::filesystem::create_directory(root_ / "tmp/fw.bin");
        else
            write_text(root_ / "tmp/fw.bin", "precious");
        const Served served = serve("/upl", "", file_body("fw.bin", "new"));
        EXPECT_EQ(g_seen.calls, 0);
        EXPECT_EQ(served.output, "");
        if (!as_directory) {
            EXPECT_EQ(read_whole_file(root_ / "tmp/fw.bin"), "precious");
        }
        EXPECT_EQ(tmp_files(), std::vector<std::string>{"fw.bin"});
        std::filesystem::remove_all(root_ / "tmp/fw.bin");
    }
}

TEST_F(UploadTest, NoDispatchWithoutAUsableFileField)
{
    const std::string long_name(128, 'n');
    const std::string no_file = "--B\r\nContent-Disposition: form-data; name=\"x\"\r\n\r\n1\r\n--B--\r\n";
    for (const std::string &body : {no_file, file_body("", "d"), file_body(long_name, "d")}) {
        serve("/upl", "", body);
        EXPECT_EQ(g_seen.calls, 0);
        EXPECT_TRUE(tmp_files().empty());
    }
    // A path without a handler does not rename the file either.
    serve("/none", "", file_body("fw.bin", "d"));
    EXPECT_TRUE(tmp_files().empty());
}

TEST_F(UploadTest, FailedParseEndsWithoutAnswerAndRemovesEveryTemporaryFile)
{
    const std::string complete = file_body("one.bin", "1");
    const std::string cut = complete.substr(0, complete.size() - 9) +
                            "--B\r\nContent-Disposition: form-data; "
                            "name=\"file\"; filename=\"two\"\r\n\r\npart";
    const Served served = serve("/upl", "", cut);
    EXPECT_EQ(served.status, -1);
    EXPECT_EQ(served.output, "");
    EXPECT_EQ(g_seen.calls, 0);
    EXPECT_TRUE(tmp_files().empty());
}

TEST_F(UploadTest, PlainTextIsNeverTakenForAnUpload)
{
    // The same path through GET and a form POST: the handler runs, but the
    // text it gets does not count as an uploaded file, even when it names one.
    write_text(root_ / "tmp/fw.bin", "x");
    const std::string path_text = root_ / "tmp/fw.bin";
    serve("/upl", path_text.c_str(), "", "", "GET");
    EXPECT_EQ(g_seen.text, path_text);
    EXPECT_FALSE(g_seen.is_upload);
    g_seen = Seen{};
    serve("/upl", "", path_text, "application/x-www-form-urlencoded");
    EXPECT_EQ(g_seen.calls, 1);
    EXPECT_FALSE(g_seen.is_upload);
    std::filesystem::remove(root_ / "tmp/fw.bin");

    // Only the intake's own text counts, and only while the handler runs.
    serve("/upl", "", file_body("fw.bin", "d"));
    ASSERT_TRUE(g_seen.is_upload);
    EXPECT_TRUE(g_seen.look_alikes_refused);
    EXPECT_EQ(cgi_uploaded_file_path(), nullptr);
    EXPECT_FALSE(cgi_text_is_upload(g_seen.text.c_str()));
}

} // namespace
