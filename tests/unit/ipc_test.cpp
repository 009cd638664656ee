#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "../support/ipc_timing_fast.h"
#include "core/ipc.h"
#include "fake_daemon.h"
#include "front/web_utils.h"
#include "test_support.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string kTextHeader = "Content-type: text/plain\r\n\r\n";
const std::string kJsonHeader = "Content-type: application/json\r\n\r\n";

// How the test module's decoder behaves; set by each test before it sends.
std::atomic<int> g_store_value{1};
std::atomic<int> g_decode_delay_ms{0};
std::atomic<bool> g_store_directly{false};
std::atomic<int> g_decoded{0};

// A module reply callback: knows reply 8400 only, like a real module knows
// its own codes.
int on_test_ipc_callback(void *, const char *header, const char *payload)
{
    if (payload == nullptr || ipc_reply_code(header) != 8400)
        return 0;
    if (g_decode_delay_ms.load() > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(g_decode_delay_ms.load()));
    const std::string text = "reply " + std::to_string(ipc_reply_size(header));
    cgi_writeback_webserver(kRespText, text.c_str());
    ++g_decoded;
    if (g_store_directly.load())
        g_callback_done = g_store_value.load();
    else
        cgi_set_callback_done(g_store_value.load());
    return 0;
}

// Answers every request with its code plus 5000 after `delay_ms`.
FakeDaemon::Responder answer_after(int delay_ms)
{
    return [delay_ms](const ReceivedFrame &frame) {
        return std::vector<DaemonReply>{{delay_ms, encode_frame(frame.fields.code + 5000, "xyz")}};
    };
}

long elapsed_ms(Clock::time_point since)
{
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

class CoreChannel : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_store_value = 1;
        g_decode_delay_ms = 0;
        g_store_directly = false;
        g_decoded = 0;
    }
    void TearDown() override { cgi_stop_ipc(); }

    TempRoot root_;
    CapturedOutput out_;
};

TEST(CoreChannelLimits, WaitPollsFollowTheTable)
{
    for (int code : {0, 3400, 3485, 3701, 1702, 9999, -1})
        EXPECT_EQ(cgi_ipc_wait_polls(code), 1000) << code;
    for (int code : {3700, 3702})
        EXPECT_EQ(cgi_ipc_wait_polls(code), 1500) << code;
    for (int code : {1153, 1171, 3102, 3259, 3401, 3535})
        EXPECT_EQ(cgi_ipc_wait_polls(code), 3000) << code;
    for (int code : {1701, 1713, 1716, 3200, 3205, 3227, 3402, 3409, 3440, 3528})
        EXPECT_EQ(cgi_ipc_wait_polls(code), 6000) << code;
    for (int code : {3230, 3350, 3434, 3494, 3495})
        EXPECT_EQ(cgi_ipc_wait_polls(code), 15000) << code;
    EXPECT_EQ(cgi_ipc_wait_polls(3379), 30000);
}

TEST(CoreChannelLimits, ReplyHeaderFieldsAreReadLittleEndian)
{
    unsigned char header[kMsgHeaderSize];
    msg_header_encode(MsgHeader{7, 0, -8400, 0x01020304}, header);
    EXPECT_EQ(ipc_reply_code(reinterpret_cast<const char *>(header)), -8400);
    EXPECT_EQ(ipc_reply_size(reinterpret_cast<const char *>(header)), 0x01020304u);
    EXPECT_EQ(ipc_reply_code(nullptr), 0);
    EXPECT_EQ(ipc_reply_size(nullptr), 0u);
}

TEST_F(CoreChannel, ReplyWakesTheWaiterAtOnce)
{
    // One poll step is a whole second here: only a wake-up ends it sooner.
    const IpcTimingScope timing({1000, 2, 250});
    FakeDaemon daemon(root_, answer_after(0));
    const auto start = Clock::now();
    EXPECT_EQ(cgi_ipc_request(on_test_ipc_callback, 3400, 0, nullptr, kRespText), 1);
    EXPECT_LT(elapsed_ms(start), 300);
    EXPECT_EQ(out_.text(), kTextHeader + "reply 3");
    const auto frames = daemon.frames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].fields.flags, 0u) << "a reply is wanted";
}

TEST_F(CoreChannel, FlagStoredWithoutWakeUpIsSeenAtTheNextPollStep)
{
    const IpcTimingScope timing({20, 2, 250});
    g_store_directly = true;
    FakeDaemon daemon(root_, answer_after(0));
    const auto start = Clock::now();
    EXPECT_EQ(cgi_ipc_request(on_test_ipc_callback, 3400, 0, nullptr, kRespText), 1);
    EXPECT_LT(elapsed_ms(start), 2000) << "far below the limit of 1000 polls of 20 ms";
}

TEST_F(CoreChannel, DecoderValueIsWhatTheHandlerSees)
{
    g_store_value = 5;
    FakeDaemon daemon(root_, answer_after(0));
    const char payload[4] = {1, 0, 0, 0};
    EXPECT_EQ(cgi_start_ipc(on_test_ipc_callback, 3400, sizeof payload, payload, 0), 0);
    EXPECT_EQ(cgi_stop_ipc(), 0);
    EXPECT_EQ(g_callback_done.load(), 5);

    EXPECT_EQ(cgi_ipc_request(on_test_ipc_callback, 3400, sizeof payload, payload, kRespJson), 5);
    EXPECT_EQ(out_.text(), kTextHeader + "reply 3" + kTextHeader + "reply 3")
        << "no error behind the replies";
}

