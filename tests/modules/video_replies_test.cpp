// The OSD, privacy mask and motion map replies of the video module's reply
// callback: replies too short for their record, texts that fill their
// field, counts beyond what the record holds, and several records in one
// reply.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modules/video/video.h"
#include "modules/video/video_osd.h"
#include "reply_support.h"

namespace {

Delivered deliver(int32_t code, const std::string &payload)
{
    return deliver_reply(on_video_ipc_callback, code, payload);
}

constexpr size_t kOsdConfigSize = 848;
constexpr size_t kCameraMaskSize = 2832;
constexpr size_t kMotionMapReplySize = 332;

TEST(VideoReplies, ShortRepliesAreNoReplyAndWholeOnesAnswer)
{
    const ReplySize needed[] = {
        {kReplyGetMotionMap, kMotionMapReplySize},
        {kReplyGetIpcPrivacyMask, kCameraMaskSize},
        {kReplyGetIpcModelType, 4},
        {kReplySetOsdConfig, 4},
    };
    expect_short_replies_ignored(on_video_ipc_callback, needed, 1);
    // The camera OSD query answers the text error at once.
    const Delivered short_osd = deliver(kReplyGetOsdConfig, std::string(kOsdConfigSize - 1, '\x01'));
    EXPECT_EQ(short_osd.out, std::string(kTextHead) + "CGI ERROR");
    EXPECT_EQ(short_osd.done, 1);
}

TEST(VideoReplies, CameraOsdTextsStopAtTheirFieldAndDisconnectedAnswersOnlyThat)
{
    Bytes config(kOsdConfigSize);
    config.i32(0, 2).i32(4, 1).text(8, std::string(256, 'T')).i32(264, 3).i32(268, 1).i32(272, 2);
    config.i32(276, 1).i32(280, 40).i32(284, 1).text(288, std::string(256, 'S')).i32(544, 4);
    config.i32(548, 1).i32(552, 5).i32(556, 2).i32(560, 30).i32(844, 9);
    const Answer answer(deliver(kReplyGetOsdConfig, config.str()));
    ASSERT_NE(answer.get(), nullptr);
    EXPECT_EQ(answer.keys(),
              (std::vector<std::string>{"enable_text", "text_name", "textpos", "enable_date", "datepos",
                                        "dateformat", "enable_text_sub", "text_name_sub", "textpos_sub",
                                        "enable_date_sub", "datepos_sub", "dateformat_sub", "disconnect"}));
    EXPECT_EQ(answer.text("text_name"), std::string(256, 'T'));
    EXPECT_EQ(answer.num("textpos"), 3);
    EXPECT_EQ(answer.num("dateformat"), 1);
    EXPECT_EQ(answer.text("text_name_sub"), std::string(256, 'S'));
    EXPECT_EQ(answer.num("textpos_sub"), 4);
    EXPECT_EQ(answer.num("dateformat_sub"), 2);
    EXPECT_EQ(answer.num("disconnect"), 1);

    EXPECT_EQ(deliver(kReplyGetOsdConfig, Bytes(kOsdConfigSize).i32(0, -1).str()).out,
              std::string(kJsonHead) + R"({ "disconnect": 0 })");
    EXPECT_EQ(deliver(kReplySetOsdConfig, Bytes(4).i32(0, -1).str()).out,
              std::string(kTextHead) + "NO_SUPPORT");
    EXPECT_EQ(deliver(kReplySetOsdConfig, Bytes(4).i32(0, 7).str()).out, std::string(kTextHead) + "ERROR");
}

// One camera's masks, `areas` of them named, with maxMaskSum `claimed`.
Bytes camera_masks(int32_t id, int32_t claimed)
{
    Bytes mask(kCameraMaskSize);
    mask.i32(0, id).i32(4, 1).i32(8, 3).i32(12, 1).text(16, std::string(32, 'v')).i32(48, 8).i32(52, 1);
    mask.text(56, std::string(64, 'c')).i32(2808, 1).i32(2812, 2).i32(2824, 1).i32(2828, claimed);
    for (size_t area = 0; area < 28; ++area) {
        const size_t at = 120 + area * 96;
        mask.i32(at, static_cast<int32_t>(area)).i32(at + 4, 1).i32(at + 8, 10).i32(at + 12, 20);
        mask.i32(at + 16, 30).i32(at + 20, 40).i32(at + 24, 5).i32(at + 28, 2);
        mask.text(at + 32, std::string(64, static_cast<char>('a' + area % 26)));
    }
    return mask;
}

TEST(VideoReplies, CameraPrivacyMasksListEveryWholeRecordAndAtMost28Areas)
{
    Bytes reply = camera_masks(4, 40);
    reply.append(camera_masks(5, -3)).append(Bytes(kCameraMaskSize - 1));
    const Delivered delivered = deliver(kReplyGetIpcPrivacyMask, reply.str());
    EXPECT_EQ(delivered.done, 1);
    const size_t head = std::string(kJsonHead).size();
    ASSERT_EQ(delivered.out.compare(0, head, kJsonHead), 0) << delivered.out;
    json_object *masks = json_tokener_parse(delivered.out.c_str() + head);
    ASSERT_EQ(json_object_array_length(masks), 2u) << "a partial third record is not read";

    json_object *first = json_object_array_get_idx(masks, 0);
    EXPECT_EQ(json_int_at(first, "id"), 4);
    EXPECT_EQ(json_int_at(first, "maxPtzZoomRatio"), 8);
    EXPECT_EQ(json_text_at(first, "sdkversion"), std::string(32, 'v'));
    EXPECT_EQ(json_text_at(first, "colorList"), std::string(64, 'c'));
    EXPECT_EQ(json_int_at(first, "mosaicNum"), 2);
    EXPECT_EQ(json_int_at(first, "maxMaskSum"), 40);
    json_object *areas = json_at(first, "area");
    ASSERT_EQ(json_object_array_length(areas), 28u);
    json_object *last = json_object_array_get_idx(areas, 27);
    EXPECT_EQ(json_keys(last),
              (std::vector<std::string>{"area_id", "enable", "start_x", "start_y", "area_width",
                                        "area_height", "width", "height", "fill_color", "left", "top",
                                        "right", "bottom", "ratio", "name"}));
    EXPECT_EQ(json_int_at(last, "area_id"), 27);
    EXPECT_EQ(json_int_at(last, "width"), 460);
    EXPECT_EQ(json_int_at(last, "height"), 260);
    EXPECT_EQ(json_int_at(last, "left"), 10);
    EXPECT_EQ(json_int_at(last, "top"), 20);
    EXPECT_EQ(json_int_at(last, "right"), 30);
    EXPECT_EQ(json_int_at(last, "bottom"), 40);
    EXPECT_EQ(json_int_at(last, "ratio"), 2);
    EXPECT_EQ(json_text_at(last, "name"), std::string(64, 'b'));

    json_object *second = json_object_array_get_idx(masks, 1);
    EXPECT_EQ(json_int_at(second, "id"), 5);
    EXPECT_EQ(json_object_array_length(json_at(second, "area")), 0u) << "a negative count lists no area";
    json_object_put(masks);
}

TEST(VideoReplies, MotionMapTextStopsAtItsFieldAndFieldsFollowIt)
{
    Bytes map(kMotionMapReplySize);
    map.i32(0, 1).text(4, std::string(300, 'f')).i32(304, 6).i32(308, 2).i32(312, 0).i32(316, 3);
    map.i32(320, 1).i32(324, 2).i32(328, 4);
    const Answer answer(deliver(kReplyGetMotionMap, map.str()));
    ASSERT_NE(answer.get(), nullptr);
    EXPECT_EQ(answer.keys(), (std::vector<std::string>{"map", "sensitivity", "result", "enable", "modelType",
                                                       "fishdisplay", "fishtransfer", "fishinstall"}));
    EXPECT_EQ(answer.text("map"), std::string(300, 'f'));
    EXPECT_EQ(answer.num("sensitivity"), 6);
    EXPECT_EQ(answer.num("enable"), 1);
    EXPECT_EQ(answer.num("modelType"), 3);
    EXPECT_EQ(answer.num("fishdisplay"), 1);
    EXPECT_EQ(answer.num("fishinstall"), 4);
}

} // namespace
