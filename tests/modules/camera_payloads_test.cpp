// Camera requests as the core daemon receives them: hostile and overlong
// texts arrive cut to their fields with the fields after them intact, and
// channel 63 sets the last bit of the copy mask. Event schedules of the
// last channel read back as they were set.
#include <gtest/gtest.h>
#include <json-c/json.h>

#include <string>

#include "core_exchange.h"
#include "modules/camera/camera.h"

namespace {

using CameraPayloadTest = CoreExchangeTest;

const std::string kHostile = "x\";$(reboot)`id`'\\\n../";

std::string long_text(size_t size) { return (kHostile + std::string(size, 'q')).substr(0, size); }

// `text` as a JSON string value.
std::string quoted(const std::string &text)
{
    json_object *value = json_object_new_string(text.c_str());
    std::string out = json_object_to_json_string(value);
    json_object_put(value);
    return out;
}

TEST_F(CameraPayloadTest, TextsReachTheCoreCutToTheirFields)
{
    const Exchange network =
        exchange(root_, on_set_ipc_network,
                 R"({"macAddr": )" + quoted(long_text(60)) + R"(, "oldIpcAddr": "10.0.0.2", "newIpcAddr": )" +
                     quoted(long_text(40)) +
                     R"(, "netmask": "255.255.255.0", "gateway": "10.0.0.1", "primaryDNS": "8.8.8.8",)"
                     R"( "port": 65535, "username": )" +
                     quoted(long_text(80)) + R"(, "password": )" + quoted(long_text(40)) +
                     R"(, "protocol": 7, "netif": "eth0:1;rm"})",
                 1);
    EXPECT_EQ(network.out, std::string(kJsonHead) + R"({"resultString":"OK"})");
    ASSERT_EQ(network.frames.size(), 1u);
    EXPECT_EQ(network.frames[0].fields.code, 3205);
    EXPECT_EQ(network.frames[0].payload, Bytes(388)
                                             .text(0, long_text(47))
                                             .text(48, "10.0.0.2")
                                             .text(80, long_text(31))
                                             .text(112, "255.255.255.0")
                                             .text(144, "10.0.0.1")
                                             .text(176, "8.8.8.8")
                                             .i32(208, 65535)
                                             .text(212, long_text(63))
                                             .text(276, long_text(32))
                                             .i32(312, 7)
                                             .text(380, "eth0:")
                                             .str());

    const Exchange event = exchange(
        root_, on_get_ipc_event_text,
        R"({"chnid": 63, "mainType": -1, "subType": 2, "time": )" + quoted(long_text(100)) + "}", 1, "text");
    EXPECT_EQ(event.out, text_answer("text"));
    ASSERT_EQ(event.frames.size(), 1u);
    EXPECT_EQ(event.frames[0].payload,
              Bytes(76).i32(0, 63).i32(4, -1).i32(8, 2).text(12, long_text(63)).str());

    const Exchange page =
        exchange(root_, on_get_ipc_common_param,
                 R"({"id": 63, "pagename": )" + quoted(long_text(70)) + R"(, "httpname": )" +
                     quoted(long_text(64)) + R"(, "key": )" + quoted(long_text(200)) + "}",
                 1, std::string(392, '\0'));
    ASSERT_EQ(page.frames.size(), 1u);
    EXPECT_EQ(
        page.frames[0].payload,
        Bytes(392).i32(0, 63).text(4, long_text(63)).text(68, long_text(63)).text(132, long_text(127)).str());
}

TEST_F(CameraPayloadTest, MotionSettingsOfChannel63KeepTheMaskWithinItsField)
{
    const Exchange motion =
        exchange(root_, on_set_ipc_motion,
                 R"({"chnid": 63, "enable": 1, "sensitivity": 9, "minsize": 2, "mintime": 3,)"
                 R"( "adaptability": 4, "map_mask": ")" +
                     std::string(400, '1') + R"("})",
                 1, Bytes(4).i32(0, -2).str());
    EXPECT_EQ(motion.out, std::string(kJsonHead) + R"({ "res": -2 })");
    ASSERT_EQ(motion.frames.size(), 1u);
    const std::string &payload = motion.frames[0].payload;
    ASSERT_EQ(payload.size(), 26512u);
    EXPECT_EQ(
        payload.substr(0, 32),
        Bytes(32).i32(4, INT32_MIN).i32(8, 63).i32(12, 1).i32(16, 9).i32(20, 2).i32(24, 3).i32(28, 4).str())
        << "the channel's own bit is bit 63 of the copy mask";
    EXPECT_EQ(payload.substr(32, 300), std::string(299, '1') + '\0');
    EXPECT_EQ(payload.substr(332), std::string(26512 - 332, '\0'))
        << "the schedule after the mask is untouched";
}

