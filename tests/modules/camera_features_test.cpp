// The camera feature and camera upgrade replies and requests: where each
// field sits in the bytes, replies too short for their record, text fields
// that fill their width, counts that claim more than the record holds, and
// the request payloads built from the browser's keys.
#include <gtest/gtest.h>
#include <json-c/json.h>

#include <cstring>
#include <string>
#include <vector>

#include "fake_daemon.h"
#include "modules/camera/camera.h"
#include "reply_support.h"

namespace {

Delivered deliver(int32_t code, const std::string &payload)
{
    return deliver_reply(on_camera_ipc_callback, code, payload);
}

// The smallest whole reply of each decoder.
const ReplySize kNeeded[] = {
    {7503, 4},   {9002, 17},    {9003, 17}, {9004, 1},  {8307, 8}, {7505, 64 * 164},
    {7507, 164}, {8294, 26520}, {6213, 44}, {6217, 24}, {6219, 8}, {8371, 5968},
    {8376, 880}, {8377, 520},   {8379, 72}, {8386, 72}, {8385, 4}, {8372, 4},
};

TEST(CameraFeatureReplies, ShortRepliesAreNoReplyAndWholeOnesAnswer)
{
    expect_short_replies_ignored(on_camera_ipc_callback, kNeeded);
    EXPECT_EQ(deliver(9002, std::string(16, 'x')).out, "") << "a reply that ends before its text";
}

TEST(CameraFeatureReplies, ModelRecordsReadEachFieldAtItsOffsetAndUpToItsWidth)
{
    // Every text fills its field with no terminator.
    const std::string address(32, 'A');
    const std::string model(64, 'M');
    const std::string firmware(64, 'F');
    const Bytes type = Bytes(164).i32(0, 7).text(4, address).text(36, model).text(100, firmware);
    const Answer one(deliver(7507, type.str()));
    ASSERT_NE(one.get(), nullptr);
    EXPECT_EQ(one.keys(), (std::vector<std::string>{"chnid", "ipaddr", "model", "fwversion"}));
    EXPECT_EQ(one.num("chnid"), 7);
    EXPECT_EQ(one.text("ipaddr"), address);
    EXPECT_EQ(one.text("model"), model);
    EXPECT_EQ(one.text("fwversion"), firmware);

    Bytes all(64 * 164);
    all.i32(63 * 164, 63)
        .text(63 * 164 + 4, "10.0.0.63")
        .text(63 * 164 + 36, "last")
        .text(63 * 164 + 100, "v9");
    all.text(1 * 164 + 36, model);
    const Answer list(deliver(7505, all.str()));
    json_object *models = list.at("IPC");
    ASSERT_EQ(json_object_array_length(models), 64u);
    json_object *last = json_object_array_get_idx(models, 63);
    EXPECT_EQ(json_object_get_int(json_object_object_get(last, "chnid")), 63);
    EXPECT_STREQ(json_object_get_string(json_object_object_get(last, "ipaddr")), "10.0.0.63");
    EXPECT_STREQ(json_object_get_string(json_object_object_get(last, "model")), "last");
    EXPECT_STREQ(json_object_get_string(json_object_object_get(last, "fwversion")), "v9");
    json_object *second = json_object_array_get_idx(models, 1);
    EXPECT_EQ(json_object_get_string(json_object_object_get(second, "model")), model)
        << "a full model text stops at its field, not in the next one";
    EXPECT_STREQ(json_object_get_string(json_object_object_get(second, "fwversion")), "");

    EXPECT_EQ(deliver(7503, Bytes(4).i32(0, -3).str()).out, std::string(kJsonHead) + R"({ "type": -3 })");
}

TEST(CameraFeatureReplies, TextRepliesStopAtTheirEndOrTheirTerminator)
{
    EXPECT_EQ(deliver(9002, std::string(16, '\x7f') + "done").out,
              std::string(kJsonHead) + R"({ "result": "done" })");
    EXPECT_EQ(deliver(9003, std::string(16, '\0') + std::string("more\0junk", 9)).out,
              std::string(kJsonHead) + R"({ "result": "more" })");
    EXPECT_EQ(deliver(9004, "ZQ-1").out, std::string(kJsonHead) + R"({ "chip_code": "ZQ-1" })");

    const std::string data(512, 'd');
    const Answer custom(deliver(8377, Bytes(520).i32(0, -1).i32(4, 5).text(8, data).str()));
    EXPECT_EQ(custom.keys(), (std::vector<std::string>{"res", "chnid", "data"}));
    EXPECT_EQ(custom.num("res"), -1);
    EXPECT_EQ(custom.num("chnid"), 5);
    EXPECT_EQ(custom.text("data"), data);

    const std::string mark(32, 'w');
    EXPECT_EQ(deliver(6213, Bytes(44).i32(0, 3).i32(4, 1).i32(8, 99).text(12, mark).str()).out,
              std::string(kJsonHead) + R"({ "chnid": 3, "enable": 1, "watermark": ")" + mark + R"(" })");
}

TEST(CameraFeatureReplies, IndexedRepliesTakeTheirIndexes)
{
    const Bytes stream = Bytes(24).i32(0, 2).i32(4, 77).i32(8, 1).i32(12, 25).i32(16, 4096).i32(20, 50);
    EXPECT_EQ(deliver(6217, stream.str()).out,
              std::string(kJsonHead) +
                  R"({ "chnid": 2, "enable": 1, "framerate": 25, "bitrate": 4096, "iframeinterval": 50 })");
    EXPECT_EQ(deliver(6219, Bytes(8).i32(0, 9).i32(4, 2).str()).out,
              std::string(kJsonHead) + R"({ "chnid": 9, "nightMode": 2 })");
    const Bytes info = Bytes(880).i32(0, 0).i32(4, 1).i32(8, 2).i32(12, 3).i32(16, 4).i32(20, 5).i32(24, 6);
    EXPECT_EQ(deliver(8376, info.str()).out,
              std::string(kJsonHead) +
                  R"({ "res": 0, "audioSupport": 1, "audioSupportMode": 2, "audioLineInputSupport": 3,)"
                  R"( "systemSpeakerSupport": 4, "systemManualSpeedSupport": 5 })");
}

TEST(CameraFeatureReplies, MotionMaskIsOneCharacterPerChannel)
{
    const Bytes mask = Bytes(8).i32(0, 0x00000005).i32(4, static_cast<int32_t>(0x80000000u));
    const std::string expected = "101" + std::string(60, '0') + "1";
    EXPECT_EQ(deliver(8307, mask.str()).out,
              std::string(kJsonHead) + R"({ "Motion": ")" + expected + R"(" })");
}

TEST(CameraFeatureReplies, AutoTrackingFieldsAtTheirOffsets)
{
    const std::string area(300, 'a');
    Bytes reply(26520);
    for (int index = 0; index < 8; ++index)
        reply.i32(static_cast<size_t>(4 * index), 10 + index);
    reply.text(32, "08:00").text(64, "09:30").i32(96, 2); // day 0, section 0
    reply.text(26208, area).i32(26508, 1).i32(26512, 3).u8(26516, 200);
    const Answer answer(deliver(8294, reply.str()));
    ASSERT_NE(answer.get(), nullptr);
    EXPECT_EQ(answer.keys(),
              (std::vector<std::string>{"chnid", "enable", "show", "sensitivity", "time", "manual_tracking",
                                        "zoom_mode", "zoom_number", "area", "humanVehicleSupport",
                                        "trackingObject", "reportMotion", "schedule"}));
    EXPECT_EQ(answer.num("chnid"), 10);
    EXPECT_EQ(answer.num("zoom_number"), 17);
    EXPECT_EQ(answer.text("area"), area);
    EXPECT_EQ(answer.num("humanVehicleSupport"), 1);
    EXPECT_EQ(answer.num("trackingObject"), 3);
    EXPECT_EQ(answer.num("reportMotion"), 200) << "one unsigned byte";
    json_object *first = json_object_array_get_idx(json_object_array_get_idx(answer.at("schedule"), 0), 0);
    EXPECT_STREQ(json_object_get_string(json_object_object_get(first, "startTime")), "08:00");
    EXPECT_STREQ(json_object_get_string(json_object_object_get(first, "endTime")), "09:30");
    EXPECT_EQ(json_object_get_int(json_object_object_get(first, "actionType")), 2);
}

// int32 index i of the audio reply.
size_t audio_at(size_t index) { return 4 * index; }

TEST(CameraFeatureReplies, AudioCountsAreHeldToTheRecord)
{
    Bytes reply(5968);
    reply.i32(audio_at(0), 0).i32(audio_at(1), 1).i32(audio_at(2), 2).i32(audio_at(3), 3);
    reply.i32(audio_at(4), 1000); // options claimed
    const size_t option1 = 5 + 164;
    reply.i32(audio_at(option1), 77).i32(audio_at(option1 + 1), 1 << 30);
    const size_t rate2 = option1 + 2 + 2 * 18;
    reply.i32(audio_at(rate2), 16000).i32(audio_at(rate2 + 1), -1 - (1 << 30));
    const size_t rate3 = option1 + 2 + 3 * 18;
    reply.i32(audio_at(rate3), 44100).i32(audio_at(rate3 + 1), 500);
    for (int index = 0; index < 16; ++index)
        reply.i32(audio_at(rate3 + 2 + index), 32 + index);
    for (int index = 0; index < 11; ++index)
        reply.i32(audio_at(1481 + index), 100 + index);

    const Answer answer(deliver(8371, reply.str()));
    ASSERT_NE(answer.get(), nullptr);
    EXPECT_EQ(answer.keys(), (std::vector<std::string>{"res", "support", "supportMode", "supportInputMode",
                                                       "config", "options"}));
    EXPECT_EQ(answer.num("supportInputMode"), 3);
    json_object *config = answer.at("config");
    EXPECT_EQ(json_object_get_int(json_object_object_get(config, "chnid")), 100);
    EXPECT_EQ(json_object_get_int(json_object_object_get(config, "audioBitrate")), 110);
    json_object *options = answer.at("options");
    ASSERT_EQ(json_object_array_length(options), 9u);
    json_object *option = json_object_array_get_idx(options, 1);
    EXPECT_EQ(json_object_get_int(json_object_object_get(option, "encodeValue")), 77);
    json_object *rates = json_object_object_get(option, "sampleRateInfo");
    ASSERT_EQ(json_object_array_length(rates), 9u);
    json_object *negative = json_object_array_get_idx(rates, 2);
    EXPECT_EQ(json_object_get_int(json_object_object_get(negative, "sampleRateValue")), 16000);
    EXPECT_EQ(json_object_array_length(json_object_object_get(negative, "bitrateInfo")), 0u);
    json_object *full = json_object_array_get_idx(rates, 3);
    json_object *bitrates = json_object_object_get(full, "bitrateInfo");
    ASSERT_EQ(json_object_array_length(bitrates), 16u);
    EXPECT_EQ(json_object_get_int(json_object_array_get_idx(bitrates, 15)), 47);
    EXPECT_EQ(json_object_array_length(
                  json_object_object_get(json_object_array_get_idx(options, 0), "sampleRateInfo")),
              0u);
}

TEST(CameraUpgradeReplies, MasksOfTheFirstSixteenChannels)
{
    // Bits 0 and 3, and bit 40, which is past the channels an upgrade reports.
    Bytes state(72);
    state.i32(0, 0x9).i32(4, 1 << 8);
    state.i32(8, 11).i32(8 + 3 * 4, 33).i32(8 + 1 * 4, 99);
    const Answer answer(deliver(8379, state.str()));
    EXPECT_EQ(answer.keys(), (std::vector<std::string>{"chnid", "status", "chnMask"}));
    EXPECT_EQ(answer.num("chnid"), 9);
    json_object *status = answer.at("status");
    ASSERT_EQ(json_object_array_length(status), 2u);
    EXPECT_EQ(json_object_get_int(json_object_array_get_idx(status, 0)), 11);
    EXPECT_EQ(json_object_get_int(json_object_array_get_idx(status, 1)), 33);
    EXPECT_EQ(answer.text("chnMask"), "1001000000000000");

    // The mask as a signed 64-bit number: bit 63 makes it negative.
    Bytes high(72);
    high.i32(0, 1).i32(4, static_cast<int32_t>(0x80000000u)).i32(8, -2);
    EXPECT_EQ(deliver(8386, high.str()).out,
              std::string(kTextHead) +
                  "chnid=-9223372036854775807\r\nstatus0=-2\r\nchnMask=1000000000000000\r\n");
    Bytes every(72);
    every.i32(0, 0xffff);
    for (int index = 0; index < 16; ++index)
        every.i32(8 + 4 * static_cast<size_t>(index), 100);
    std::string expected = std::string(kTextHead) + "chnid=65535\r\n";
    for (int index = 0; index < 16; ++index)
        expected += "status" + std::to_string(index) + "=100\r\n";
    EXPECT_EQ(deliver(8386, every.str()).out, expected + "chnMask=1111111111111111\r\n");
}

// The handlers' payloads, sent to a core daemon that answers each with a
// status of 0.
class CameraFeatureRequests : public ::testing::Test {
protected:
    // The payload the handler sent for `text` (empty when nothing was sent).
    std::string sent(int (*handler)(char *), std::string text, std::string *out = nullptr)
    {
        FakeDaemon daemon(root_, [](const ReceivedFrame &frame) {
            if ((frame.fields.flags & kMsgFlagNoReply) != 0)
                return std::vector<DaemonReply>{};
            return std::vector<DaemonReply>{
                {0, encode_frame(frame.fields.code + 5000, std::string(72, '\0'))}};
        });
        CapturedOutput output;
        handler(text.data());
        if (out != nullptr)
            *out = output.text();
        const std::vector<ReceivedFrame> frames = daemon.frames();
        return frames.empty() ? std::string() : frames.back().payload;
    }

