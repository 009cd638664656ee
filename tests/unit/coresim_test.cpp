// coresim, the core daemon stand-in, driven as a program through its socket:
// scripted answers, timing, recording, bad frames, stop, and the demo device.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "coresim/payload_text.h"
#include "platform/msgsock/msgsock.h"
#include "coresim_process.h"
#include "test_support.h"

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Frame {
    std::string header;
    MsgHeader fields{};
    std::string payload;
};

std::string frame_bytes(uint32_t seq, uint32_t flags, int32_t code, const std::string &payload = "")
{
    unsigned char header[kMsgHeaderSize];
    msg_header_encode(MsgHeader{seq, flags, code, static_cast<uint32_t>(payload.size())}, header);
    return std::string(reinterpret_cast<const char *>(header), sizeof header) + payload;
}

std::string int32s(std::initializer_list<int32_t> values)
{
    std::string out;
    for (const int32_t value : values)
        out.append(reinterpret_cast<const char *>(&value), 4);
    return out;
}

class Client {
public:
    explicit Client(const TempRoot &root) : fd_(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = root / "var/run/zqsocket";
        memcpy(address.sun_path, path.c_str(), path.size() + 1);
        connected_ = connect(fd_, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    }
    ~Client() { close(fd_); }
    Client(const Client &) = delete;
    Client &operator=(const Client &) = delete;

    bool connected() const { return connected_; }

    void send_raw(const std::string &bytes) const
    {
        ASSERT_EQ(send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
    }
    void send_msg(uint32_t seq, uint32_t flags, int32_t code, const std::string &payload = "") const
    {
        send_raw(frame_bytes(seq, flags, code, payload));
    }

    // The next whole frame; false when none arrives within `timeout_ms` or
    // the connection ends.
    bool receive(Frame *frame, int timeout_ms = 5000)
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
        while (true) {
            MsgHeader fields{};
            if (buffer_.size() >= kMsgHeaderSize &&
                msg_header_decode(reinterpret_cast<const unsigned char *>(buffer_.data()), buffer_.size(),
                                  &fields) == 0 &&
                buffer_.size() >= kMsgHeaderSize + fields.size) {
                frame->header = buffer_.substr(0, kMsgHeaderSize);
                frame->fields = fields;
                frame->payload = buffer_.substr(kMsgHeaderSize, fields.size);
                buffer_.erase(0, kMsgHeaderSize + fields.size);
                return true;
            }
            if (!fill(deadline))
                return false;
        }
    }

    // True when the peer closes the connection within `timeout_ms`.
    bool closed_by_peer(int timeout_ms = 5000)
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
        while (fill(deadline)) {
        }
        return eof_;
    }

private:
    bool fill(Clock::time_point deadline)
    {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd entry{fd_, POLLIN, 0};
        if (eof_ || left < 0 || poll(&entry, 1, static_cast<int>(left)) <= 0)
            return false;
        char chunk[4096];
        const ssize_t got = recv(fd_, chunk, sizeof chunk, 0);
        if (got <= 0) {
            eof_ = true;
            return false;
        }
        buffer_.append(chunk, static_cast<size_t>(got));
        return true;
    }

    int fd_;
    bool connected_ = false;
    bool eof_ = false;
    std::string buffer_;
};

std::string write_script(const TempRoot &root, const std::string &text)
{
    const std::string path = root / "script";
    FILE *file = fopen(path.c_str(), "w");
    fputs(text.c_str(), file);
    fclose(file);
    return path;
}

void expect_frame(Client &client, uint32_t seq, int32_t code, const std::string &payload)
{
    Frame frame;
    ASSERT_TRUE(client.receive(&frame)) << "no reply with code " << code;
    EXPECT_EQ(frame.header.substr(0, 4), "NVRM");
    EXPECT_EQ(frame.fields.seq, seq);
    EXPECT_EQ(frame.fields.flags, 0u);
    EXPECT_EQ(frame.fields.code, code);
    EXPECT_EQ(frame.header.substr(kMsgOffReserved, 4), std::string(4, '\0'));
    EXPECT_EQ(frame.payload, payload);
}

