#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <regex>
#include <string>

#include "front/cgi_env.h"
#include "front/web_utils.h"
#include "platform/sysutil/zq_std.h"
#include "test_support.h"

namespace {

TEST(Writeback, KindsWriteTheirHeaderThenTheTextAsIs)
{
    {
        CapturedOutput out;
        EXPECT_EQ(cgi_writeback_webserver(1, "{}"), 0);
        EXPECT_EQ(out.text(), "Content-type: application/json\r\n\r\n{}");
    }
    {
        CapturedOutput out;
        cgi_writeback_webserver(0, "OK");
        EXPECT_EQ(out.text(), "Content-type: text/plain\r\n\r\nOK");
    }
    {
        CapturedOutput out;
        cgi_writeback_webserver(5, "x");
        EXPECT_EQ(cgi_writeback_webserver(0, nullptr), -1);
        EXPECT_EQ(out.text(), "x");
    }
}

TEST(Writeback, GenericErrorsHaveTheirExactTexts)
{
    {
        CapturedOutput out;
        cgi_error_to_webserver(0);
        EXPECT_EQ(out.text(), "Content-type: text/plain\r\n\r\nCGI ERROR");
    }
    {
        CapturedOutput out;
        cgi_error_to_webserver(1);
        EXPECT_EQ(out.text(), "Content-type: application/json\r\n\r\n{status:\"CGI ERROR\"}");
    }
    {
        CapturedOutput out;
        EXPECT_EQ(cgi_error_to_webserver(3), 0);
        EXPECT_EQ(out.text(), "");
    }
}

TEST(DebugLog, AppendsFormattedLinesAndCutsLongMessages)
{
    TempRoot root;
    EXPECT_EQ(cgi_log("web_utils", 7, "", "value %d", 5), 0);
    EXPECT_EQ(cgi_log("dispatchreq", 9, "fn", "%s", std::string(5000, 'm').c_str()), 0);
    const std::string log = read_whole_file(root / "mnt/nand/cgi_log.txt");
    const std::regex first(R"(\[vorn debug\] \d{4}-\d\d-\d\d \d\d:\d\d:\d\d  web_utils:7 in : value 5\n)");
    const size_t end_of_first = log.find('\n') + 1;
    EXPECT_TRUE(std::regex_match(log.substr(0, end_of_first), first)) << log.substr(0, end_of_first);
    const std::string second = log.substr(end_of_first);
    EXPECT_EQ(second.size(), 2047u);
    EXPECT_EQ(second.rfind("  dispatchreq:9 in fn: mmm", 40), 32u); // after "[vorn debug] " and the stamp
}

TEST(DebugLog, UnwritableFileLosesTheLine)
{
    TempRoot root;
    setenv("NVR_ROOT", (root.path() + "/missing").c_str(), 1);
    EXPECT_EQ(cgi_log("x", 1, "", "lost"), -1);
}

TEST(UserName, ComesFromTheCookieAndNeverReadsPastIt)
{
    char user[64];
    const auto name_of = [&](const char *cookie) {
        cgiCookie = cookie;
        strcpy(user, "unchanged");
        const int result = get_current_username(user);
        return std::to_string(result) + ":" + user;
    };
    EXPECT_EQ(name_of("a=1; userName=admin; b=2"), "0:admin");
    EXPECT_EQ(name_of("userName=admin"), "0:admin");
    EXPECT_EQ(name_of("a=1"), "-1:unchanged");
    EXPECT_EQ(name_of("a=1; userName"), "-1:unchanged");
    EXPECT_EQ(name_of("userName=x=bob;"), "0:bob");
    EXPECT_EQ(name_of("userName="), "0:");
    EXPECT_EQ(name_of(("userName=" + std::string(100, 'u')).c_str()), "0:" + std::string(63, 'u'));
    EXPECT_EQ(get_current_username(nullptr), -1);
    cgiCookie = "";
}

TEST(LogRecord, StartsAsAnOperationFromTheWebWithAddressAndNoCookieName)
{
    // Without a checked session the client's cookie names nobody.
    cgiCookie = "userName=operator";
    const std::string long_addr(60, '9');
    cgiRemoteAddr = long_addr.c_str();
    LogRecord record;
    memset(&record, 0x5a, sizeof record);
    ASSERT_EQ(cgi_init_log_info(&record), 0);
    EXPECT_EQ(record.main_type, 4);
    EXPECT_EQ(record.remote, 1);
    EXPECT_EQ(record.sub_type, 0);
    EXPECT_STREQ(record.user_name, "");
    EXPECT_EQ(std::string(record.client_addr), long_addr.substr(0, 45));
    EXPECT_EQ(record.detail_size, 0);
    EXPECT_EQ(cgi_init_log_info(nullptr), -1);
    cgiCookie = "";
    cgiRemoteAddr = "";
}

TEST(Commands, ShellResultIsZeroOnlyForExitZero)
{
    EXPECT_EQ(web_system("exit 0"), 0);
    EXPECT_EQ(web_system("exit 1"), -1);
    EXPECT_EQ(web_system("kill -9 $$"), -1);
    EXPECT_EQ(web_system(nullptr), -1);
}

TEST(Commands, ArgumentVectorNeverReachesAShell)
{
    TempRoot root;
    const std::string marker = root / "tmp/ran";
    const std::string hostile = "x; touch " + marker + " $(touch " + marker + ") `touch " + marker + "`";
    const char *const echo[] = {"echo", hostile.c_str(), nullptr};
    EXPECT_EQ(web_run_argv(echo), 0);
    EXPECT_NE(access(marker.c_str(), F_OK), 0);
    const char *const fails[] = {"false", nullptr};
    EXPECT_EQ(web_run_argv(fails), -1);
    const char *const missing[] = {"no-such-program-here", nullptr};
    EXPECT_EQ(web_run_argv(missing), -1);
}

TEST(Commands, OutputIsReadNotWritten)
{
    char out[16] = "stale";
    // A long output is read to its end (the program never blocks on a full
    // pipe) and only the first 15 bytes are kept.
    const char *const seq[] = {"seq", "1", "100000", nullptr};
    EXPECT_EQ(web_run_argv_output(seq, out, sizeof out), 0);
    EXPECT_STREQ(out, "1\n2\n3\n4\n5\n6\n7\n8");
    const char *const fails[] = {"sh", "-c", "echo partial; exit 3", nullptr};
    EXPECT_EQ(web_run_argv_output(fails, out, sizeof out), -1);
    EXPECT_STREQ(out, "partial\n");
    const char *const missing[] = {"no-such-program-here", nullptr};
    EXPECT_EQ(web_run_argv_output(missing, out, sizeof out), -1);
    EXPECT_STREQ(out, "");
    CapturedOutput response;
    EXPECT_EQ(web_run_argv_output(seq, nullptr, 0), 0);
    EXPECT_EQ(response.text(), "") << "dropped output never reaches the response";
}

TEST(Files, WholeFileReadAndWrite)
{
    TempRoot root;
    const std::string path = root / "tmp/data";
    int length = 77;
    EXPECT_EQ(zq_get_file_data(path.c_str(), &length), nullptr);
    EXPECT_EQ(length, 0);

    EXPECT_EQ(zq_wirte_file_data(path.c_str(), "", 0), 0);
    length = 77;
    char *empty = zq_get_file_data(path.c_str(), &length);
    EXPECT_EQ(length, 0);
    __zq_free(empty);

    const char bytes[] = {'a', '\0', 'b'};
    ASSERT_EQ(zq_wirte_file_data(path.c_str(), bytes, 3), 0);
    char *data = zq_get_file_data(path.c_str(), &length);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(data, length), std::string(bytes, 3));
    __zq_free(data);