    TempRoot root_;
};

TEST_F(CameraFeatureRequests, AutoTrackingSettingLaysOutEveryField)
{
    const std::string area(400, 'z');
    const std::string text =
        R"({"chnid": 5, "channels": "1001", "enable": 1, "show": 2, "sensitivity": 3,)"
        R"( "time": 4, "manual_tracking": 5, "zoom_mode": 6, "zoom_number": 7, "area": ")" +
        area +
        R"(", "humanVehicleSupport": 8, "trackingObject": 9, "reportMotion": 255,)"
        R"( "schedule": [[["01:00", "02:00", 3]]]})";
    const std::string payload = sent(on_cgi_set_auto_tracking_status, text);
    ASSERT_EQ(payload.size(), 26528u);
    EXPECT_EQ(int32_at(payload, 0), 0x29) << "the channels' bits and the channel's own";
    EXPECT_EQ(int32_at(payload, 4), 0);
    for (int index = 0; index < 8; ++index)
        EXPECT_EQ(int32_at(payload, 8 + 4 * static_cast<size_t>(index)), index == 0 ? 5 : index) << index;
    EXPECT_STREQ(payload.c_str() + 40, "01:00");
    EXPECT_STREQ(payload.c_str() + 72, "02:00");
    EXPECT_EQ(int32_at(payload, 104), 3);
    EXPECT_EQ(payload.substr(26216, 300), std::string(299, 'z') + '\0') << "cut to its width less one";
    EXPECT_EQ(int32_at(payload, 26516), 8);
    EXPECT_EQ(int32_at(payload, 26520), 9);
    EXPECT_EQ(static_cast<uint8_t>(payload[26524]), 255);
    EXPECT_EQ(payload.substr(26525), std::string(3, '\0'));
}