TEST(CoreSim, ScriptedRepliesRepeatTheirRequestsSequenceInOrder)
{
    TempRoot root;
    CoreSim sim(root, {"--script", write_script(root, "# replies\n"
                                                      "reply 3306 8306 i32:100,20,80\n"
                                                      "reply 3400 8400 text:a\\sb\n"
                                                      "\n"
                                                      "reply 3400 8401 -\n")});
    ASSERT_TRUE(sim.running()) << sim.log();
    Client client(root);
    ASSERT_TRUE(client.connected());
    // Two requests in one write, then the first code again.
    client.send_raw(frame_bytes(5, 0, 3400, "xy") + frame_bytes(6, 0, 3306));
    expect_frame(client, 5, 8400, "a b");
    expect_frame(client, 5, 8401, "");
    expect_frame(client, 6, 8306, int32s({100, 20, 80}));
    client.send_msg(0xfffffff0u, 0, 3400);
    expect_frame(client, 0xfffffff0u, 8400, "a b");
    expect_frame(client, 0xfffffff0u, 8401, "");
}

TEST(CoreSim, DelaysHoldBackOnlyTheirOwnConnection)
{
    TempRoot root;
    CoreSim sim(root, {"--script", write_script(root, "delay 3400 400\n"
                                                      "reply 3400 8400 i32:1\n"
                                                      "delay 3400 200\n"
                                                      "reply 3400 8400 i32:2\n"
                                                      "reply 3306 8306 i32:3\n")});
    ASSERT_TRUE(sim.running()) << sim.log();
    Client slow(root);
    Client fast(root);
    const auto sent = Clock::now();
    slow.send_msg(1, 0, 3400);
    slow.send_msg(2, 0, 3306); // queued behind the delayed answer
    fast.send_msg(3, 0, 3306);
    expect_frame(fast, 3, 8306, int32s({3}));
    Frame frame;
    EXPECT_FALSE(slow.receive(&frame, 0)) << "the delayed reply came early";

    // Pauses add up from the moment the request arrived.
    expect_frame(slow, 1, 8400, int32s({1}));
    EXPECT_GE(Clock::now() - sent, std::chrono::milliseconds(400));
    expect_frame(slow, 1, 8400, int32s({2}));
    EXPECT_GE(Clock::now() - sent, std::chrono::milliseconds(600));
    expect_frame(slow, 2, 8306, int32s({3}));
}

TEST(CoreSim, RoundsAnswerSuccessiveRequestsAndTheLastOneRepeats)
{
    TempRoot root;
    CoreSim sim(root, {"--script", write_script(root, "noreply 3500\n"
                                                      "next 3500\n"
                                                      "reply 3500 8500 i32:2\n"
                                                      "next 3500\n"
                                                      "reply 3500 8500 i32:3\n"
                                                      "reply 3306 8306 -\n")});
    ASSERT_TRUE(sim.running()) << sim.log();
    Client client(root);
    for (uint32_t seq = 1; seq <= 4; ++seq)
        client.send_msg(seq, 0, 3500);
    client.send_msg(5, 0, 3306);
    expect_frame(client, 2, 8500, int32s({2}));
    expect_frame(client, 3, 8500, int32s({3}));
    expect_frame(client, 4, 8500, int32s({3}));
    expect_frame(client, 5, 8306, "");
}

TEST(CoreSim, NoReplyFlagAndUnknownCodesGetNothingButEveryMessageIsRecordedAtOnce)
{
    TempRoot root;
    CoreSim sim(root, {"--script", write_script(root, "reply 3306 8306 i32:1\n")});
    ASSERT_TRUE(sim.running()) << sim.log();
    Client client(root);
    client.send_msg(1, kMsgFlagNoReply, 3306, std::string("\x01\xff", 2));
    client.send_msg(2, 0, 1234);
    client.send_msg(3, 6, -7, std::string(3, '\0'));
    client.send_msg(4, 0, 3306);
    expect_frame(client, 4, 8306, int32s({1}));
    // Read while coresim runs: each line is written as its message arrives.
    EXPECT_EQ(sim.record(), "3306 1 01ff\n1234 0 -\n-7 6 000000\n3306 0 -\n");
    EXPECT_NE(sim.log().find("1234"), std::string::npos) << "an unscripted code is noted";
}

