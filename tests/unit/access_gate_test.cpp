#include <gtest/gtest.h>

#include <string>

#include "front/access_gate.h"
#include "front/cgi_env.h"
#include "front/dispatchreq.h"
#include "front/session.h"
#include "front/web_utils.h"
#include "test_support.h"

namespace {

int ignore(char *) { return 0; }

const WebRes kGateTable[] = {
    {"/gopen", ignore, WebRight::Open},     {"/gsess", ignore, WebRight::Session},
    {"/gstore", ignore, WebRight::Storage}, {"/gshut", ignore, WebRight::Shutdown},
    {"/glive", ignore, WebRight::LiveView}, {"/gunset", ignore, WebRight::Unset},
};

class GateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(WebResRegister(kGateTable, std::size(kGateTable)), 0);
        session_reset();
    }
    void TearDown() override
    {
        WebResUnregister(kGateTable, std::size(kGateTable));
        session_reset();
        cgiCookie = cgiOrigin = cgiSecFetchSite = cgiServerAddr = cgiHttps = "";
    }

    // The gate's verdict on `path` and what it wrote.
    std::pair<bool, std::string> admit(const char *path, const std::string &cookie = "")
    {
        cgiCookie = cookie.c_str();
        CapturedOutput out;
        const bool admitted = cgi_request_admits(path);
        const std::string written = out.text();
        cgiCookie = "";
        return {admitted, written};
    }

    TempRoot root_;
};

// The ten right flags with only the ones named by index set.
SessionAccess rights(std::initializer_list<int> allowed, const char *liveview = "", const char *playback = "")
{
    SessionAccess access{};
    for (int flag : allowed)
        access.rights[flag] = 1;
    snprintf(access.liveview, sizeof access.liveview, "%s", liveview);
    snprintf(access.playback, sizeof access.playback, "%s", playback);
    return access;
}

const std::pair<bool, std::string> kAdmitted = {true, ""};
const std::pair<bool, std::string> kUnauthorized = {false, kUnauthorizedAnswer};
const std::pair<bool, std::string> kForbidden = {false, kForbiddenAnswer};

TEST_F(GateTest, EachResourceAsksForItsOwnRight)
{
    EXPECT_EQ(admit("/gopen"), kAdmitted);
    EXPECT_EQ(admit("/nowhere"), kAdmitted) << "dispatch stays silent for an unknown path";
    EXPECT_EQ(admit(""), kAdmitted);
    for (const char *path : {"/gsess", "/gstore", "/gunset"})
        EXPECT_EQ(admit(path), kUnauthorized) << path;

    const std::string storage_only = test_session_cookie("admin", rights({6}));
    EXPECT_EQ(admit("/gsess", storage_only), kAdmitted);
    EXPECT_EQ(admit("/gstore", storage_only), kAdmitted);
    EXPECT_EQ(admit("/gshut", storage_only), kForbidden);
    EXPECT_EQ(admit("/gunset", storage_only), kForbidden) << "a row without its right is never served";

    const std::string all_but_storage = test_session_cookie("admin", rights({0, 1, 2, 3, 4, 5, 7, 8, 9}));
    EXPECT_EQ(admit("/gstore", all_but_storage), kForbidden);
    EXPECT_EQ(admit("/gshut", all_but_storage), kAdmitted);
    EXPECT_EQ(admit("/gunset", test_session_cookie("admin")), kForbidden);

    LogRecord record;
    admit("/gstore", storage_only);
    cgi_init_log_info(&record);
    EXPECT_STREQ(record.user_name, "admin") << "the log names the session's user";
}

TEST_F(GateTest, AHandlerAsksForAFurtherRight)
{
    const std::string storage_only = test_session_cookie("admin", rights({6}));
    ASSERT_EQ(admit("/gsess", storage_only), kAdmitted);
    cgiCookie = storage_only.c_str();
    {
        CapturedOutput out;
        EXPECT_TRUE(cgi_right_admits(WebRight::Storage));
        EXPECT_TRUE(cgi_right_admits(WebRight::Session));
        EXPECT_EQ(out.text(), "");
    }
    {
        CapturedOutput out;
        EXPECT_FALSE(cgi_right_admits(WebRight::Shutdown));
        EXPECT_EQ(out.text(), kForbiddenAnswer);
    }
    {
        CapturedOutput out;
        EXPECT_FALSE(cgi_right_admits(WebRight::Unset));
        EXPECT_EQ(out.text(), kForbiddenAnswer);
    }
    cgiCookie = "";
}

