// Camera management, image, schedule and region replies: replies too short
// for their record are no reply and bytes past it are not read, the done
// flags the stream change relies on, channel masks at both ends, counts
// that claim more entries than the reply holds, and camera names and texts
// that fill their fields.
#include <gtest/gtest.h>
#include <json-c/json.h>

#include <climits>
#include <string>
#include <vector>

#include "db_support.h"
#include "modules/camera/camera.h"
#include "platform/confdb/confdb.h"
#include "reply_support.h"

namespace {

Delivered deliver(int32_t code, const std::string &payload)
{
    return deliver_reply(on_camera_ipc_callback, code, payload);
}

json_object *item(json_object *list, size_t index) { return json_object_array_get_idx(list, index); }

// The smallest whole reply of each decoder: status replies, the stream
// mask, the month, the stream information, the image records, the image
// schedule, the areas, the three day grids (up to their last entry), the
// motion settings and the network-change results.
const ReplySize kNeeded[] = {
    {8202, 4},     {8227, 4},     {8205, 4},     {8222, 4},     {8224, 4},   {8226, 4},   {8203, 8},
    {8493, 128},   {8204, 556},   {8221, 232},   {8223, 360},   {8225, 392}, {8278, 396}, {8271, 364},
    {8273, 20316}, {8277, 20452}, {8275, 22804}, {8358, 26504}, {8366, 4},   {8230, 8},
};

TEST(CameraReplies, ShortRepliesAreNoReplyAndWholeOnesAnswer)
{
    expect_short_replies_ignored(on_camera_ipc_callback, kNeeded);
    EXPECT_EQ(deliver(8201, "").out, std::string(kJsonHead) + R"({ "IPC": [ ], "maxIPCNums": 32 })");
    EXPECT_EQ(deliver(9999, std::string(4, '\0')).done, 0) << "an unknown reply code is no reply";
}

TEST(CameraReplies, SuccessfulSettingsAndConnectionsLeaveDoneFlagTwo)
{
    struct Case {
        int32_t code;
        int32_t status;
        const char *text;
        int done;
    };
    const Case cases[] = {
        {8202, 0, "OK", 2},          {8227, 4, "OK", 2}, {8202, INT_MIN, "UNKOWNERROR", 1},
        {8227, 3, "UNKOWNERROR", 1}, {8222, 0, "OK", 2}, {8224, -1, "ERROR", 1},
        {8226, 1, "ERROR", 1},       {8372, 0, "OK", 1}, {8372, 2, "ERROR", 1},
    };
    for (const Case &one : cases) {
        const Delivered delivered = deliver(one.code, Bytes(4).i32(0, one.status).str());
        EXPECT_EQ(delivered.out, std::string(kTextHead) + one.text) << one.code << " " << one.status;
        EXPECT_EQ(delivered.done, one.done) << one.code << " " << one.status;
    }
    EXPECT_EQ(deliver(8205, Bytes(4).i32(0, INT_MAX).str()).out,
              std::string(kJsonHead) + R"({"resultString":"ERROR"})");
}

TEST(CameraReplies, ChannelMaskRepliesCoverChannelZeroToSixtyThree)
{
    // Bit 0 of the low word and bit 31 of the high word (channel 63).
    const Answer ends(deliver(8203, Bytes(8).i32(0, 1).i32(4, INT_MIN).str()));
    EXPECT_EQ(ends.text("res"), "1" + std::string(62, '0') + "1");
    const Answer all(deliver(8203, Bytes(8).i32(0, -1).i32(4, -1).str()));
    EXPECT_EQ(all.text("res"), std::string(64, '1'));

    // Day d is set by int32 d + 1, any non-zero value; int32 0 is no day.
    Bytes month(128);
    month.i32(0, 1).i32(4, -7).i32(124, 1);
    std::string flags = "1";
    for (int day = 1; day < 30; ++day)
        flags += ", 0";
    EXPECT_EQ(deliver(8493, month.str()).out, std::string(kJsonHead) + "[ " + flags + ", 1 ]");
}

TEST(CameraReplies, ModifyResultsListOnlyEntriesTheReplyHoldsAndAtMost64)
{
    // Entries of 52 bytes from byte 16; the count at 4 claims more.
    auto reply = [](int32_t count, int entries) {
        Bytes bytes(16 + 52 * static_cast<size_t>(entries));
        bytes.i32(4, count);
        for (int entry = 0; entry < entries; ++entry)
            bytes
                .text(16 + 52 * static_cast<size_t>(entry),
                      std::string(48, static_cast<char>('a' + entry % 26)))
                .i32(16 + 52 * static_cast<size_t>(entry) + 48, entry);
        return bytes.str();
    };
    const Answer past(deliver(8230, reply(9, 3)));
    ASSERT_EQ(json_object_array_length(past.at("IPC")), 3u);
    json_object *last = item(past.at("IPC"), 2);
    EXPECT_EQ(json_text_at(last, "mac"), std::string(48, 'c')) << "a full address stops at its field";
    EXPECT_EQ(json_int_at(last, "result"), 2);

    const Answer many(deliver(8230, reply(INT_MAX, 70)));
    ASSERT_EQ(json_object_array_length(many.at("IPC")), 64u);
    EXPECT_EQ(json_int_at(item(many.at("IPC"), 63), "result"), 63);
}

TEST(CameraReplies, SearchedCameraTextsStopAtTheirFields)
{
    // Every text fills its field; the name (632) is followed by snReal.
    Bytes found(760);
    found.text(0, std::string(32, '1'))
        .text(32, std::string(32, 'm'))
        .text(620, std::string(8, 'n'))
        .text(632, std::string(64, 'N'))
        .text(696, "real");
    Bytes second(760);
    second.text(632, "cam\"2\\\n");
    const Answer answer(deliver(8200, found.append(second).str() + std::string(759, 'x')));
    json_object *list = answer.at("IPC");
    ASSERT_EQ(json_object_array_length(list), 2u) << "a trailing partial record is not listed";
    EXPECT_EQ(json_text_at(item(list, 0), "ipAddr"), std::string(32, '1'));
    EXPECT_EQ(json_text_at(item(list, 0), "macAddr"), std::string(32, 'm'));
    EXPECT_EQ(json_text_at(item(list, 0), "netif"), std::string(8, 'n'));
    EXPECT_EQ(json_text_at(item(list, 0), "name"), std::string(64, 'N'));
    EXPECT_EQ(json_text_at(item(list, 0), "snReal"), "real");
    EXPECT_EQ(json_text_at(item(list, 1), "name"), "cam\"2\\\n")
        << "quotes and controls are escaped, not cut";
    EXPECT_EQ(answer.text("resultString"), "OK");
}

using CameraListReply = DatabaseTest;

TEST_F(CameraListReply, ListedCamerasCarryTheirStoredNamesIntact)
{
    osd_record osd{};
    osd.camId = 63;
    const std::string hostile = "<b>\"x\"</b>\\';$(reboot)`id`\n";
    snprintf(osd.camName, sizeof osd.camName, "%s", hostile.c_str());
    ASSERT_EQ(write_osd(ZQDB_PATH, &osd), 0);
    ASSERT_EQ(add_param_value(ZQDB_PATH, "max_cameras", "64"), 0);

    Bytes record(1040);
    record.i32(0, 63).text(20, std::string(32, '9')).text(976, std::string(64, 'c'));
    const Answer answer(deliver(8201, record.str()));
    ASSERT_EQ(json_object_array_length(answer.at("IPC")), 1u);
    json_object *camera = item(answer.at("IPC"), 0);
    EXPECT_EQ(json_int_at(camera, "id"), 63);
    EXPECT_EQ(json_text_at(camera, "name"), hostile);
    EXPECT_EQ(json_text_at(camera, "ipAddr"), std::string(32, '9'));
    EXPECT_EQ(json_text_at(camera, "chipinfo"), std::string(64, 'c')) << "the last field ends at the record";
    EXPECT_EQ(answer.num("maxIPCNums"), 64);
}

} // namespace
