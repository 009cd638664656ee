#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>

#include "front/session.h"
#include "test_support.h"

namespace {

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override { session_reset(); }
    void TearDown() override { session_reset(); }

    static std::string id_of(const std::string &cookie)
    {
        return cookie.substr(cookie.find("sessionId=") + 10);
    }
    std::string path_of(const std::string &cookie) const
    {
        return root_ / ("dev/shm/nvrweb_sessions/" + id_of(cookie));
    }
    // Makes the session of `cookie` last used `age` seconds ago.
    void age(const std::string &cookie, long seconds) const
    {
        const struct timespec when = {time(nullptr) - seconds, 0};
        const struct timespec times[2] = {when, when};
        ASSERT_EQ(utimensat(AT_FDCWD, path_of(cookie).c_str(), times, 0), 0);
    }
    time_t last_use(const std::string &cookie) const
    {
        struct stat info {};
        return stat(path_of(cookie).c_str(), &info) == 0 ? info.st_mtim.tv_sec : -1;
    }

    TempRoot root_;
};

SessionAccess access_of(const char *rights, const char *liveview = "", const char *playback = "")
{
    SessionAccess access{};
    for (size_t i = 0; i < kSessionRights && rights[i] != '\0'; ++i)
        access.rights[i] = rights[i] == '1';
    snprintf(access.liveview, sizeof access.liveview, "%s", liveview);
    snprintf(access.playback, sizeof access.playback, "%s", playback);
    return access;
}

TEST_F(SessionTest, IdsAreThirtyTwoRandomDigitsEvenWithinOneSecond)
{
    char first[kSessionIdDigits + 1];
    char second[kSessionIdDigits + 1];
    ASSERT_EQ(session_new_id(first), 0);
    ASSERT_EQ(session_new_id(second), 0);
    EXPECT_EQ(strspn(first, "0123456789"), 32u);
    EXPECT_EQ(strlen(first), 32u);
    EXPECT_STRNE(first, second);
    EXPECT_NE(test_session_cookie("admin"), test_session_cookie("admin"))
        << "two logins of the same second are two sessions";
}

TEST_F(SessionTest, OnlyTheExactPairOfALiveSessionIsAdmittedWithItsAccess)
{
    const std::string pair = test_session_cookie("admin", access_of("0000001000", "10", "01"));
    ASSERT_FALSE(pair.empty());
    EXPECT_TRUE(session_check_cookie(("lang=en; " + pair + "; x=1").c_str()));
    ASSERT_NE(session_user(), nullptr);
    EXPECT_STREQ(session_user(), "admin");
    EXPECT_EQ(session_id(), id_of(pair));
    ASSERT_NE(session_access(), nullptr);
    EXPECT_EQ(session_access()->rights[6], 1);
    EXPECT_EQ(session_access()->rights[7], 0);
    EXPECT_STREQ(session_access()->liveview, "10");
    EXPECT_STREQ(session_access()->playback, "01");

    const std::string id = id_of(pair);
    const std::string other_id = id.substr(1) + (id[0] == '1' ? "2" : "1");
    for (const std::string &cookie :
         {"userName=guest; sessionId=" + id, "userName=admin; sessionId=" + other_id,
          "userName=admin; sessionId=" + id.substr(1), "userName=admin; sessionId=" + id + "0",
          "xuserName=admin; sessionId=" + id, "sessionId=" + id,
          std::string("userName=admin; sessionId=../../../../mnt/nand/app/zqdb.db"),
          std::string("userName=admin")}) {
        EXPECT_FALSE(session_check_cookie(cookie.c_str())) << cookie;
        EXPECT_EQ(session_user(), nullptr) << cookie;
        EXPECT_EQ(session_access(), nullptr) << cookie;
    }
}

TEST_F(SessionTest, EachSessionKeepsTheIdleLimitOfItsLoginAndUseRefreshesIt)
{
    const std::string standard = test_session_cookie("admin");
    const std::string short_lived = test_session_cookie("admin", full_access(), 0, 60);
    age(standard, 1700);
    age(short_lived, 59);
    // The clock may tick during the check: the refreshed use lies between the two readings.
    const time_t before = time(nullptr);
    EXPECT_TRUE(session_check_cookie(standard.c_str()));
    const time_t after = time(nullptr);
    EXPECT_GE(last_use(standard), before) << "a use refreshes the last use";
    EXPECT_LE(last_use(standard), after);
    EXPECT_TRUE(session_check_cookie(short_lived.c_str()));

    age(standard, 1801);
    age(short_lived, 61);
    EXPECT_FALSE(session_check_cookie(standard.c_str()));
    EXPECT_FALSE(session_check_cookie(short_lived.c_str()));
    EXPECT_FALSE(std::filesystem::exists(path_of(standard))) << "an expired session is removed";
    EXPECT_FALSE(std::filesystem::exists(path_of(short_lived)));
}

TEST_F(SessionTest, DamagedFilesNameNoSession)
{
    const std::string pair = test_session_cookie("admin");
    const std::string path = path_of(pair);
    const std::string whole = read_whole_file(path);
    for (const std::string &damaged :
         {whole.substr(0, whole.size() - 1), whole + "x", "NVS0" + whole.substr(4),
          std::string(whole.size(), '\xff'), std::string("1700000000 0\n192.0.2.7\nadmin")}) {
        FILE *file = fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        fwrite(damaged.data(), 1, damaged.size(), file);
        fclose(file);
        EXPECT_FALSE(session_check_cookie(pair.c_str()));
    }
}

TEST_F(SessionTest, LoginSweepsExpiredSessionsAndKeepsLiveOnes)
{
    const std::string old_session = test_session_cookie("admin");
    const std::string live_session = test_session_cookie("admin");
    age(old_session, 5000);
    age(live_session, 10);
    const std::string fresh = test_session_cookie("guest");
    EXPECT_FALSE(std::filesystem::exists(path_of(old_session)));
    EXPECT_TRUE(std::filesystem::exists(path_of(live_session)));
    EXPECT_TRUE(std::filesystem::exists(path_of(fresh)));
}

TEST_F(SessionTest, AccountChangesReachOnlyThatAccountsSessions)
{
    const std::string mine = test_session_cookie("bob", access_of("1111111111"), 3);
    const std::string other = test_session_cookie("bob", access_of("1111111111"), 3);
    const std::string stranger = test_session_cookie("eve", access_of("1111111111"), 4);
    age(other, 100);
    ASSERT_TRUE(session_check_cookie(mine.c_str()));

    EXPECT_EQ(session_update_account(3, access_of("0000001000", "1")), 2);
    EXPECT_EQ(session_access()->rights[0], 0) << "the request's own session follows at once";
    EXPECT_EQ(session_access()->rights[6], 1);
    EXPECT_EQ(last_use(other), time(nullptr) - 100) << "a rights change is no use of the session";
    ASSERT_TRUE(session_check_cookie(other.c_str()));
    EXPECT_EQ(session_access()->rights[0], 0);
    EXPECT_STREQ(session_access()->liveview, "1");
    ASSERT_TRUE(session_check_cookie(stranger.c_str()));
    EXPECT_EQ(session_access()->rights[0], 1);

    EXPECT_EQ(session_end_account(3, id_of(mine).c_str()), 1);
    EXPECT_TRUE(session_check_cookie(mine.c_str()));
    EXPECT_FALSE(session_check_cookie(other.c_str()));
    EXPECT_EQ(session_end_account(3, nullptr), 1);
    EXPECT_FALSE(session_check_cookie(mine.c_str()));
    EXPECT_TRUE(session_check_cookie(stranger.c_str()));
}

} // namespace
