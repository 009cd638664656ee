#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fake_daemon.h"
#include "platform/msgsock/msgsock.h"
#include "test_support.h"

namespace {

using namespace std::chrono_literals;

struct Delivered {
    int code;
    uint32_t size;
    std::string payload;
    bool payload_null;
    bool context_null;
};

// What the reply callbacks saw; reset by each test.
std::mutex g_mutex;
std::vector<Delivered> g_delivered;
std::atomic<int> g_calls{0};

int record_reply(void *context, const char *header, const char *payload)
{
    MsgHeader fields{};
    msg_header_decode(reinterpret_cast<const unsigned char *>(header), kMsgHeaderSize, &fields);
    Delivered seen{fields.code, fields.size, "", payload == nullptr, context == nullptr};
    if (payload != nullptr)
        seen.payload.assign(payload, fields.size);
    const std::lock_guard<std::mutex> lock(g_mutex);
    g_delivered.push_back(seen);
    ++g_calls;
    return 0;
}

// Tries to reopen and to close the channel from inside a reply callback.
int g_reentry_init = 0;
int g_reentry_uninit = 0;
int reentering_reply(void *context, const char *header, const char *payload)
{
    g_reentry_init = zq_sock_init(record_reply, 0, 3, kCoreSocketPath);
    g_reentry_uninit = zq_sock_uninit();
    return record_reply(context, header, payload);
}

std::vector<Delivered> delivered()
{
    const std::lock_guard<std::mutex> lock(g_mutex);
    return g_delivered;
}

std::atomic<int> g_wanted{0};
bool enough_calls() { return g_calls.load() >= g_wanted.load(); }

// Reads replies on this thread until `count` have reached the callback.
bool wait_calls(int count, int timeout_ms = 5000)
{
    g_wanted = count;
    zq_sock_wait(timeout_ms, enough_calls);
    return g_calls.load() >= count;
}

class MsgSock : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::lock_guard<std::mutex> lock(g_mutex);
        g_delivered.clear();
        g_calls = 0;
    }
    void TearDown() override { zq_sock_uninit(); }

    TempRoot root_;
};

uint32_t le32(const std::string &bytes, size_t offset)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

TEST_F(MsgSock, FramesOnTheWireHaveTheHeaderFieldsAndThePayload)
{
    FakeDaemon daemon(root_);
    ASSERT_EQ(zq_sock_init(record_reply, 0, 3, kCoreSocketPath), 0);
    const char payload[] = {'a', 'b', '\0', 'c'};
    EXPECT_EQ(zq_sock_send_msg(1, 3400, payload, sizeof payload, 0, 0), 0);
    EXPECT_EQ(zq_sock_send_msg_flags(-7, nullptr, 0, kMsgFlagNoReply), 0);
    ASSERT_TRUE(daemon.wait_frames(2));

    const auto frames = daemon.frames();
    const std::string &first = frames[0].header;
    EXPECT_EQ(first.substr(0, 4), "NVRM");
    EXPECT_EQ(le32(first, 8), 0u);
    EXPECT_EQ(le32(first, 12), 3400u);
    EXPECT_EQ(le32(first, 16), 0u);
    EXPECT_EQ(le32(first, 20), 4u);
    EXPECT_EQ(frames[0].payload, std::string(payload, sizeof payload));

    const std::string &second = frames[1].header;
    EXPECT_EQ(le32(second, 4), le32(first, 4) + 1) << "sequence numbers increase";
    EXPECT_EQ(le32(second, 8), kMsgFlagNoReply);
    EXPECT_EQ(static_cast<int32_t>(le32(second, 12)), -7);
    EXPECT_EQ(le32(second, 20), 0u);
    EXPECT_TRUE(frames[1].payload.empty());
    EXPECT_EQ(daemon.connections(), 1);
}

TEST_F(MsgSock, RefusesWhatCannotBeSent)
{
    EXPECT_NE(zq_sock_send_msg(1, 3400, nullptr, 0, 0, 0), 0) << "not initialised";
    EXPECT_EQ(zq_sock_init(nullptr, 0, 3, kCoreSocketPath), -1);
    EXPECT_EQ(zq_sock_init(record_reply, 0, 3, nullptr), -1);

    FakeDaemon daemon(root_);
    ASSERT_EQ(zq_sock_init(record_reply, 0, 3, kCoreSocketPath), 0);
    const char byte = 1;
    EXPECT_NE(zq_sock_send_msg(1, 3400, nullptr, 4, 0, 0), 0);
    EXPECT_NE(zq_sock_send_msg(1, 3400, &byte, -1, 0, 0), 0);
    EXPECT_EQ(zq_sock_send_msg(1, 3400, &byte, 1, 0, 0), 0);
    ASSERT_TRUE(daemon.wait_frames(1));
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(daemon.frames().size(), 1u) << "refused sends put nothing on the wire";
}

