// The live view and playback handlers with a session of the test's own and
// a core daemon: which channels a request may name, the bounds of the
// session and channel lists, and a whole playback on the demo device.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "codecs/params.h"
#include "coresim_process.h"
#include "fake_daemon.h"
#include "front/access_gate.h"
#include "front/dispatchreq.h"
#include "front/session.h"
#include "front/web_utils.h"
#include "modules/stream/stream.h"
#include "test_support.h"

namespace {

std::string int32s(std::initializer_list<int32_t> values)
{
    std::string out;
    for (const int32_t value : values)
        out.append(reinterpret_cast<const char *>(&value), 4);
    return out;
}

int32_t int32_at(const std::string &bytes, size_t offset)
{
    int32_t value = 0;
    memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

// Live view and playback rights whose channel lists allow only the given
// channels.
SessionAccess channels_only(const char *liveview, const char *playback)
{
    SessionAccess access = full_access();
    memset(access.liveview, 0, sizeof access.liveview);
    memset(access.playback, 0, sizeof access.playback);
    snprintf(access.liveview, sizeof access.liveview, "%s", liveview);
    snprintf(access.playback, sizeof access.playback, "%s", playback);
    return access;
}

class StreamTest : public ::testing::Test {
protected:
    void TearDown() override { session_reset(); }

    void log_in(const SessionAccess &access)
    {
        const std::string cookie = test_session_cookie("viewer", access);
        ASSERT_TRUE(session_check_cookie(cookie.c_str()));
    }

    // What the resource at `path` wrote for `text`.
    static std::string call(const char *path, std::string text)
    {
        CapturedOutput out;
        DispatchWebReq(path, text.data());
        return out.text();
    }

    TempRoot root_;
};

// Every reply a request waits for is a record of zeros.
std::vector<DaemonReply> zero_replies(const ReceivedFrame &frame)
{
    if ((frame.fields.flags & kMsgFlagNoReply) != 0)
        return {};
    const int code = frame.fields.code;
    const int reply = code == kMsgStartPlaybackMask ? kReplyStartPlaybackMask : code + 5000;
    return {{0, encode_frame(reply, std::string(1476, '\0'))}};
}

TEST_F(StreamTest, ChannelsOutsideTheSessionsListsSendNothing)
{
    // Live view of channel 1 only; playback of channels 0 and 2 only.
    log_in(channels_only("01", "101"));
    FakeDaemon daemon(root_, zero_replies);
    struct Refused {
        const char *path;
        const char *text;
    };
    const Refused refused[] = {
        {"/3000", R"({"chnid": 0})"},
        {"/3001", R"({"id": 2, "brightness": 1, "contrast": 1, "saturation": 1})"},
        {"/3002", "0"},
        {"/4010", R"({"id": 0, "streamType": 0, "streamFrom": 0})"},
        {"/4011", R"({"id": 3, "streamType": 1, "streamFrom": 1})"},
        {"/4024", "2"},
        {"/4000", R"({"channelId": 1, "sid": 4, "streamType": 0, "time": "a", "endTime": "b"})"},
        {"/4001", R"({"channelId": 1, "sid": 4, "playTime": "a", "startTime": "b", "endTime": "c"})"},
        {"/4008", R"({"chind": [0, 1], "num": 2, "speed": 2})"},
        {"/4009", R"({"jumpTime": "t", "sid": [7, 8], "chnid": [2, 3], "num": 2})"},
        {"/4014", "1"},
        {"/4015", "3"},
        {"/4016", "1"},
        {"/4017", "15"},
        {"/4020", R"({"mask0": 3, "mask1": 0, "mask2": 0, "mask3": 0, "mask4": 0, "mask5": 0,)"
                  R"( "mask6": 0, "mask7": 0, "playTime": "2024-01-02 03:04:05"})"},
        {"/4020", R"({"mask0": 0, "mask1": 1, "mask2": 0, "mask3": 0, "mask4": 0, "mask5": 0,)"
                  R"( "mask6": 0, "mask7": 0, "playTime": "2024-01-02 03:04:05"})"},
        {"/4025",
         R"({"ch": 1, "sid": 1, "trancodingmode": 1, "framesize": 1, "bitrate": 1, "framerate": 1})"},
        {"/4026", R"({"ch": 3, "sid": 1})"},
    };
    for (const Refused &request : refused)
        EXPECT_EQ(call(request.path, request.text), kForbiddenAnswer) << request.path << " " << request.text;

    // The first message the daemon sees is the allowed one after them.
    EXPECT_EQ(call("/4015", "2"), "Content-type: text/plain\r\n\r\nOK");
    call("/4011", R"({"id": 1, "streamType": 1, "streamFrom": 1})");
    ASSERT_TRUE(daemon.wait_frames(1));
    EXPECT_EQ(daemon.frames()[0].fields.code, kMsgStopLive);
}

TEST_F(StreamTest, AllowedChannelsGoToTheCoreDaemon)
{
    log_in(channels_only("01", "101"));
    FakeDaemon daemon(root_, zero_replies);
    call("/4008", R"({"chind": [2, 0], "num": 2, "speed": 2})");
    call("/4009", R"({"jumpTime": "t", "sid": [7, 9], "chnid": [2, 0], "num": 2})");
    call("/4020", R"({"mask0": 5, "mask1": 0, "mask2": 0, "mask3": 0, "mask4": 0, "mask5": 0,)"
                  R"( "mask6": 0, "mask7": 0, "playTime": "2024-01-02 03:04:05"})");
    call("/3000", R"({"chnid": 1})");
    ASSERT_TRUE(daemon.wait_frames(6));
    const std::vector<ReceivedFrame> frames = daemon.frames();
    EXPECT_EQ(frames[0].fields.code, kMsgSlowForward);
    EXPECT_EQ(frames[0].payload.substr(8, 8), int32s({2, 0}));
    EXPECT_EQ(int32_at(frames[0].payload, 264), 2);
    EXPECT_EQ(frames[1].fields.code, kMsgJumpPlayback);
    EXPECT_EQ(frames[1].payload.substr(0, 8), int32s({2, 0}));
    EXPECT_EQ(frames[1].payload.substr(256, 8), int32s({7, 9}));
    EXPECT_EQ(int32_at(frames[1].payload, 512), 2);
    EXPECT_EQ(frames[2].fields.code, kMsgStartPlaybackMask);
    EXPECT_EQ(frames[3].fields.code, kMsgPlaybackStream);
    EXPECT_EQ(frames[4].fields.code, kCoreMsgOperationLog);
    EXPECT_EQ(frames[5].fields.code, kMsgGetLiveImage);
}

// One record per channel: the session sees the addresses of the channels
// it may view only.
TEST_F(StreamTest, RtspAddressesOfChannelsTheSessionMayNotViewAreEmpty)
{
    log_in(channels_only("01", ""));
    FakeDaemon daemon(root_, [](const ReceivedFrame &) {
        std::string records;
        for (int channel = 0; channel < 2; ++channel) {
            rtsp_address_record record{};
            record.channel = channel;
            snprintf(record.ipc_main, sizeof record.ipc_main, "rtsp://cam%d/main", channel);
            snprintf(record.main.password, sizeof record.main.password, "secret%d", channel);
            record.main.port = 554;
            records.append(reinterpret_cast<const char *>(&record), sizeof record);
        }
        return std::vector<DaemonReply>{{0, encode_frame(kReplyRtspAddresses, records)}};
    });
    const std::string answer = call("/4018", "");
    EXPECT_EQ(answer.find("cam0"), std::string::npos);
    EXPECT_EQ(answer.find("secret0"), std::string::npos);
    EXPECT_NE(answer.find(R"("main": "rtsp:\/\/cam1\/main")"), std::string::npos) << answer;
    EXPECT_NE(answer.find(R"("mainPassword": "secret1")"), std::string::npos);
    EXPECT_NE(answer.find(R"("main": "", "sub": "" }, "nvr": { "mainUsername": "", "mainPassword": "", )"
                          R"("mainPort": 554)"),
              std::string::npos)
        << answer;
}

// ---- Lists -------------------------------------------------------------------

struct Parsed {
    json_object *object;
    explicit Parsed(const char *text) : object(json_tokener_parse(text)) {}
    ~Parsed() { json_object_put(object); }
    json_object *operator[](const char *key) const { return json_get_member(object, key); }
};

std::string numbers(int from, int count)
{
    std::string out = "[";
    for (int index = 0; index < count; ++index)
        out += (index > 0 ? ", " : "") + std::to_string(from + index);
    return out + "]";
}

TEST(StreamLists, NeverMoreEntriesThanNumTheArraysOrSixtyFour)
{
    int32_t first[kStreamListMax + 8];
    int32_t second[kStreamListMax + 8];
    const Parsed long_list(("{\"a\": " + numbers(100, 70) + ", \"b\": " + numbers(0, 3) + "}").c_str());
    EXPECT_EQ(gather_list(long_list["a"], first, nullptr, nullptr, 1000), kStreamListMax);
    EXPECT_EQ(first[kStreamListMax - 1], 163);
    EXPECT_EQ(gather_list(long_list["a"], first, nullptr, nullptr, 5), 5);
    EXPECT_EQ(gather_list(long_list["a"], first, nullptr, nullptr, -3), 0);
    EXPECT_EQ(gather_list(long_list["a"], first, long_list["b"], second, 70), 3)
        << "the shorter array ends the list";
    EXPECT_EQ(second[2], 2);
    EXPECT_EQ(gather_list(long_list["missing"], first, nullptr, nullptr, 10), 0);
    EXPECT_EQ(gather_list(long_list["a"], first, long_list["missing"], second, 10), 0);
}

TEST(StreamLists, ElementsThatAreNoIntegersLeaveTheirPairOutARefusedOneTheList)
{
    int32_t first[kStreamListMax];
    int32_t second[kStreamListMax];
    const Parsed lists(R"({"a": [1, "x", 3, null, "5", 6, 70], "b": [10, 20, {}, 40, 50, 60, 70]})");
    ASSERT_EQ(gather_list(lists["a"], first, lists["b"], second, 10), 4);
    EXPECT_EQ(std::vector<int32_t>(first, first + 4), (std::vector<int32_t>{1, 5, 6, 70}));
    EXPECT_EQ(std::vector<int32_t>(second, second + 4), (std::vector<int32_t>{10, 50, 60, 70}));
    EXPECT_EQ(gather_list(lists["a"], first, nullptr, nullptr, 10, stream_channel_valid), -1);
    ASSERT_EQ(gather_list(lists["a"], first, nullptr, nullptr, 6, stream_channel_valid), 4)
        << "the refused 70 lies beyond the count";
    EXPECT_EQ(std::vector<int32_t>(first, first + 4), (std::vector<int32_t>{1, 3, 5, 6}));
}

TEST(StreamLists, SessionListsNeedNumAndAnArray)
{
    playback_session_list list;
    EXPECT_FALSE(session_list_from_request(Parsed(R"({"sid": [1, 2]})").object, "sid", &list));
    EXPECT_FALSE(session_list_from_request(Parsed(R"({"num": 2, "sid": 1})").object, "sid", &list));
    ASSERT_TRUE(session_list_from_request(Parsed(R"({"num": 90, "sid": [4, -1, 6]})").object, "sid", &list));
    EXPECT_EQ(list.count, 3);
    EXPECT_EQ(list.sid[1], -1);
    EXPECT_EQ(list.sid[3], 0);
}

// ---- A playback on the demo device ------------------------------------------

std::vector<int> recorded_codes(const std::string &record)
{
    std::vector<int> codes;
    for (size_t at = 0; at < record.size();) {
        codes.push_back(atoi(record.c_str() + at));
        const size_t end = record.find('\n', at);
        at = end == std::string::npos ? record.size() : end + 1;
    }
    return codes;
}

std::string yesterday(const char *clock)
{
    const time_t then = time(nullptr) - 86400;
    struct tm local {};
    localtime_r(&then, &local);
    char text[32];
    strftime(text, sizeof text, "%Y-%m-%d ", &local);
    return text + std::string(clock);
}

// The JSON answer after the header, as an object.
struct Answer {
    explicit Answer(const std::string &response)
        : parsed(response.substr(std::min(response.size(), response.find("\r\n\r\n") + 4)).c_str())
    {
    }
    std::string text(const char *key) const
    {
        const char *value = json_object_get_string(parsed[key]);
        return value != nullptr ? value : "";
    }
    int number(const char *key) const { return json_object_get_int(parsed[key]); }
    Parsed parsed;
};

TEST_F(StreamTest, PlaybackStartedPausedResumedAndClosedOnTheDemoDevice)
{
    log_in(full_access());
    CoreSim sim(root_, {"--demo"});
    ASSERT_TRUE(sim.running());
    const std::string from = yesterday("07:00:00");
    const std::string to = yesterday("10:00:00");

    const Answer found(call("/4000", R"({"channelId": 1, "sid": -1, "streamType": 0, "time": ")" + from +
                                         R"(", "endTime": ")" + to + R"("})"));
    ASSERT_EQ(found.text("status"), "OK");
    const int sid = found.number("sid");
    const std::string sid_text = std::to_string(sid);

    const std::string play_from = yesterday("07:01:00");
    const Answer started(call("/4001", R"({"channelId": 1, "sid": )" + sid_text + R"(, "playTime": ")" +
                                           play_from + R"(", "startTime": ")" + from + R"(", "endTime": ")" +
                                           to + R"("})"));
    EXPECT_EQ(started.text("status"), "OK");
    EXPECT_EQ(started.number("sessionId"), sid);
    EXPECT_EQ(started.text("realPlayTime"), play_from);

