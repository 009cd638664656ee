// The status replies: each field at its offset, text fields that fill their
// width, partial records, replies too short for their decoder, and the
// merge of the camera and alarm state with the database's channels.
#include <gtest/gtest.h>
#include <json-c/json.h>

#include <cstring>
#include <string>
#include <vector>

#include "codecs/alarm_db.h"
#include "codecs/channel_db.h"
#include "modules/status/status.h"
#include "modules/status/status_records.h"
#include "platform/confdb/confdb.h"
#include "reply_support.h"

namespace {

Delivered deliver(int32_t code, const std::string &payload)
{
    return deliver_reply(on_status_ipc_callback, code, payload);
}

json_object *member(json_object *object, const char *key) { return json_at(object, key); }
std::string text_of(json_object *object, const char *key) { return json_text_at(object, key); }
int int_of(json_object *object, const char *key) { return json_int_at(object, key); }
bool is_text(json_object *object, const char *key)
{
    return json_object_is_type(member(object, key), json_type_string);
}
std::vector<std::string> keys_of(json_object *object) { return json_keys(object); }

class StatusReplies : public ::testing::Test {
protected:
    void TearDown() override { confdb_close(); }
    TempRoot root_;
};

TEST_F(StatusReplies, ShortRepliesAreNoReply)
{
    const struct {
        int32_t code;
        size_t bytes;
    } needed[] = {{kReplyUsage, 12}, {kReplyAlarmStatus, 704}, {kReplyChannelSupport, 64 * 44}};
    for (const auto &reply : needed) {
        const Delivered short_reply = deliver(reply.code, std::string(reply.bytes - 1, '\x01'));
        EXPECT_EQ(short_reply.out, "") << reply.code;
        EXPECT_EQ(short_reply.done, 0) << reply.code;
        EXPECT_EQ(deliver(reply.code, std::string(reply.bytes, '\0')).done, 1) << reply.code;
    }
    EXPECT_EQ(deliver(kReplyUsage, Bytes(12).i32(0, 100).i32(4, -1).i32(8, 7).str()).out,
              std::string(kJsonHead) + R"({ "total": 100, "free": -1, "used": 7 })");
    EXPECT_EQ(deliver(9999, std::string(800, '\0')).out, "") << "another code is not answered";
}

TEST_F(StatusReplies, InterfaceFieldsAtTheirOffsetsAndUpToTheirWidth)
{
    Bytes first(320);
    first.text(0, std::string(12, 'i')).i32(12, 5).i32(16, 1).i32(20, 2).i32(24, 3).i32(28, 4).i32(32, 6);
    first.text(36, std::string(24, '1'))
        .text(60, "02:00:00:00:00:01")
        .text(84, "9.9.9.9")
        .text(108, "8.8.8.8");
    first.text(132, "10.0.0.1").text(156, std::string(24, '5')).i32(180, 1500).u8(184, 2);
    first.text(185, std::string(67, '6')).i32(252, 64).text(256, std::string(64, 'g'));
    Bytes reply = first;
    reply.append(Bytes(320).text(0, "eth1").i32(12, 1)).append(Bytes(319)); // the last one is partial

    const Answer answer(deliver(kReplyNetif, reply.str()));
    json_object *list = answer.at("netif");
    ASSERT_EQ(json_object_array_length(list), 2u);
    json_object *netif = json_object_array_get_idx(list, 0);
    EXPECT_EQ(keys_of(netif), (std::vector<std::string>{"ifname", "id", "state", "speedMode", "duplex",
                                                        "enable", "dhcpEnable", "ipAddr", "MAC", "primaryDNS",
                                                        "secondDNS", "gateway", "netmask", "mtu", "ip6mode",
                                                        "ip6address", "ip6prefix", "ip6gateway"}));
    EXPECT_EQ(text_of(netif, "ifname"), std::string(12, 'i'));
    EXPECT_EQ(int_of(netif, "id"), 5);
    EXPECT_EQ(int_of(netif, "dhcpEnable"), 6);
    EXPECT_EQ(text_of(netif, "ipAddr"), std::string(24, '1'));
    EXPECT_EQ(text_of(netif, "MAC"), "02:00:00:00:00:01");
    EXPECT_EQ(text_of(netif, "secondDNS"), "8.8.8.8");
    EXPECT_EQ(text_of(netif, "netmask"), std::string(24, '5'));
    EXPECT_EQ(int_of(netif, "mtu"), 1500);
    EXPECT_EQ(int_of(netif, "ip6mode"), 2);
    EXPECT_EQ(text_of(netif, "ip6address"), std::string(67, '6'));
    EXPECT_EQ(int_of(netif, "ip6prefix"), 64);
    EXPECT_EQ(text_of(netif, "ip6gateway"), std::string(64, 'g'));
    EXPECT_EQ(text_of(json_object_array_get_idx(list, 1), "ifname"), "eth1");

    const Answer none(deliver(kReplyNetif, ""));
    EXPECT_EQ(json_object_array_length(none.at("netif")), 0u);
}

TEST_F(StatusReplies, ThroughputAndOnlineUsers)
{
    const Bytes speed = Bytes(24).text(0, std::string(12, 'e')).i32(12, 1000).i32(16, -5).i32(20, 2);
    EXPECT_EQ(deliver(kReplyNetifSpeed, speed.str()).out,
              std::string(kJsonHead) + R"({ "netif": [ { "id": 2, "ifname": ")" + std::string(12, 'e') +
                  R"(", "RxSpeed": 1000, "TxSpeed": -5 } ] })");

    Bytes users(152);
    users.text(0, std::string(64, 'u')).i32(64, 3).text(68, "192.0.2.1").text(132, std::string(20, 't'));
    users.append(Bytes(151));
    EXPECT_EQ(deliver(kReplyOnlineUsers, users.str()).out,
              std::string(kJsonHead) + R"([ { "userName": ")" + std::string(64, 'u') +
                  R"(", "userLevel": 3, "ipaddr": "192.0.2.1", "loginTime": ")" + std::string(20, 't') +
                  R"(" } ])");
}

