// Adding and changing cameras: what a request stores comes back unchanged
// (or cut to its field) through the detail page, under the request's own
// channel up to 63, and the notifications and the operation log carry the
// channel, the camera number and the texts cut to their fields.
#include <gtest/gtest.h>
#include <json-c/json.h>

#include <string>

#include "core_exchange.h"
#include "modules/camera/camera.h"
#include "platform/confdb/confdb.h"

namespace {

using CameraEditTest = CoreExchangeTest;

const std::string kHostile = "cam\"1\\';$(reboot)`id`\n<b>";

std::string padded(const std::string &head, size_t size)
{
    return (head + std::string(size, 'z')).substr(0, size);
}

// A camera entry for channel `id` as the browser sends it, each text
// longer than its field.
std::string camera_entry(int id)
{
    json_object *entry = json_object_new_object();
    json_object_object_add(entry, "id", json_object_new_int(id));
    json_object_object_add(entry, "name", json_object_new_string(padded(kHostile, 70).c_str()));
    json_object_object_add(entry, "enable", json_object_new_int(1));
    json_object_object_add(entry, "camProtocol", json_object_new_int(1));
    json_object_object_add(entry, "transmitProtocol", json_object_new_int(3));
    json_object_object_add(entry, "ipAddr",
                           json_object_new_string(padded("10.0.0.9;" + kHostile, 80).c_str()));
    json_object_object_add(entry, "managePort", json_object_new_int(65535));
    json_object_object_add(entry, "userName", json_object_new_string(padded("admin" + kHostile, 90).c_str()));
    json_object_object_add(entry, "password", json_object_new_string(std::string(64, 'p').c_str()));
    json_object_object_add(entry, "syncTime", json_object_new_int(1));
    json_object_object_add(entry, "mainRtspPort", json_object_new_int(554));
    json_object_object_add(entry, "mainSourcePath",
                           json_object_new_string(padded("/../" + kHostile, 300).c_str()));
    json_object_object_add(entry, "poechannel", json_object_new_int(2));
    json_object_object_add(entry, "physicalport", json_object_new_int(3));
    json_object_object_add(entry, "otherPoe", json_object_new_int(1));
    std::string text = json_object_to_json_string_ext(entry, JSON_C_TO_STRING_PLAIN);
    json_object_put(entry);
    return text;
}

TEST_F(CameraEditTest, AddedCameraReadsBackWithItsTextsCutToTheirFields)
{
    const Exchange added = exchange(root_, on_add_ipc, camera_entry(15), 3);
    EXPECT_EQ(added.out, text_answer("OK"));
    ASSERT_EQ(added.frames.size(), 3u);
    EXPECT_EQ(added.frames[0].fields.code, 1201);
    EXPECT_EQ(added.frames[0].payload, Bytes(4).i32(0, 15).str());
    EXPECT_EQ(added.frames[1].fields.code, 1206);
    EXPECT_EQ(added.frames[1].payload, Bytes(8).i32(0, 15).i32(4, 1).str());

    // The operation log: sub type 210, parameter 901, camera number 16,
    // and the 176-byte detail block after its kind and length.
    const std::string &log = added.frames[2].payload;
    EXPECT_EQ(added.frames[2].fields.code, 3485);
    ASSERT_EQ(log.size(), 672u);
    EXPECT_EQ(int32_at(log, 8), 210);
    EXPECT_EQ(int32_at(log, 24), 901);
    EXPECT_EQ(int32_at(log, 32), 16);
    EXPECT_EQ(log.substr(152, 8 + 176), Bytes(8 + 176)
                                            .i32(0, 111)
                                            .i32(4, 176)
                                            .i32(8, 901)
                                            .text(12, padded("10.0.0.9;" + kHostile, 63))
                                            .i32(76, 65535)
                                            .i32(80, 16)
                                            .text(148, "RTSP")
                                            .text(164, "RTSP Over HTTPS")
                                            .u8(180, 1)
                                            .str());

    char request[] = R"({"chnid": 15})";
    const Exchange detail = exchange(root_, on_get_ipc_detail, request, 0);
    const Answer answer(Delivered{detail.out, 0});
    ASSERT_NE(answer.get(), nullptr) << detail.out;
    EXPECT_EQ(answer.num("id"), 15);
    EXPECT_EQ(answer.text("name"), padded(kHostile, 63));
    EXPECT_EQ(answer.text("ipAddr"), padded("10.0.0.9;" + kHostile, 63));
    EXPECT_EQ(answer.num("managePort"), 65535);
    EXPECT_EQ(answer.num("model"), 1);
    EXPECT_EQ(answer.text("userName"), padded("admin" + kHostile, 63));
    EXPECT_EQ(answer.text("password"), std::string(63, 'p'));
    EXPECT_EQ(answer.num("transmitProtocol"), 3);
    EXPECT_EQ(answer.num("mainRtspPort"), 554);
    EXPECT_EQ(answer.text("mainSourcePath"), padded("/../" + kHostile, 255));
    EXPECT_EQ(answer.text("mac_addr"), "") << "an absent address is stored as none";
    EXPECT_EQ(answer.num("poechannel"), 2);
    EXPECT_EQ(answer.num("physicalport"), 3);
}

TEST_F(CameraEditTest, ChangesOfTheLastChannelStayOnIt)
{
    const Exchange added = exchange(root_, on_add_ipc, camera_entry(63), 3);
    EXPECT_EQ(added.out, text_answer("OK"));
    EXPECT_TRUE(stored(kRecCamera, 63));
    EXPECT_FALSE(stored(kRecCamera, 0)) << "an unstored channel is not written as channel 0";
    EXPECT_TRUE(stored(kRecOsd, 63));
    EXPECT_FALSE(stored(kRecOsd, 0));

    const std::string user = padded("op\"'\\`$(id)`", 100);
    json_object *change = json_object_new_object();
    json_object_object_add(change, "id", json_object_new_int(63));
    json_object_object_add(change, "userName", json_object_new_string(user.c_str()));
    json_object_object_add(change, "password", json_object_new_string("\n"));
    const Exchange changed = exchange(root_, on_set_ipc_user, json_object_to_json_string(change), 2);
    json_object_put(change);
    EXPECT_EQ(changed.out, text_answer("OK"));
    ASSERT_EQ(changed.frames.size(), 2u);
    EXPECT_EQ(changed.frames[0].fields.code, 1203);
    EXPECT_EQ(changed.frames[0].payload, Bytes(4).i32(0, 63).str());
    EXPECT_EQ(int32_at(changed.frames[1].payload, 32), 64) << "the log names camera 64";

    camera_record camera;
    ASSERT_EQ(read_camera(ZQDB_PATH, &camera, 63), kRecFound);
    EXPECT_EQ(camera.id, 63);
    EXPECT_EQ(std::string(camera.userName), user.substr(0, 63));
    EXPECT_EQ(std::string(camera.password), "\n");
    EXPECT_EQ(std::string(camera.ipAddr), padded("10.0.0.9;" + kHostile, 63)) << "other fields are kept";
    EXPECT_FALSE(stored(kRecCamera, 0));

    // A transport change of channel 63 keeps the credentials just set.
    const Exchange transport = exchange(
        root_, on_set_ipc_transmit, R"({"id": 63, "transmitProtocol": 0, "syncTime": 0, "httpsPort": 1})", 2);
    EXPECT_EQ(transport.out, text_answer("OK"));
    ASSERT_EQ(read_camera(ZQDB_PATH, &camera, 63), kRecFound);
    EXPECT_EQ(camera.httpsPort, 1);
    EXPECT_EQ(std::string(camera.userName), user.substr(0, 63));
}

} // namespace