    EXPECT_EQ(zq_wirte_file_data((root / "nodir/x").c_str(), "a", 1), -1);
}

TEST(Files, ExistenceAndDirectoryChecks)
{
    TempRoot root;
    const std::string dir = root / "tmp";
    const std::string link = root / "dirlink";
    symlink(dir.c_str(), link.c_str());
    EXPECT_EQ(IsDirExisted(dir.c_str()), 0);
    EXPECT_EQ(IsDirExisted(link.c_str()), -1);
    EXPECT_EQ(IsFileExisted(link.c_str()), 0);
    EXPECT_EQ(IsFileExisted(""), -1);
    EXPECT_EQ(IsFileExisted(nullptr), -1);
    EXPECT_EQ(IsFileExisted((root / "none").c_str()), -1);
}

TEST(Files, MoveAndDeleteTreatShellSyntaxAsPlainNames)
{
    TempRoot root;
    const std::string from = root / "tmp/a b;$(touch x)";
    const std::string to = root / "tmp/c `d`";
    ASSERT_EQ(zq_wirte_file_data(from.c_str(), "1", 1), 0);
    EXPECT_EQ(RemoveFile(from.c_str(), to.c_str()), 0);
    EXPECT_EQ(IsFileExisted(to.c_str()), 0);
    EXPECT_EQ(IsFileExisted(from.c_str()), -1);
    EXPECT_EQ(DeleteFile(to.c_str()), 0);
    EXPECT_EQ(IsFileExisted(to.c_str()), -1);
    EXPECT_EQ(RemoveFile(nullptr, "x"), -1);
    EXPECT_EQ(DeleteFile(nullptr), -1);
}

TEST(Files, LockExcludesAnotherProcessUntilUnlocked)
{
    TempRoot root;
    const std::string path = root / "tmp/lock";
    const std::string order = root / "tmp/order";
    const int fd = file_lock(path.c_str());
    ASSERT_GE(fd, 0);
    const pid_t child = fork();
    if (child == 0) {
        const int child_fd = file_lock(path.c_str());
        FILE *out = fopen(order.c_str(), "a");
        fputs("child\n", out);
        fclose(out);
        file_unlock(child_fd);
        _exit(0);
    }
    usleep(100 * 1000);
    FILE *out = fopen(order.c_str(), "a");
    fputs("parent\n", out);
    fclose(out);
    EXPECT_EQ(file_unlock(fd), 0);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(read_whole_file(order), "parent\nchild\n");
    EXPECT_EQ(file_unlock(-5), -5);
    EXPECT_EQ(file_lock(nullptr), -1);
}

TEST(Formats, LocalTimeStampForFileNamesAndMacAddresses)
{
    setenv("TZ", "UTC0", 1);
    tzset();
    char stamp[32];
    EXPECT_EQ(time_to_string_local_ex(1700000000, stamp), 19);
    EXPECT_STREQ(stamp, "2023-11-14_22_13_20");

    char mac0[18];
    char mac1[18];
    EXPECT_EQ(get_mac_addr(mac0, mac1), 0);
    const std::regex mac("[0-9A-F]{2}(:[0-9A-F]{2}){5}");
    EXPECT_TRUE(std::regex_match(mac0, mac));
    EXPECT_TRUE(std::regex_match(mac1, mac));
}

} // namespace