TEST_F(StatusReplies, ChannelSupportIsOneCharacterPerRecord)
{
    Bytes reply(64 * 44);
    reply.i32(0 * 44 + 4, 1).i32(0 * 44 + 8, 2);
    reply.i32(1 * 44 + 4, 2).i32(1 * 44 + 8, 3);
    reply.i32(63 * 44 + 4, 1).i32(63 * 44 + 8, 1);
    const Answer answer(deliver(kReplyChannelSupport, reply.str()));
    EXPECT_EQ(text_of(answer.get(), "support"), "1" + std::string(62, '0') + "1");
    EXPECT_EQ(text_of(answer.get(), "type"), "20" + std::string(61, '0') + "1");
}

TEST_F(StatusReplies, CameraStatusUsesRecordsOnlyInRisingChannelOrder)
{
    ASSERT_EQ(add_param_value(ZQDB_PATH, "max_cameras", "4"), 0);
    camera_record camera{};
    camera.id = 1;
    camera.enable = 1;
    std::string(64, 'a').copy(camera.ipAddr, sizeof camera.ipAddr);
    ASSERT_EQ(write_camera(ZQDB_PATH, &camera), 0);

    // Channels 0 and 2, then a record for channel 1 that comes too late.
    const auto status = [](int channel, int width) {
        return Bytes(64)
            .i32(0, width)
            .i32(4, 1080)
            .i32(8, 25)
            .i32(12, 4096)
            .i32(16, 1)
            .i32(20, 2)
            .i32(24, 640)
            .i32(44, 9)
            .i32(48, 1)
            .i32(52, 0)
            .i32(56, channel);
    };
    Bytes reply = status(0, 1920);
    reply.append(status(2, 2560)).append(status(1, 1)).append(Bytes(63));
    const Answer answer(deliver(kReplyCameraStatus, reply.str()));
    json_object *list = answer.at("IPC");
    ASSERT_EQ(json_object_array_length(list), 4u);

    json_object *first = json_object_array_get_idx(list, 0);
    EXPECT_EQ(keys_of(first), (std::vector<std::string>{"id", "name", "enable", "ipAddr", "recordOn",
                                                        "alarmOn", "main", "sub"}));
    EXPECT_EQ(text_of(first, "ipAddr"), "--");
    json_object *main = member(first, "main");
    EXPECT_EQ(keys_of(main),
              (std::vector<std::string>{"res", "framerate", "bitrate", "connection", "connectStatus"}));
    EXPECT_EQ(int_of(member(main, "res"), "width"), 1920);
    EXPECT_EQ(int_of(member(main, "res"), "height"), 1080);
    EXPECT_EQ(int_of(main, "connectStatus"), 2);
    EXPECT_EQ(int_of(member(member(first, "sub"), "res"), "width"), 640);
    EXPECT_EQ(int_of(member(first, "sub"), "connectStatus"), 9);

    json_object *missing = json_object_array_get_idx(list, 1);
    EXPECT_EQ(text_of(missing, "ipAddr"), std::string(64, 'a')) << "a full address field";
    EXPECT_EQ(int_of(missing, "enable"), 1);
    EXPECT_EQ(text_of(missing, "recordOn"), "--");
    EXPECT_EQ(keys_of(member(missing, "sub")),
              (std::vector<std::string>{"res", "framerate", "bitrate", "connection"}));
    EXPECT_EQ(text_of(member(missing, "main"), "res"), "--");

    EXPECT_EQ(int_of(member(member(json_object_array_get_idx(list, 2), "main"), "res"), "width"), 2560);
    EXPECT_TRUE(is_text(json_object_array_get_idx(list, 3), "recordOn"));
}