TEST_F(CameraPayloadTest, EventSchedulesOfTheLastChannelReadBackAsSet)
{
    // People counting (type 8) on the eighth day's twelfth entry, with a
    // start text longer than its field; the other days stay empty.
    std::string days;
    for (int day = 0; day < 8; ++day) {
        std::string entries;
        for (int entry = 0; entry < 12; ++entry) {
            const bool last = day == 7 && entry == 11;
            entries += std::string(entry != 0 ? ", " : "") +
                       (last ? R"([)" + quoted(long_text(40)) + R"(, "23:59", 6])" : R"(["", "", 0])");
        }
        days += (day != 0 ? ", " : "") + std::string("[") + entries + "]";
    }
    const Exchange set =
        exchange(root_, on_set_ipc_event_schedules,
                 R"({"channel": 63, "start": 8, "end": 8, "schedule_people_counting": [)" + days + "]}", 0);
    EXPECT_EQ(set.out, text_answer("OK"));

    const Exchange get = exchange(root_, on_get_ipc_event_schedules, R"({"channel": 63})", 0);
    const Answer answer(Delivered{get.out, 0});
    ASSERT_NE(answer.get(), nullptr) << get.out;
    json_object *counting = answer.at("schedule_people_counting");
    ASSERT_EQ(json_object_array_length(counting), 8u);
    json_object *entry = json_object_array_get_idx(json_object_array_get_idx(counting, 7), 11);
    EXPECT_EQ(json_text_at(entry, "startTime"), long_text(31));
    EXPECT_EQ(json_text_at(entry, "endTime"), "23:59");
    EXPECT_EQ(json_int_at(entry, "actionType"), 6);
    json_object *unset = json_object_array_get_idx(json_object_array_get_idx(counting, 7), 10);
    EXPECT_EQ(json_text_at(unset, "startTime"), "00:00");
    json_object *motion =
        json_object_array_get_idx(json_object_array_get_idx(answer.at("schedule_motion"), 7), 11);
    EXPECT_EQ(json_text_at(motion, "startTime"), "00:00") << "other types are not written";
}

// Eight days of thirteen entries, each entry [start, end, action, and two
// exposure values], the start naming its day and entry.
std::string crowded_days()
{
    std::string days;
    for (int day = 0; day < 8; ++day) {
        std::string entries;
        for (int entry = 0; entry < 13; ++entry)
            entries += std::string(entry != 0 ? ", " : "") + "[\"" + std::to_string(day) + "-" +
                       std::to_string(entry) + "\", \"23:59\", 1, 2, 3]";
        days += (day != 0 ? ", " : "") + std::string("[") + entries + "]";
    }
    return days;
}

TEST_F(CameraPayloadTest, ScheduleRequestsTakeSevenDaysOfTheirEntriesOnly)
{
    struct Page {
        int (*handler)(char *);
        int32_t code;
        size_t size;
        size_t stride;
        size_t entry;
        size_t entries;
    };
    const Page pages[] = {
        {on_set_ipc_sche10, 3281, 26180, 3272, 68, 10},
        {on_set_ipc_sche12, 3283, 26180, 3272, 68, 12},
        {on_set_ipc_exposure_sche, 3282, 29188, 3648, 76, 12},
    };
    for (const Page &page : pages) {
        const Exchange sent = exchange(
            root_, page.handler, R"({"channel": [63, 64, -1], "schedule": [)" + crowded_days() + "]}", 1);
        EXPECT_EQ(sent.out, text_answer("OK")) << page.code;
        ASSERT_EQ(sent.frames.size(), 1u) << page.code;
        const std::string &payload = sent.frames[0].payload;
        ASSERT_EQ(payload.size(), page.size) << page.code;
        EXPECT_EQ(int32_at(payload, 0), 63) << page.code;
        EXPECT_EQ(int32_at(payload, 4), -1) << page.code << ": channel 64 is not kept";
        const size_t last_day = 256 + 6 * page.stride;
        const size_t last = last_day + (page.entries - 1) * page.entry;
        EXPECT_EQ(payload.substr(last, 32), Bytes(32).text(0, "6-" + std::to_string(page.entries - 1)).str())
            << page.code;
        EXPECT_EQ(int32_at(payload, last + 64), 1) << page.code;
        EXPECT_EQ(payload.substr(last + page.entry, page.entry), std::string(page.entry, '\0'))
            << page.code << ": no entry past the page's own";
        EXPECT_EQ(payload.substr(256 + 7 * page.stride), std::string(page.size - 256 - 7 * page.stride, '\0'))
            << page.code << ": no eighth day";
    }
    // The exposure entries carry their two values after the action.
    const Exchange exposure = exchange(root_, on_set_ipc_exposure_sche,
                                       R"({"channel": [0], "schedule": [)" + crowded_days() + "]}", 1);
    ASSERT_EQ(exposure.frames.size(), 1u);
    EXPECT_EQ(int32_at(exposure.frames[0].payload, 256 + 68), 2);
    EXPECT_EQ(int32_at(exposure.frames[0].payload, 256 + 72), 3);
}

} // namespace
