// The smart analytics rule replies: every reply too short for its record
// is no reply, texts that fill their field stop there, lines and boxes come
// back on the canvas (at least 1 where the page needs it, 0 for a camera of
// unknown size), and the per-line and column-wise values sit at their
// offsets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modules/video/vca.h"
#include "modules/video/video.h"
#include "reply_support.h"

namespace {

Delivered deliver(int32_t code, const std::string &payload)
{
    return deliver_reply(on_video_ipc_callback, code, payload);
}

std::string position_at(json_object *array, size_t index)
{
    return json_object_get_string(json_object_array_get_idx(array, index));
}

TEST(VcaReplies, ShortRepliesAreNoReplyAndWholeOnesAnswer)
{
    const ReplySize needed[] = {
        {8237, 4480}, {8238, 4480}, {8239, 4480}, {8240, 4480},  {8242, 4480}, {8243, 4480},
        {8268, 4468}, {8241, 612},  {6209, 628},  {8253, 26536}, {8259, 64},   {6211, 356},
        {8257, 12},   {8244, 4},    {8248, 4},    {8254, 4},     {8261, 4},    {6212, 4},
    };
    expect_short_replies_ignored(on_video_ipc_callback, needed, 1);
    EXPECT_EQ(deliver(8244, Bytes(4).i32(0, 3).str()).out, std::string(kTextHead) + "FAILED");
}

TEST(VcaReplies, RuleTextsStopAtTheirFieldAndTheNextFieldFollows)
{
    Bytes rule(4480);
    rule.i32(4, 1).i32(24, 7).text(40, std::string(300, 'r')).i32(340, 12).i32(344, 2);
    rule.text(348, std::string(64, 'x')).text(412, std::string(64, 'y'));
    const Answer motion(deliver(8239, rule.str()));
    ASSERT_NE(motion.get(), nullptr);
    EXPECT_EQ(motion.keys(), (std::vector<std::string>{"region", "enable", "sensitivity", "ignore_time",
                                                       "objtype", "polygonX", "polygonY"}));
    EXPECT_EQ(motion.text("region"), std::string(300, 'r'));
    EXPECT_EQ(motion.num("ignore_time"), 12);
    EXPECT_EQ(motion.num("objtype"), 2);
    EXPECT_EQ(motion.text("polygonX"), std::string(64, 'x'));
    EXPECT_EQ(motion.text("polygonY"), std::string(64, 'y'));

    Bytes left(4468);
    left.i32(4, 3).i32(8, 1).i32(12, 0).i32(16, 25).text(36, std::string(300, 'l'));
    left.text(336, std::string(64, 'p')).text(400, std::string(64, 'q'));
    const Answer removed(deliver(8268, left.str()));
    ASSERT_NE(removed.get(), nullptr);
    EXPECT_EQ(removed.text("region"), std::string(300, 'l'));
    EXPECT_EQ(removed.num("sensitivity"), 3);
    EXPECT_EQ(removed.num("left_enable"), 1);
    EXPECT_EQ(removed.num("min_time"), 25);
    EXPECT_EQ(removed.text("polygonX"), std::string(64, 'p'));
    EXPECT_EQ(removed.text("polygonY"), std::string(64, 'q'));

    const Answer support(deliver(8257, Bytes(12).i32(0, 9).i32(4, 1).i32(8, 6).str()));
    EXPECT_EQ(support.keys(), (std::vector<std::string>{"support", "type"}));
    EXPECT_EQ(support.num("support"), 1);
    EXPECT_EQ(support.num("type"), 6);
}

TEST(VcaReplies, LinesComeBackOnTheCanvasAndUnknownSizeIsZero)
{
    Bytes rule(612);
    rule.i32(4, 1).i32(8, 1920).i32(12, 1080).i32(512, 3);
    rule.i32(16, 960).i32(20, 540).i32(24, 1920).i32(28, 1080).i32(32, 2);
    rule.i32(16 + 3 * 124 + 16, 1); // the last line's direction
    const Answer line(deliver(8241, rule.str()));
    ASSERT_NE(line.get(), nullptr);
    EXPECT_EQ(line.keys(), (std::vector<std::string>{"line", "enable", "width", "height", "objtype"}));
    json_object *lines = line.at("line");
    ASSERT_EQ(json_object_array_length(lines), 4u);
    EXPECT_EQ(json_text_at(json_object_array_get_idx(lines, 0), "position"), "230;130;460;260");
    EXPECT_EQ(json_int_at(json_object_array_get_idx(lines, 0), "direction"), 2);
    EXPECT_EQ(json_text_at(json_object_array_get_idx(lines, 3), "position"), "0;0;0;0");
    EXPECT_EQ(json_int_at(json_object_array_get_idx(lines, 3), "direction"), 1);
    EXPECT_EQ(line.num("objtype"), 3);

    rule.i32(8, 0);
    const Answer unknown(deliver(8241, rule.str()));
    EXPECT_EQ(json_text_at(json_object_array_get_idx(unknown.at("line"), 0), "position"), "0;0;0;0");

    // Second generation: each line's sub-lines, converted alike.
    Bytes rule2(628);
    rule2.i32(8, 1920).i32(12, 1080).i32(16 + 124 + 20, 1);
    rule2.i32(16 + 124 + 24 + 4 * 16, 1920).i32(16 + 124 + 24 + 4 * 16 + 4, 1080);
    rule2.i32(588, 1).i32(592, 2);
    const Answer second(deliver(6209, rule2.str()));
    ASSERT_NE(second.get(), nullptr);
    json_object *line1 = json_object_array_get_idx(second.at("line"), 1);
    EXPECT_EQ(json_int_at(line1, "enable"), 1);
    json_object *subs = json_at(line1, "subLines");
    ASSERT_EQ(json_object_array_length(subs), 5u);
    EXPECT_EQ(position_at(subs, 4), "460;260;0;0");
    EXPECT_EQ(second.num("lineType"), 1);
    EXPECT_EQ(second.num("lineScene"), 2);
}

TEST(VcaReplies, PeopleCountingPositionsAreAtLeastOneAndLineBytesAreSigned)
{
    Bytes rule(26536);
    rule.i32(4, 1920).i32(8, 1080).i32(32, 8);
    const size_t line3 = 64 + 3 * 56;
    rule.u8(line3, 1).u8(line3 + 1, 1).u8(line3 + 2, 0xff).u8(line3 + 3, 1);
    rule.i32(line3 + 4, 960).i32(line3 + 8, 540).i32(line3 + 12, 1920).i32(line3 + 16, 1080);
    rule.i32(line3 + 20, 6).i32(line3 + 32, 59);
    const Answer people(deliver(8253, rule.str()));
    ASSERT_NE(people.get(), nullptr);
    EXPECT_EQ(people.keys(), (std::vector<std::string>{"width",           "height",           "osdEnable",
                                                       "osdFontSize",     "osdTextPos",       "osdType",
                                                       "sensitivity",     "lineNum",          "lineEnable",
                                                       "autoResetEnable", "direction",        "showCntEnable",
                                                       "startX",          "startY",           "stopX",
                                                       "stopY",           "autoResetWeekday", "autoResetHour",
                                                       "autoResetMin",    "autoResetSec",     "position"}));
    EXPECT_EQ(people.num("lineNum"), 8);
    EXPECT_EQ(json_object_get_int(json_object_array_get_idx(people.at("direction"), 3)), -1);
    EXPECT_EQ(json_object_get_int(json_object_array_get_idx(people.at("lineEnable"), 3)), 1);
    EXPECT_EQ(json_object_get_int(json_object_array_get_idx(people.at("stopX"), 3)), 1920)
        << "the per-line arrays carry camera values";
    EXPECT_EQ(json_object_get_int(json_object_array_get_idx(people.at("autoResetWeekday"), 3)), 6);
    EXPECT_EQ(json_object_get_int(json_object_array_get_idx(people.at("autoResetSec"), 3)), 59);
    json_object *positions = people.at("position");
    ASSERT_EQ(json_object_array_length(positions), 4u);
    EXPECT_EQ(position_at(positions, 3), "230;130;460;260");
    EXPECT_EQ(position_at(positions, 0), "1;1;1;1");

    rule.i32(8, 0);
    EXPECT_EQ(position_at(Answer(deliver(8253, rule.str())).at("position"), 3), "1;1;1;1");
}

TEST(VcaReplies, SettingsBoxesOnTheCanvasOneRowOrEightColumns)
{
    Bytes settings(64);
    settings.i32(0, 4).i32(4, 2).i32(8, 25).i32(12, 1).i32(24, 1920).i32(28, 1080);
    settings.i32(32, 0).i32(36, 540).i32(40, 0).i32(44, 1080).i32(48, 1920);
    const Answer one(deliver(8259, settings.str()));
    ASSERT_NE(one.get(), nullptr);
    EXPECT_EQ(one.keys(), (std::vector<std::string>{"fps", "mode", "installation", "analysis", "width",
                                                    "height", "vcaType", "position"}));
    EXPECT_EQ(one.num("fps"), 25);
    EXPECT_EQ(one.num("vcaType"), 2);
    json_object *boxes = one.at("position");
    ASSERT_EQ(json_object_array_length(boxes), 1u);
    json_object *box = json_object_array_get_idx(boxes, 0);
    EXPECT_EQ(json_keys(box), (std::vector<std::string>{"minStartX", "minStartY", "minWidth", "minHeight",
                                                        "maxStartX", "maxStartY", "maxWidth", "maxHeight"}));
    EXPECT_EQ(json_int_at(box, "minStartX"), 1) << "a start value is at least 1";
    EXPECT_EQ(json_int_at(box, "minStartY"), 130);
    EXPECT_EQ(json_int_at(box, "minWidth"), 0) << "a size may be 0";
    EXPECT_EQ(json_int_at(box, "minHeight"), 260);
    EXPECT_EQ(json_int_at(box, "maxStartX"), 460);

    // Eight minStartX, then eight minStartY ...: set 7 of each column.
    Bytes second(356);
    second.i32(24, 1920).i32(28, 1080);
    for (int column = 0; column < 8; ++column)
        second.i32(32 + (column * 8 + 7) * 4, column % 2 == 0 ? 1920 : 1080);
    second.text(288, std::string(65, '1'));
    const Answer eight(deliver(6211, second.str()));
    ASSERT_NE(eight.get(), nullptr);
    json_object *sets = eight.at("position");
    ASSERT_EQ(json_object_array_length(sets), 8u);
    json_object *last = json_object_array_get_idx(sets, 7);
    for (const char *key : {"minStartX", "minWidth", "maxStartX", "maxWidth"})
        EXPECT_EQ(json_int_at(last, key), 460) << key;
    for (const char *key : {"minStartY", "minHeight", "maxStartY", "maxHeight"})
        EXPECT_EQ(json_int_at(last, key), 260) << key;
    EXPECT_EQ(json_int_at(last, "width"), 1920);
    EXPECT_EQ(json_int_at(last, "height"), 1080);
    json_object *first = json_object_array_get_idx(sets, 0);
    EXPECT_EQ(json_int_at(first, "minStartX"), 1);
    EXPECT_EQ(json_int_at(first, "maxWidth"), 0);
}

} // namespace