    const std::string list = R"({"num": 1, "sid": [)" + sid_text + "]}";
    EXPECT_EQ(call("/4004", list), "Content-type: text/plain\r\n\r\nOK");
    const std::string paused_at = Answer(call("/4002", sid_text)).text("curPlayTime");
    EXPECT_EQ(call("/4006", list), "Content-type: text/plain\r\n\r\nOK");
    EXPECT_GT(Answer(call("/4002", sid_text)).text("curPlayTime"), paused_at) << "a step moves on";
    call("/4005", R"({"sid": )" + sid_text + R"(, "direction": 0})");
    call("/4003", R"({"close": 1, "num": 1, "sid": [)" + sid_text + "]}");
    EXPECT_EQ(call("/4002", sid_text), "Content-type: application/json\r\n\r\n{status:\"CGI ERROR\"}")
        << "a closed session has no play time";

    sim.stop();
    const std::vector<int> expected = {
        kMsgSearchRecords, kMsgStartPlayback, kMsgPlaybackStream, kCoreMsgOperationLog, kMsgPausePlayback,
        kMsgPlaybackTime,  kMsgStepPlayback,  kMsgPlaybackTime,   kMsgResumePlayback,   kMsgStopSession,
        kMsgStopPlayback,  kMsgClosePlayback, kMsgPlaybackTime,
    };
    EXPECT_EQ(recorded_codes(sim.record()), expected);
}

} // namespace
