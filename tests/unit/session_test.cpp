#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>

#include "front/cgi_env.h"
#include "front/dispatchreq.h"
#include "front/session.h"
#include "front/web_utils.h"
#include "platform/confdb/confdb.h"
#include "test_support.h"

namespace {

int g_calls = 0;
int count_call(char *)
{
    ++g_calls;
    return 0;
}

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(root_ / "dev/shm");
        session_reset();
    }
    void TearDown() override
    {
        session_reset();
        confdb_close();
        cgiCookie = "";
    }

    std::string session_path(const std::string &id) const
    {
        return root_ / ("dev/shm/nvrweb_sessions/" + id);
    }

    // A stored session of `user` last used `age` seconds ago.
    void store(const std::string &id, const std::string &user, long age)
    {
        std::filesystem::create_directories(root_ / "dev/shm/nvrweb_sessions");
        FILE *file = fopen(session_path(id).c_str(), "w");
        ASSERT_NE(file, nullptr);
        fprintf(file, "%ld 0\n192.0.2.7\n%s", static_cast<long>(time(nullptr)) - age, user.c_str());
        fclose(file);
    }

    TempRoot root_;
};

TEST_F(SessionTest, IdsAreThirtyTwoRandomDigitsEvenWithinOneSecond)
{
    char first[kSessionIdDigits + 1];
    char second[kSessionIdDigits + 1];
    ASSERT_EQ(session_new_id(first), 0);
    ASSERT_EQ(session_new_id(second), 0);
    EXPECT_EQ(strspn(first, "0123456789"), 32u);
    EXPECT_EQ(strlen(first), 32u);
    EXPECT_STRNE(first, second);

    char a[kSessionIdDigits + 1];
    char b[kSessionIdDigits + 1];
    ASSERT_EQ(session_create("admin", 0, "192.0.2.7", a), 0);
    ASSERT_EQ(session_create("admin", 0, "192.0.2.7", b), 0);
    EXPECT_STRNE(a, b) << "two logins of the same second are two sessions";
}

TEST_F(SessionTest, OnlyTheExactPairOfALiveSessionIsAdmitted)
{
    char id[kSessionIdDigits + 1];
    ASSERT_EQ(session_create("admin", 1, "192.0.2.7", id), 0);
    const std::string pair = std::string("userName=admin; sessionId=") + id;
    EXPECT_TRUE(session_check_cookie(("lang=en; " + pair + "; x=1").c_str()));
    ASSERT_NE(session_user(), nullptr);
    EXPECT_STREQ(session_user(), "admin");

    const std::string other_id = std::string(id).substr(1) + (id[0] == '1' ? "2" : "1");
    for (const std::string &cookie :
         {std::string("userName=guest; sessionId=") + id, "userName=admin; sessionId=" + other_id,
          "userName=admin; sessionId=" + std::string(id).substr(1),
          "userName=admin; sessionId=" + std::string(id) + "0",
          std::string("xuserName=admin; sessionId=") + id, std::string("sessionId=") + id,
          std::string("userName=admin; sessionId=../../../../mnt/nand/app/zqdb.db"),
          std::string("userName=admin")}) {
        EXPECT_FALSE(session_check_cookie(cookie.c_str())) << cookie;
        EXPECT_EQ(session_user(), nullptr) << cookie;
    }
}

TEST_F(SessionTest, IdleSessionsExpireAfterTheConfiguredLimitAndUseRefreshesThem)
{
    const std::string old_id(32, '1');
    const std::string recent_id(32, '2');
    store(old_id, "admin", 1801);
    store(recent_id, "admin", 1700);
    EXPECT_FALSE(session_check_cookie(("userName=admin; sessionId=" + old_id).c_str()));
    EXPECT_FALSE(std::filesystem::exists(session_path(old_id))) << "an expired session is removed";
    EXPECT_TRUE(session_check_cookie(("userName=admin; sessionId=" + recent_id).c_str()));
    const std::string refreshed = read_whole_file(session_path(recent_id));
    EXPECT_EQ(refreshed.substr(0, refreshed.find(' ')), std::to_string(time(nullptr)));

    ASSERT_EQ(add_param_value(ZQDB_PATH, kSessionIdleKey, "60"), 0);
    store(recent_id, "admin", 61);
    EXPECT_FALSE(session_check_cookie(("userName=admin; sessionId=" + recent_id).c_str()));
    store(recent_id, "admin", 59);
    EXPECT_TRUE(session_check_cookie(("userName=admin; sessionId=" + recent_id).c_str()));
}

TEST_F(SessionTest, LoginSweepsExpiredSessionsAndKeepsLiveOnes)
{
    const std::string old_id(32, '3');
    const std::string live_id(32, '4');
    store(old_id, "admin", 5000);
    store(live_id, "admin", 10);
    char id[kSessionIdDigits + 1];
    ASSERT_EQ(session_create("guest", 0, "", id), 0);
    EXPECT_FALSE(std::filesystem::exists(session_path(old_id)));
    EXPECT_TRUE(std::filesystem::exists(session_path(live_id)));
    EXPECT_TRUE(std::filesystem::exists(session_path(id)));
}

TEST_F(SessionTest, GateRefusesRegisteredPathsWithoutSessionAndStaysSilentOtherwise)
{
    const WebRes table[] = {{"/1000", count_call}, {"/6070", count_call}};
    ASSERT_EQ(WebResRegister(table, 2), 0);
    {
        CapturedOutput out;
        cgiCookie = "userName=admin; sessionId=00000000000000000000000000000000";
        EXPECT_FALSE(cgi_session_admits("/6070"));
        EXPECT_EQ(out.text(), "Status: 401 Unauthorized\r\nContent-type: text/plain\r\n\r\nCGI ERROR");
    }
    {
        CapturedOutput out;
        EXPECT_TRUE(cgi_session_admits("/1000")) << "the login is open";
        EXPECT_TRUE(cgi_session_admits("/9999")) << "an unknown path is left to the dispatcher";
        EXPECT_TRUE(cgi_session_admits(""));
        EXPECT_EQ(out.text(), "");
    }
    char id[kSessionIdDigits + 1];
    ASSERT_EQ(session_create("admin", 0, "", id), 0);
    const std::string cookie = std::string("userName=admin; sessionId=") + id;
    cgiCookie = cookie.c_str();
    EXPECT_TRUE(cgi_session_admits("/6070"));

    LogRecord record;
    cgi_init_log_info(&record);
    EXPECT_STREQ(record.user_name, "admin") << "the log names the session's user";
    EXPECT_EQ(WebResUnregister(table, 2), 0);
}

} // namespace
