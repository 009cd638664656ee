// Camera records of the database and the channel lists of requests:
// exposure lists stay under their channel 0..63 and come back whole,
// protocol and model lists stop at the caller's capacity and their names
// at their fields, and channel lists and entry lists never reach past the
// slots the payload has.
#include <gtest/gtest.h>
#include <json-c/json.h>

#include <cstring>
#include <string>

#include "core_exchange.h"
#include "modules/camera/camera.h"
#include "platform/confdb/confdb.h"

namespace {

using CameraDbTest = CoreExchangeTest;

json_object *parsed(const char *text) { return json_tokener_parse(text); }

TEST_F(CameraDbTest, ExposureListsStayUnderChannelsZeroToSixtyThree)
{
    ipc_exposure_list list{};
    list.chnid = 63;
    list.count = kExposureEntries;
    list.entries[kExposureEntries - 1] = {-5, 99};
    ASSERT_EQ(write_exposure(ZQDB_PATH, &list), 0);
    for (const int outside : {64, -1}) {
        list.chnid = outside;
        EXPECT_EQ(write_exposure(ZQDB_PATH, &list), -1) << outside;
        EXPECT_EQ(read_exposure(ZQDB_PATH, &list, outside), -1) << outside;
        EXPECT_EQ(list.count, 0) << "a refused read leaves no stale entries";
    }
    EXPECT_FALSE(stored(kRecIpcExposure, 64));
    EXPECT_EQ(read_exposure(ZQDB_PATH, &list, 62), kRecAbsent);
    ASSERT_EQ(read_exposure(ZQDB_PATH, &list, 63), kRecFound);
    EXPECT_EQ(list.chnid, 63);
    EXPECT_EQ(list.count, kExposureEntries);
    EXPECT_EQ(list.entries[kExposureEntries - 1].exposureTime, -5);
    EXPECT_EQ(list.entries[kExposureEntries - 1].gainLevel, 99);

    // Through the pages: the 141st entry is dropped, the 140th comes back.
    std::string entries;
    for (int entry = 0; entry < 141; ++entry)
        entries += (entry != 0 ? ", " : "") + std::string(R"({"exposureTime": )") + std::to_string(entry) +
                   R"(, "gainLevel": )" + std::to_string(-entry) + "}";
    const Exchange set =
        exchange(root_, on_set_ipc_exposure_list, R"({"channel": 0, "exposure": [)" + entries + "]}", 0);
    EXPECT_EQ(set.out, text_answer("OK"));
    const Exchange get = exchange(root_, on_get_ipc_exposure_list, R"({"channel": 0})", 0);
    const Answer answer(Delivered{get.out, 0});
    ASSERT_EQ(json_object_array_length(answer.at("exposure")), 140u);
    json_object *last = json_object_array_get_idx(answer.at("exposure"), 139);
    EXPECT_EQ(json_int_at(last, "exposureTime"), 139);
    EXPECT_EQ(json_int_at(last, "gainLevel"), -139);
}

TEST_F(CameraDbTest, ProtocolAndModelListsStopAtTheirCapacityAndNamesAtTheirFields)
{
    for (int id = 1; id <= 3; ++id) {
        ipc_protocol_record protocol{};
        protocol.id = id;
        memcpy(protocol.name, std::string(sizeof protocol.name, static_cast<char>('A' + id)).data(),
               sizeof protocol.name);
        protocol.enable = 1;
        ASSERT_EQ(write_ipc_protocol(ZQDB_PATH, &protocol), 0);
    }
    const int model_protocols[] = {1, 3, 1, 1, 2};
    for (int id = 0; id < 5; ++id) {
        ipc_model_record model{};
        model.id = id;
        model.protocol = model_protocols[id];
        memcpy(model.name, std::string(sizeof model.name, static_cast<char>('a' + id)).data(),
               sizeof model.name);
        ASSERT_EQ(confdb_write_record(ZQDB_PATH, kRecIpcModel, id, &model, sizeof model), 0);
    }
    ipc_protocol_record protocols[3]{};
    EXPECT_EQ(read_ipc_protocols(ZQDB_PATH, protocols, 2), 2);
    EXPECT_EQ(protocols[2].id, 0) << "nothing is read past the capacity";
    ipc_model_record models[4]{};
    EXPECT_EQ(read_ipc_models_by_protocol(ZQDB_PATH, 1, models, 2), 2);
    EXPECT_EQ(models[2].id, 0);
    EXPECT_EQ(read_ipc_models_by_protocol(ZQDB_PATH, 1, models, 4), 3);
    EXPECT_EQ(models[2].id, 3);
    EXPECT_EQ(read_ipc_models_by_protocol(ZQDB_PATH, 9, models, 4), 0);

    const Exchange listed = exchange(root_, on_get_ipc_protocols, "", 0);
    const Answer answer(Delivered{listed.out, 0});
    json_object *list = answer.at("protocols");
    ASSERT_EQ(json_object_array_length(list), 3u) << listed.out;
    json_object *second = json_object_array_get_idx(list, 1);
    EXPECT_EQ(json_text_at(second, "name"), std::string(24, 'C')) << "a full name stops at its field";
    json_object *own = json_object_array_get_idx(json_at(second, "models"), 0);
    EXPECT_EQ(json_text_at(own, "name"), std::string(32, 'e'));
    EXPECT_EQ(json_object_array_length(json_at(json_object_array_get_idx(list, 0), "models")), 3u);
}

TEST(CameraRelay, ChannelListsKeepChannelsZeroToSixtyThreeWithinTheirLimit)
{
    int32_t channels[kCameraChannels + 1];
    channels[kCameraChannels] = 12345;
    json_object *mixed = parsed(R"([-1, 0, 64, "x", 63, null, 7])");
    EXPECT_EQ(relay_channel_list(mixed, 4, channels, -1), 1);
    EXPECT_EQ(channels[0], 0);
    EXPECT_EQ(channels[1], -1);
    EXPECT_EQ(channels[kCameraChannels - 1], -1);
    EXPECT_EQ(relay_channel_list(mixed, 100, channels, 0), 3);
    EXPECT_EQ(channels[1], 63);
    EXPECT_EQ(channels[2], 7);
    EXPECT_EQ(channels[3], 0);
    json_object_put(mixed);

    json_object *many = json_object_new_array();
    for (int index = 0; index < 80; ++index)
        json_object_array_add(many, json_object_new_int(index % 64));
    EXPECT_EQ(relay_channel_list(many, 80, channels, -1), kCameraChannels);
    EXPECT_EQ(channels[kCameraChannels - 1], 63);
    EXPECT_EQ(channels[kCameraChannels], 12345) << "nothing is written past the 64 slots";
    json_object_put(many);

    int chnid = -1;
    EXPECT_TRUE(relay_low_chnid(R"({"chnid": 15})", &chnid));
    EXPECT_EQ(chnid, 15);
    EXPECT_FALSE(relay_low_chnid(R"({"chnid": 16})", &chnid));
    EXPECT_FALSE(relay_low_chnid(R"({"chnid": -1})", &chnid));
    EXPECT_FALSE(relay_low_chnid(R"({"chnid": 4294967296})", &chnid));
    EXPECT_FALSE(relay_low_chnid("{", &chnid));
}

TEST_F(CameraDbTest, ImageScheduleBatchFillsOnlyTheSlotsOfItsPayload)
{
    // Eight image entries and eleven effective ranges: the eighth entry
    // would land on hasSche (396), the eleventh past the last range.
    std::string image;
    for (int entry = 0; entry < 8; ++entry)
        image += (entry != 0 ? ", " : "") + std::string(R"({"enable": 1, "startHour": )") +
                 std::to_string(entry + 1) + "}";
    std::string effective;
    for (int range = 0; range < 11; ++range)
        effective += (range != 0 ? ", " : "") + std::string(R"({"startTime": ")") + std::string(40, 'S') +
                     R"(", "endTime": "23:59", "templateId": )" + std::to_string(range + 1) + "}";
    const Exchange sent = exchange(root_, on_set_ipc_image_schedule_batch,
                                   R"({"cnt": 2, "chnid": [63, 64, 1], "hasSche": 0, "image": [)" + image +
                                       R"(], "effective": [)" + effective + "]}",
                                   1);
    EXPECT_EQ(sent.out, text_answer("OK"));
    ASSERT_EQ(sent.frames.size(), 1u) << "only channel 63 of the first two elements is valid";
    const std::string &payload = sent.frames[0].payload;
    ASSERT_EQ(payload.size(), 1084u);
    EXPECT_EQ(int32_at(payload, 0), 63);
    EXPECT_EQ(int32_at(payload, 396), 0) << "the eighth image entry is not taken";
    EXPECT_EQ(payload.substr(400 + 9 * 68, 68),
              Bytes(68).text(0, std::string(31, 'S')).text(32, "23:59").i32(64, 10).str());
    EXPECT_EQ(int32_at(payload, 1080), 0) << "the eleventh range is not taken";
}

} // namespace