TEST_F(CameraFeatureRequests, ChannelChecksAndMasks)
{
    std::string out;
    EXPECT_EQ(sent(on_cgi_set_auto_tracking_status, R"({"chnid": 64})", &out), "");
    EXPECT_EQ(out, std::string(kJsonHead) + R"({status:"CGI ERROR"})");

    // A channel outside 0..63 adds no bit of its own but is still sent.
    const std::string audio =
        sent(on_cgi_set_ipc_audio_info,
             R"({"chnid": 70, "channels": "01", "audioEnable": 1, "audioBitrate": 64})");
    ASSERT_EQ(audio.size(), 56u);
    EXPECT_EQ(int32_at(audio, 0), 0x2);
    EXPECT_EQ(int32_at(audio, 8), 70);
    EXPECT_EQ(int32_at(audio, 12), 1);
    EXPECT_EQ(int32_at(audio, 48), 64);
    EXPECT_EQ(int32_at(audio, 52), 0);
    const std::string high = sent(on_cgi_set_ipc_audio_info, R"({"chnid": 40})");
    EXPECT_EQ(int32_at(high, 0), 0);
    EXPECT_EQ(int32_at(high, 4), 1 << 8);
}

TEST_F(CameraFeatureRequests, WatermarkCopyMarksItsOwnChannel)
{
    const std::string mark(40, 'm');
    std::string payload = sent(on_cgi_set_watermark,
                               R"({"chnid": 6, "enable": 1, "watermark": ")" + mark + R"(", "copy": "11"})");
    ASSERT_EQ(payload.size(), 112u);
    EXPECT_EQ(int32_at(payload, 0), 6);
    EXPECT_EQ(int32_at(payload, 4), 1);
    EXPECT_EQ(payload.substr(12, 32), std::string(31, 'm') + '\0');
    EXPECT_STREQ(payload.c_str() + 44, "1100001") << "padded with '0' up to the channel";
    payload = sent(on_cgi_set_watermark, R"({"chnid": 63, "copy": ")" + std::string(70, '1') + R"("})");
    EXPECT_EQ(payload.substr(44, 65), std::string(64, '1') + '\0');
    payload = sent(on_cgi_set_watermark, R"({"chnid": 1, "copy": "000"})");
    EXPECT_STREQ(payload.c_str() + 44, "010");
}