TEST(CoreSim, BadFramesCloseOnlyTheirOwnConnection)
{
    TempRoot root;
    CoreSim sim(root, {"--script", write_script(root, "reply 3306 8306 i32:9\n")});
    ASSERT_TRUE(sim.running()) << sim.log();
    Client bad_magic(root);
    Client oversize(root);
    Client good(root);
    std::string wrong = frame_bytes(1, 0, 3306);
    wrong[0] = 'X';
    bad_magic.send_raw(wrong);
    std::string huge = frame_bytes(2, 0, 3306);
    const uint32_t size = kMsgMaxPayload + 1;
    memcpy(&huge[kMsgOffSize], &size, 4);
    oversize.send_raw(huge);
    EXPECT_TRUE(bad_magic.closed_by_peer());
    EXPECT_TRUE(oversize.closed_by_peer());

    // A frame that arrives a few bytes at a time is still one frame.
    const std::string whole = frame_bytes(3, 0, 3306, "abcdef");
    for (size_t at = 0; at < whole.size(); at += 5) {
        good.send_raw(whole.substr(at, 5));
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    expect_frame(good, 3, 8306, int32s({9}));
    EXPECT_EQ(sim.record(), "3306 0 616263646566\n");
}

TEST(CoreSim, StopRecordsWhatClientsAlreadySentThenCleansUp)
{
    TempRoot root;
    CoreSim sim(root, {"--script", write_script(root, "")});
    ASSERT_TRUE(sim.running()) << sim.log();
    // Fire-and-forget senders that close at once, as the program does, and
    // a stop that follows immediately: none of their messages may be lost.
    constexpr int kClients = 20;
    for (int i = 0; i < kClients; ++i) {
        Client client(root);
        client.send_msg(static_cast<uint32_t>(i), kMsgFlagNoReply, 3485, int32s({i}));
    }
    EXPECT_EQ(sim.stop(), 0);
    std::string expected;
    for (int i = 0; i < kClients; ++i)
        expected += "3485 1 " + payload_text::to_hex(int32s({i})) + "\n";
    EXPECT_EQ(sim.record(), expected);
    EXPECT_FALSE(std::filesystem::exists(root / "var/run/zqsocket"));
    EXPECT_FALSE(std::filesystem::exists(root / "ready"));
}

TEST(CoreSim, RefusesASocketAnotherDaemonListensOn)
{
    TempRoot root;
    CoreSim first(root, {"--script", write_script(root, "reply 3306 8306 -\n")});
    ASSERT_TRUE(first.running()) << first.log();
    std::string log;
    EXPECT_EQ(CoreSim::run(root, {"--demo"}, &log), 1);
    EXPECT_NE(log.find("in use"), std::string::npos) << log;
    Client client(root);
    client.send_msg(1, 0, 3306);
    expect_frame(client, 1, 8306, "");
}

TEST(CoreSim, BadScriptsAndArgumentsNameTheProblem)
{
    TempRoot root;
    const std::vector<std::pair<std::string, std::string>> scripts = {
        {"reply 3306 8306 -\nrespond 3306\n", "script:2: unknown line"},
        {"reply 3306 8306 i32:1,,2\n", "script:1: bad payload piece \"i32:1,,2\""},
        {"reply 3306\n", "script:1: missing or bad reply code"},
        {"reply x 8306\n", "script:1: missing or bad request code"},
        {"delay 3306 soon\n", "script:1: bad delay"},
        {"noreply 3306\nreply 3306 8306 -\n", "script:2: \"noreply\" and \"reply\" in the same round"},
        {"next 3306 8306\n", "script:1: unexpected text"},
    };
    for (const auto &[text, message] : scripts) {
        std::string log;
        EXPECT_EQ(CoreSim::run(root, {"--script", write_script(root, text)}, &log), 2) << text;
        EXPECT_NE(log.find(message), std::string::npos) << text << "\n" << log;
    }
    std::string log;
    EXPECT_EQ(CoreSim::run(root, {"--script", root / "missing"}, &log), 2);
    EXPECT_EQ(CoreSim::run(root, {}, &log), 2);
    EXPECT_EQ(CoreSim::run(root, {"--demo", "--script", root / "script"}, &log), 2);
    EXPECT_EQ(CoreSim::run(root, {"--record"}, &log), 2);
    EXPECT_EQ(CoreSim::run(root, {"--help"}, &log), 0);
    EXPECT_NE(log.find("reply REQ REPLY [PAYLOAD]"), std::string::npos);
}

TEST(CoreSim, DemoAnswersUsageAndKeepsOperationLogRecords)
{
    TempRoot root;
    CoreSim sim(root, {"--demo"});
    ASSERT_TRUE(sim.running()) << sim.log();
    Client client(root);
    client.send_msg(1, kMsgFlagNoReply, 3485, std::string(672, '\0'));
    client.send_msg(2, 0, 9999);
    client.send_msg(3, 0, 3306);
    Frame frame;
    ASSERT_TRUE(client.receive(&frame));
    EXPECT_EQ(frame.fields.seq, 3u);
    EXPECT_EQ(frame.fields.code, 8306);
    ASSERT_EQ(frame.payload.size(), 12u);
    int32_t usage[3];
    memcpy(usage, frame.payload.data(), sizeof usage);
    EXPECT_GT(usage[0], 0);
    EXPECT_GE(usage[1], 0);
    EXPECT_GE(usage[2], 0);
    EXPECT_EQ(usage[0], usage[1] + usage[2]);
    EXPECT_NE(sim.log().find("9999"), std::string::npos);
}

TEST(PayloadText, PiecesJoinInOrder)
{
    std::string out;
    std::string error;
    ASSERT_TRUE(payload_text::parse("i32:100,-1 hex:0aFF  text:a\\sb\\x00\\n str:4:ab zero:2 i16:0xffff "
                                    "i64:-2 i8:255,-128 -",
                                    &out, &error))
        << error;
    EXPECT_EQ(payload_text::to_hex(out), "64000000ffffffff0aff"
                                         "612062000a"
                                         "61620000"
                                         "0000"
                                         "ffff"
                                         "feffffffffffffff"
                                         "ff80");
    ASSERT_TRUE(payload_text::parse("i32:-2147483648,4294967295", &out, &error));
    EXPECT_EQ(payload_text::to_hex(out), "00000080ffffffff");
    ASSERT_TRUE(payload_text::parse("", &out, &error));
    EXPECT_EQ(out, "");
}

TEST(PayloadText, MalformedPiecesAreRefused)
{
    for (const char *text :
         {"hex:abc", "hex:zz", "i8:256", "i8:-129", "i32:4294967296", "i32:", "i32:1,,2", "i32:1x",
          "str:2:abc", "str:2", "zero:x", "zero:16777217", "abc", "i24:1", "zero:16777216 i8:0"}) {
        std::string out;
        std::string error;
        EXPECT_FALSE(payload_text::parse(text, &out, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

} // namespace

#ifdef NVR_NVRCONF
// The demo's first camera answers with its alarm inputs and outputs, and an
// output switched on reads back as on; the fourth camera does not answer
// and reports none.
TEST(CoreSim, DemoCameraAlarmOutputSwitchedOnReadsBackOn)
{
    TempRoot root;
    const std::string init = std::string("'") + NVR_NVRCONF + "' init --demo >/dev/null";
    ASSERT_EQ(system(init.c_str()), 0);
    CoreSim sim(root, {"--demo"});
    ASSERT_TRUE(sim.running()) << sim.log();
    Client client(root);
    client.send_msg(1, kMsgFlagNoReply, 3352, int32s({0, 1, 1}));
    client.send_msg(2, 0, 3296, int32s({0}));
    expect_frame(client, 2, 8296, int32s({0, 0, 0, 0, 1, 2}));
    client.send_msg(3, 0, 3298, int32s({3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4}));
    expect_frame(client, 3, 8298, int32s({3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    client.send_msg(4, 0, 3298, int32s({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4}));
    expect_frame(client, 4, 8298, int32s({0, 1, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 4}));
}
#endif