TEST_F(CoreChannel, UnknownReplyCodeRunsToTheLimitThenAnswersTheErrorOnce)
{
    FakeDaemon daemon(root_, answer_after(0));
    const auto start = Clock::now();
    // 3403 is answered by 8403, which the module does not know.
    EXPECT_EQ(cgi_ipc_request(on_test_ipc_callback, 3403, 0, nullptr, kRespJson), 0);
    const long took = elapsed_ms(start);
    EXPECT_GE(took, 1000) << "1000 polls of 1 ms";
    EXPECT_LT(took, 5000);
    EXPECT_EQ(g_callback_done.load(), 0);
    EXPECT_EQ(out_.text(), kJsonHeader + "{status:\"CGI ERROR\"}");
}

TEST_F(CoreChannel, DecoderFinishingAfterTheLimitIsTheOnlyAnswer)
{
    // The reply is in time but its decoder ends after the wait has run out:
    // the channel is closed first, so the decoder's answer stands alone.
    g_decode_delay_ms = 1300;
    FakeDaemon daemon(root_, answer_after(0));
    const auto start = Clock::now();
    EXPECT_EQ(cgi_ipc_request(on_test_ipc_callback, 3400, 0, nullptr, kRespText), 1);
    EXPECT_GE(elapsed_ms(start), 1300);
    EXPECT_EQ(out_.text(), kTextHeader + "reply 3");
}

TEST_F(CoreChannel, ReplyAfterTheLimitNeverAddsASecondBody)
{
    FakeDaemon daemon(root_, answer_after(1300));
    EXPECT_EQ(cgi_ipc_request(on_test_ipc_callback, 3400, 0, nullptr, kRespText), 0);
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(g_decoded.load(), 0);
    EXPECT_EQ(out_.text(), kTextHeader + "CGI ERROR");
}

TEST_F(CoreChannel, WithoutDaemonTheSendIsRetriedThenTheWaitRunsOut)
{
    const IpcTimingScope timing({1, 2, 50});
    const auto start = Clock::now();
    EXPECT_EQ(cgi_start_ipc(on_test_ipc_callback, 3400, 0, nullptr, 0), 0);
    EXPECT_GE(elapsed_ms(start), 50 * 2 + 1000) << "retries, then 1000 polls";
    cgi_stop_ipc();
    EXPECT_EQ(cgi_ipc_request(on_test_ipc_callback, 3400, 0, nullptr, kRespText), 0);
    EXPECT_EQ(out_.text(), kTextHeader + "CGI ERROR");
}

TEST_F(CoreChannel, DaemonStartingLateIsReachedByTheRetries)
{
    std::optional<FakeDaemon> daemon;
    std::thread starter([&] {
        std::this_thread::sleep_for(150ms);
        daemon.emplace(root_, answer_after(0));
    });
    const auto start = Clock::now();
    const int result = cgi_ipc_request(on_test_ipc_callback, 3400, 0, nullptr, kRespText);
    const long took = elapsed_ms(start);
    starter.join();
    EXPECT_EQ(result, 1);
    EXPECT_GE(took, 150);
    EXPECT_LT(took, 1000) << "answered before any wait limit";
    EXPECT_EQ(out_.text(), kTextHeader + "reply 3");
    EXPECT_EQ(daemon->frames().size(), 1u) << "failed attempts put nothing on the wire";
}

TEST_F(CoreChannel, FireAndForgetReturnsOnceTheFrameIsHandedOver)
{
    // Neither a pause nor a wait may follow a successful send.
    const IpcTimingScope timing({1000, 500, 3});
    FakeDaemon daemon(root_, answer_after(0));
    const int32_t value = 42;
    auto start = Clock::now();
    EXPECT_EQ(cgi_ipc_notify(on_aging_callback, 1703, sizeof value, &value), 0);
    EXPECT_LT(elapsed_ms(start), 250);

    LogRecord record{};
    cgi_init_log_info(&record);
    record.sub_type = 0x1122334455667788;
    snprintf(record.detail, sizeof record.detail, "%s", "detail text");
    start = Clock::now();
    EXPECT_EQ(cgi_send_log_info(&record), 0);
    EXPECT_LT(elapsed_ms(start), 250);
    EXPECT_EQ(cgi_send_log_info(nullptr), -1);

    ASSERT_TRUE(daemon.wait_frames(2));
    const auto frames = daemon.frames();
    EXPECT_EQ(frames[0].fields.code, 1703);
    EXPECT_EQ(frames[0].fields.flags, kMsgFlagNoReply);
    EXPECT_EQ(frames[0].payload, std::string("\x2a\0\0\0", 4));
    EXPECT_EQ(frames[1].fields.code, 3485);
    EXPECT_EQ(frames[1].fields.flags, kMsgFlagNoReply);
    ASSERT_EQ(frames[1].payload.size(), 672u);
    EXPECT_EQ(memcmp(frames[1].payload.data(), &record, sizeof record), 0);
    EXPECT_EQ(out_.text(), "") << "the handler writes its own answer";
}

TEST_F(CoreChannel, UnusableRequestsFailAtOnce)
{
    FakeDaemon daemon(root_, answer_after(0));
    const auto start = Clock::now();
    EXPECT_EQ(cgi_start_ipc(nullptr, 3400, 0, nullptr, 0), -1);
    EXPECT_EQ(cgi_start_ipc(on_test_ipc_callback, 3400, 4, nullptr, 0), -1);
    EXPECT_EQ(cgi_start_ipc(on_test_ipc_callback, 3400, -1, "", 1), -1);
    cgi_stop_ipc();
    // A flag left over from an earlier request must not hide the failure.
    g_callback_done = 7;
    EXPECT_EQ(cgi_ipc_request(nullptr, 3400, 0, nullptr, kRespText), 0);
    EXPECT_LT(elapsed_ms(start), 250);
    EXPECT_EQ(out_.text(), kTextHeader + "CGI ERROR");
    std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(daemon.frames().empty());
}

} // namespace