TEST_F(StatusReplies, AlarmStatusTakesEachChannelsBitsAndHoldsCountsToTheRecords)
{
    ASSERT_EQ(add_param_value(ZQDB_PATH, "max_cameras", "100"), 0);
    ASSERT_EQ(add_param_value(ZQDB_PATH, "alarm_in", "20"), 0);
    ASSERT_EQ(add_param_value(ZQDB_PATH, "alarm_out", "9"), 0);
    alarm_chnin_name_record input{};
    input.chnid = 63;
    input.alarm_id = 3;
    std::string(64, 'n').copy(input.name, sizeof input.name);
    ASSERT_EQ(write_alarm_chnIn_event_name(ZQDB_PATH, &input), 0);
    alarm_chnout_name_record output{};
    output.chnid = 63;
    output.alarm_id = 1;
    output.delay_time = 30;
    snprintf(output.name, sizeof output.name, "siren");
    ASSERT_EQ(write_alarm_chnOut_event_name(ZQDB_PATH, &output), 0);

    const uint64_t last = uint64_t{1} << 63;
    Bytes reply(704);
    reply.u64(0, last).u64(8, 1).i32(16, 0x8).i32(20, 1 << 15);
    const size_t events[] = {24, 32, 40, 48, 56, 64, 72, 80};
    for (size_t index = 0; index < 8; ++index)
        reply.u64(events[index], index % 2 == 0 ? last : 1);
    reply.i32(96 + 8 * 63, 11).i32(100 + 8 * 63, 12);
    reply.u64(608 + 8 * 3, last).u64(656 + 8 * 3, last); // camera input 3: state, type
    reply.u64(640 + 8 * 1, last).u64(688 + 8 * 1, 1);    // camera output 1: state; type on channel 0
    const Answer answer(deliver(kReplyAlarmStatus, reply.str()));
    ASSERT_NE(answer.get(), nullptr);

    json_object *cameras = answer.at("cameras");
    ASSERT_EQ(json_object_array_length(cameras), 64u) << "no more channels than the masks hold";
    json_object *channel = json_object_array_get_idx(cameras, 63);
    const std::vector<std::string> keys = keys_of(channel);
    const std::vector<std::string> head(keys.begin(), keys.begin() + 18);
    EXPECT_EQ(head, (std::vector<std::string>{
                        "id", "name", "ipAddr", "videolossOn", "motionOn", "ioOn", "entrance", "exiting",
                        "advancedMotion", "tampering", "lineCrossing", "loitering", "humanDetection",
                        "objectleftremove", "in", "out", "AlarmInName0", "AlarmInType0"}));
    EXPECT_EQ(keys.size(), 16u + 4 * 3 + 2 * 4);
    EXPECT_EQ(int_of(channel, "id"), 63);
    EXPECT_EQ(int_of(channel, "videolossOn"), 1);
    EXPECT_EQ(int_of(channel, "motionOn"), 0);
    EXPECT_EQ(int_of(channel, "ioOn"), 1);
    EXPECT_EQ(int_of(channel, "entrance"), 1);
    EXPECT_EQ(int_of(channel, "exiting"), 0);
    EXPECT_EQ(int_of(channel, "humanDetection"), 1);
    EXPECT_EQ(int_of(channel, "objectleftremove"), 0);
    EXPECT_EQ(int_of(channel, "in"), 11);
    EXPECT_EQ(int_of(channel, "out"), 12);
    EXPECT_EQ(text_of(channel, "AlarmInName3"), std::string(63, 'n'))
        << "stored names end within their field";
    EXPECT_EQ(int_of(channel, "AlarmInState3"), 1);
    EXPECT_EQ(int_of(channel, "AlarmInType3"), 1);
    EXPECT_EQ(int_of(channel, "AlarmInState2"), 0);
    EXPECT_EQ(text_of(channel, "AlarmOutName1"), "siren");
    EXPECT_EQ(int_of(channel, "AlarmOutDelay1"), 30);
    EXPECT_EQ(int_of(channel, "AlarmOutState1"), 1);
    EXPECT_EQ(int_of(channel, "AlarmOutType1"), 0);
    json_object *zero = json_object_array_get_idx(cameras, 0);
    EXPECT_EQ(int_of(zero, "motionOn"), 1);
    EXPECT_EQ(int_of(zero, "videolossOn"), 0);
    EXPECT_EQ(int_of(zero, "AlarmOutType1"), 1);

    json_object *inputs = answer.at("alarmIn");
    ASSERT_EQ(json_object_array_length(inputs), 16u);
    EXPECT_EQ(int_of(json_object_array_get_idx(inputs, 15), "state"), 1);
    EXPECT_EQ(int_of(json_object_array_get_idx(inputs, 14), "state"), 0);
    json_object *outputs = answer.at("alarmOut");
    ASSERT_EQ(json_object_array_length(outputs), 4u);
    EXPECT_EQ(keys_of(json_object_array_get_idx(outputs, 3)),
              (std::vector<std::string>{"id", "name", "type", "duration", "state"}));
    EXPECT_EQ(int_of(json_object_array_get_idx(outputs, 3), "state"), 1);
    EXPECT_EQ(int_of(json_object_array_get_idx(outputs, 2), "state"), 0);
}

} // namespace