TEST_F(GateTest, RequestsFromAnotherSiteAreRefusedBeforeTheLogin)
{
    struct Headers {
        const char *origin;
        const char *host;
        const char *https;
        const char *fetch_site;
        bool cross;
    };
    const Headers cases[] = {
        {"", "", "", "", false},
        {"", "192.0.2.1", "", "same-origin", false},
        {"", "192.0.2.1", "", "none", false},
        {"", "192.0.2.1", "", "Cross-Site", true},
        {"http://192.0.2.1", "192.0.2.1", "", "", false},
        {"http://192.0.2.1:80", "192.0.2.1", "", "", false},
        {"http://192.0.2.1", "192.0.2.1:80", "", "", false},
        {"HTTP://NVR.example", "nvr.example", "", "", false},
        {"https://192.0.2.1", "192.0.2.1", "on", "", false},
        {"https://192.0.2.1", "192.0.2.1:443", "", "", false},
        {"http://[2001:db8::1]:8080", "[2001:db8::1]:8080", "", "", false},
        {"http://192.0.2.1:8080", "192.0.2.1:8080", "", "same-origin", false},
        {"http://192.0.2.1:8081", "192.0.2.1:8080", "", "", true},
        {"http://192.0.2.1", "192.0.2.1:8080", "", "", true},
        {"https://192.0.2.1", "192.0.2.1", "", "", true},
        {"http://evil.example", "192.0.2.1", "", "", true},
        {"http://192.0.2.1.evil.example", "192.0.2.1", "", "", true},
        {"http://192.0.2.1@evil.example", "192.0.2.1", "", "", true},
        {"null", "192.0.2.1", "", "", true},
        {"file://", "192.0.2.1", "", "", true},
        {"http://192.0.2.1", "", "", "", true},
        {"http://192.0.2.1:0", "192.0.2.1:0", "", "", true},
        {"http://192.0.2.1:99999", "192.0.2.1:99999", "", "", true},
        {"http://[2001:db8::1", "[2001:db8::1", "", "", true},
    };
    for (const Headers &h : cases) {
        cgiOrigin = h.origin;
        cgiServerAddr = h.host;
        cgiHttps = h.https;
        cgiSecFetchSite = h.fetch_site;
        EXPECT_EQ(cgi_is_cross_site(), h.cross) << h.origin << " / " << h.host << " / " << h.fetch_site;
    }
    cgiOrigin = "http://evil.example";
    cgiServerAddr = "192.0.2.1";
    cgiSecFetchSite = "";
    EXPECT_EQ(admit("/gopen"), kForbidden) << "the logins too";
    EXPECT_EQ(admit("/gstore", test_session_cookie("admin")), kForbidden);
    EXPECT_EQ(admit("/nowhere"), kAdmitted);
}

TEST_F(GateTest, LiveViewAndPlaybackChannelsFollowTheSessionsLists)
{
    {
        CapturedOutput out;
        EXPECT_FALSE(cgi_channel_admits(WebRight::LiveView, 0)) << "no session, no channel";
        EXPECT_EQ(out.text(), kForbiddenAnswer);
    }
    ASSERT_TRUE(session_check_cookie(test_session_cookie("admin", rights({0, 1}, "1011", "01")).c_str()));
    CapturedOutput out;
    EXPECT_TRUE(cgi_channel_admits(WebRight::LiveView, 0));
    EXPECT_TRUE(cgi_channel_admits(WebRight::LiveView, 3));
    EXPECT_TRUE(cgi_channels_admit(WebRight::LiveView, 0b1101));
    EXPECT_TRUE(cgi_channel_admits(WebRight::Playback, 1));
    EXPECT_TRUE(cgi_channels_admit(WebRight::Camera, ~uint64_t{0}))
        << "only live view and playback are limited";
    EXPECT_EQ(out.text(), "");
    EXPECT_FALSE(cgi_channel_admits(WebRight::LiveView, 1));
    EXPECT_FALSE(cgi_channel_admits(WebRight::LiveView, 4)) << "past the end of the list";
    EXPECT_FALSE(cgi_channel_admits(WebRight::LiveView, 64));
    EXPECT_FALSE(cgi_channel_admits(WebRight::LiveView, -1));
    EXPECT_FALSE(cgi_channels_admit(WebRight::LiveView, 0b0011));
    EXPECT_FALSE(cgi_channel_admits(WebRight::Playback, 0));
    EXPECT_FALSE(cgi_channels_admit(WebRight::Playback, uint64_t{1} << 63));
    EXPECT_EQ(out.text(), std::string(kForbiddenAnswer) + kForbiddenAnswer + kForbiddenAnswer +
                              kForbiddenAnswer + kForbiddenAnswer + kForbiddenAnswer + kForbiddenAnswer);
}

} // namespace