TEST_F(MsgSock, EveryReplyOnTheConnectionReachesTheCallback)
{
    FakeDaemon daemon(root_, [](const ReceivedFrame &) {
        // Three replies in one write, one of them empty, then one more later.
        return std::vector<DaemonReply>{{0, encode_frame(8400, "first") + encode_frame(8401, "") +
                                                encode_frame(8402, std::string(70000, 'x'))},
                                        {20, encode_frame(8403, "late")}};
    });
    ASSERT_EQ(zq_sock_init(record_reply, 0, 3, kCoreSocketPath), 0);
    ASSERT_EQ(zq_sock_send_msg(1, 3400, nullptr, 0, 0, 0), 0);
    ASSERT_TRUE(wait_calls(4));

    const auto seen = delivered();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].code, 8400);
    EXPECT_EQ(seen[0].payload, "first");
    EXPECT_EQ(seen[1].code, 8401);
    EXPECT_EQ(seen[1].size, 0u);
    EXPECT_FALSE(seen[1].payload_null) << "an empty payload is still a valid pointer";
    EXPECT_EQ(seen[2].payload, std::string(70000, 'x'));
    EXPECT_EQ(seen[3].payload, "late");
    for (const Delivered &one : seen)
        EXPECT_TRUE(one.context_null);
}

TEST_F(MsgSock, MalformedFrameEndsTheConnectionWithoutCallback)
{
    std::string wrong_magic = encode_frame(8400, "abcd");
    wrong_magic[0] = 'X';
    std::string oversized = encode_frame(8400, "abcd");
    const uint32_t too_big = kMsgMaxPayload + 1;
    memcpy(oversized.data() + kMsgOffSize, &too_big, 4);

    for (const std::string &bad : {wrong_magic, oversized}) {
        SetUp();
        FakeDaemon daemon(root_, [&](const ReceivedFrame &frame) {
            // The first request gets the bad frame, later ones a good reply.
            if (frame.fields.code == 3400)
                return std::vector<DaemonReply>{{0, bad + encode_frame(8400, "after")}};
            return std::vector<DaemonReply>{{0, encode_frame(8401, "ok")}};
        });
        ASSERT_EQ(zq_sock_init(record_reply, 0, 3, kCoreSocketPath), 0);
        ASSERT_EQ(zq_sock_send_msg(1, 3400, nullptr, 0, 0, 0), 0);
        EXPECT_FALSE(wait_calls(1, 100));
        EXPECT_TRUE(daemon.wait_closed(1)) << "the client ends the connection";
        EXPECT_EQ(g_calls.load(), 0);

        // The next send opens a new connection, which works.
        ASSERT_EQ(zq_sock_send_msg(1, 3401, nullptr, 0, 0, 0), 0);
        ASSERT_TRUE(wait_calls(1));
        EXPECT_EQ(delivered()[0].code, 8401);
        EXPECT_EQ(daemon.connections(), 2);
        zq_sock_uninit();
    }
}

TEST_F(MsgSock, SendFailsWithoutDaemonAndReachesOneThatStartsLate)
{
    ASSERT_EQ(zq_sock_init(record_reply, 0, 3, kCoreSocketPath), 0) << "registered though not connected";
    EXPECT_NE(zq_sock_send_msg(1, 3400, nullptr, 0, 0, 0), 0);
    EXPECT_NE(zq_sock_send_msg(1, 3400, nullptr, 0, 0, 0), 0);

    FakeDaemon daemon(root_, [](const ReceivedFrame &) {
        return std::vector<DaemonReply>{{0, encode_frame(8400, "")}};
    });
    EXPECT_EQ(zq_sock_send_msg(1, 3400, nullptr, 0, 0, 0), 0);
    EXPECT_TRUE(wait_calls(1));
    ASSERT_TRUE(daemon.wait_frames(1));
    EXPECT_EQ(daemon.frames().size(), 1u);
}

TEST_F(MsgSock, DaemonClosingTheConnectionMakesTheNextSendReconnect)
{
    {
        FakeDaemon first(root_);
        ASSERT_EQ(zq_sock_init(record_reply, 0, 3, kCoreSocketPath), 0);
        ASSERT_EQ(zq_sock_send_msg(1, 3400, nullptr, 0, 0, 0), 0);
        ASSERT_TRUE(first.wait_frames(1));
    }
    FakeDaemon second(root_, [](const ReceivedFrame &) {
        return std::vector<DaemonReply>{{0, encode_frame(8400, "")}};
    });
    // The old connection is dead: at most one send fails before a new
    // connection is made, as a caller's retry loop would do.
    int failures = 0;
    while (zq_sock_send_msg(1, 3400, nullptr, 0, 0, 0) != 0 && failures < 3)
        ++failures;
    EXPECT_LE(failures, 1);
    EXPECT_TRUE(wait_calls(1));
}

