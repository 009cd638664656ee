// The upgrade resources' reply callback on replies of every size: a reply
// without a whole record answers the JSON error and ends the wait, texts
// that fill their fields are read up to the field's end.
#include <gtest/gtest.h>

#include <json-c/json.h>

#include <cstring>
#include <string>
#include <vector>

#include "codecs/json_util.h"
#include "core/ipc.h"
#include "modules/system/online_upgrade.h"
#include "modules/system/upgrade_records.h"
#include "reply_support.h"

namespace {

constexpr const char *kJsonError = "Content-type: application/json\r\n\r\n{status:\"CGI ERROR\"}";
constexpr const char *kJsonHeader = "Content-type: application/json\r\n\r\n";

Delivered deliver(int32_t code, const std::string &payload)
{
    return deliver_reply(on_upgrade_ipc_callback, code, payload);
}

const ReplySize kAnswered[] = {
    {kReplyCameraUpgradeStart, sizeof(camera_upgrade_result)},
    {kReplyFirmwareDownload, 4},
    {kReplyCameraFirmwareDelete, 4},
    {kReplyFirmwareCheck, sizeof(upgrade_info)},
    {kReplyCameraFirmwareCheck, sizeof(camera_check_reply)},
};

TEST(UpgradeReplies, ShortRepliesAnswerTheJsonErrorAndWholeOnesTheirObject)
{
    for (const ReplySize &needed : kAnswered) {
        for (const size_t size : {size_t{0}, needed.bytes - 1}) {
            const Delivered reply = deliver(needed.code, std::string(size, 'A'));
            EXPECT_EQ(reply.out, kJsonError) << needed.code << " " << size;
            EXPECT_EQ(reply.done, 1) << needed.code;
        }
        const Delivered whole = deliver(needed.code, std::string(needed.bytes, 'A'));
        EXPECT_EQ(whole.done, 1) << needed.code;
        ASSERT_EQ(whole.out.rfind(kJsonHeader, 0), 0U) << needed.code;
        const JsonPtr json(json_tokener_parse(whole.out.c_str() + strlen(kJsonHeader)));
        EXPECT_TRUE(json) << needed.code;
    }
}

TEST(UpgradeReplies, TextsThatFillTheirFieldsEndWithTheField)
{
    const Delivered reply = deliver(kReplyCameraFirmwareCheck, std::string(sizeof(camera_check_reply), 'v'));
    const JsonPtr json(json_tokener_parse(reply.out.c_str() + strlen(kJsonHeader)));
    json_object *list = json_object_object_get(json.get(), "check");
    ASSERT_EQ(json_object_array_length(list), kUpgradeChannelCount);
    json_object *last = json_object_array_get_idx(list, kUpgradeChannelCount - 1);
    EXPECT_EQ(strlen(json_object_get_string(json_object_object_get(last, "softversion"))), 64U);
    EXPECT_EQ(strlen(json_object_get_string(json_object_object_get(last, "url"))), 128U);
    EXPECT_EQ(strlen(json_object_get_string(json_object_object_get(last, "description"))), 128U);
}

TEST(UpgradeChannelMask, LeadingBinaryDigitsOnly)
{
    EXPECT_EQ(upgrade_channel_mask("11x1"), 3U);
    EXPECT_EQ(upgrade_channel_mask("0101"), 10U);
    EXPECT_EQ(upgrade_channel_mask("1 1"), 1U);
    EXPECT_EQ(upgrade_channel_mask(""), 0U);
    EXPECT_EQ(upgrade_channel_mask(nullptr), 0U);
    EXPECT_EQ(upgrade_channel_mask(std::string(63, '0').append("1").c_str()), uint64_t{1} << 63);
    EXPECT_EQ(upgrade_channel_mask(std::string(100, '1').c_str()), ~uint64_t{0});
}

} // namespace