TEST_F(CameraFeatureRequests, EventStreamAndCommandPayloads)
{
    const std::string stream =
        sent(on_cgi_set_ipc_event_stream,
             R"({"chnid": 3, "enable": 1, "framerate": 15, "bitrate": 512, "iframeinterval": 30})");
    EXPECT_EQ(stream, Bytes(24).i32(0, 3).i32(8, 1).i32(12, 15).i32(16, 512).i32(20, 30).str());
    EXPECT_EQ(sent(on_cgi_get_ipc_event_stream, R"({"chnid": 3, "fisheyeType": 2})"),
              Bytes(8).i32(0, 3).i32(4, 2).str());
    const std::string command = sent(on_web_sendto_qt_cmd, R"({"cmd": ")" + std::string(150, 'c') + R"("})");
    EXPECT_EQ(command, std::string(99, 'c') + '\0');
    const std::string query =
        sent(on_cgi_get_ipc_custom_param, R"({"chnid": 2, "url": ")" + std::string(300, 'u') + R"("})");
    EXPECT_EQ(query, Bytes(260).i32(0, 2).text(4, std::string(255, 'u')).str());
}

TEST_F(CameraFeatureRequests, UpgradeMasksReadSixteenChannels)
{
    // Characters past the 16th are not channels an upgrade takes.
    const std::string file =
        sent(on_upgrade_ipc_by_file,
             R"({"chnMask": "10100000000000001111", "resetMask": "01", "fileSize": 12345})");
    ASSERT_EQ(file.size(), 280u);
    EXPECT_EQ(int32_at(file, 0), 0x5);
    EXPECT_EQ(int32_at(file, 4), 0);
    EXPECT_EQ(int32_at(file, 8), ~0x2);
    EXPECT_EQ(int32_at(file, 12), -1);
    EXPECT_EQ(int32_at(file, 16), 12345);
    EXPECT_EQ(int32_at(sent(on_upgrade_ipc_by_file, R"({"chnMask": "0000", "fileSize": 1})"), 0), 0);

    const std::string url =
        sent(on_upgrade_ipc_by_url,
             R"({"chnAry": [0, 3, 63], "reset": -2, "url": "http://h/)" + std::string(200, 'f') + R"("})");
    ASSERT_EQ(url.size(), 280u);
    EXPECT_EQ(int32_at(url, 0), 0x9);
    EXPECT_EQ(int32_at(url, 4), static_cast<int32_t>(0x80000000u));
    EXPECT_EQ(int32_at(url, 8), -2);
    EXPECT_EQ(int32_at(url, 12), -1) << "sign-extended";
    EXPECT_EQ(url.substr(20, 128), ("http://h/" + std::string(118, 'f')) + '\0');
    EXPECT_STREQ(url.c_str() + 148, "/dev/shm/updateIPCFM.bin");
}

} // namespace