TEST_F(MsgSock, RepliesArriveOnlyWhileWaitingAndNeverAfterUninit)
{
    EXPECT_EQ(zq_sock_uninit(), 0) << "nothing open";
    EXPECT_EQ(zq_sock_wait(10, nullptr), 0u) << "nothing open: the wait just times out";
    FakeDaemon daemon(root_, [](const ReceivedFrame &frame) {
        if (frame.fields.code == 3401)
            return std::vector<DaemonReply>{{0, encode_frame(8401, "again")}};
        return std::vector<DaemonReply>(300, DaemonReply{0, encode_frame(8400, "data")});
    });
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(zq_sock_init(record_reply, 0, 3, kCoreSocketPath), 0);
        ASSERT_EQ(zq_sock_send_msg(1, 3400, nullptr, 0, 0, 0), 0);
        ASSERT_TRUE(wait_calls(1));
        EXPECT_EQ(g_calls.load(), 1) << "the wait stops as soon as it is done";
        EXPECT_EQ(zq_sock_uninit(), 0);
        EXPECT_EQ(zq_sock_wait(30, nullptr), 0u) << "round " << round;
        EXPECT_EQ(g_calls.load(), 1) << "round " << round;
        g_calls = 0;
    }
    // A new channel gets its own replies, none left from the old one.
    ASSERT_EQ(zq_sock_init(record_reply, 0, 3, kCoreSocketPath), 0);
    ASSERT_EQ(zq_sock_send_msg(1, 3401, nullptr, 0, 0, 0), 0);
    SetUp();
    ASSERT_TRUE(wait_calls(1));
    EXPECT_EQ(delivered().at(0).payload, "again");
    EXPECT_EQ(zq_sock_uninit(), 0);
    EXPECT_EQ(zq_sock_uninit(), 0) << "twice is harmless";
}

TEST_F(MsgSock, CallbackCannotReopenOrCloseTheChannelItRunsOn)
{
    FakeDaemon daemon(root_, [](const ReceivedFrame &) {
        return std::vector<DaemonReply>{{0, encode_frame(8400, "one") + encode_frame(8401, "two")}};
    });
    ASSERT_EQ(zq_sock_init(reentering_reply, 0, 3, kCoreSocketPath), 0);
    ASSERT_EQ(zq_sock_send_msg(1, 3400, nullptr, 0, 0, 0), 0);
    ASSERT_TRUE(wait_calls(2));
    EXPECT_EQ(g_reentry_init, -1);
    EXPECT_EQ(g_reentry_uninit, -1);
    EXPECT_EQ(delivered().at(1).payload, "two") << "the channel stayed open";
}

TEST_F(MsgSock, WaitEndsAtItsDeadlineWhenNoReplyComes)
{
    FakeDaemon daemon(root_, [](const ReceivedFrame &) { return std::vector<DaemonReply>{}; });
    ASSERT_EQ(zq_sock_init(record_reply, 0, 3, kCoreSocketPath), 0);
    ASSERT_EQ(zq_sock_send_msg(1, 3400, nullptr, 0, 0, 0), 0);
    EXPECT_FALSE(wait_calls(1, 50));
}

TEST(MsgFrames, ParserDeliversWholeFramesAndStopsAtTheFirstBadOne)
{
    struct Count {
        int frames = 0;
        std::string payloads;
        bool null_payload = false;
    } count;
    auto counting = [](void *context, const char *header, const char *payload) {
        auto *seen = static_cast<Count *>(context);
        ++seen->frames;
        seen->null_payload |= payload == nullptr;
        if (payload != nullptr)
            seen->payloads.append(payload, le32(std::string(header, kMsgHeaderSize), kMsgOffSize));
        return 0;
    };
    auto parse = [&](const std::string &bytes) {
        count = Count{};
        return msg_parse_frames(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size(), counting,
                                &count);
    };

    const std::string two = encode_frame(2, "") + encode_frame(1, "ab");
    EXPECT_EQ(parse(two), 2u);
    EXPECT_EQ(count.payloads, "ab");
    EXPECT_FALSE(count.null_payload);

    const std::string whole = encode_frame(3, "cdef");
    EXPECT_EQ(parse(two + whole.substr(0, whole.size() - 1)), 2u) << "a frame cut short is not delivered";
    EXPECT_EQ(parse(two + whole.substr(0, 10)), 2u);

    std::string bad_magic = whole;
    bad_magic[3] = 'm';
    EXPECT_EQ(parse(two + bad_magic + whole), 2u) << "nothing after a bad frame";

    std::string huge = whole;
    const uint32_t too_big = kMsgMaxPayload + 1;
    memcpy(huge.data() + kMsgOffSize, &too_big, 4);
    EXPECT_EQ(parse(huge + whole), 0u);

    std::string claims_max = whole;
    memcpy(claims_max.data() + kMsgOffSize, &kMsgMaxPayload, 4);
    EXPECT_EQ(parse(claims_max), 0u) << "a header claiming more than arrives";
    EXPECT_EQ(msg_parse_frames(nullptr, 10, counting, &count), 0u);
}

} // namespace
