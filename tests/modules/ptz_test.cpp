// The PTZ module's reply callback on replies of every size: a reply too
// short for its decoder is no reply, whatever the code, and fixed text
// fields are read up to their width.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/ipc.h"
#include "modules/ptz/ptz.h"
#include "modules/ptz/ptz_records.h"
#include "reply_support.h"

namespace {

Delivered deliver(int32_t code, const std::string &payload)
{
    return deliver_reply(on_ptz_ipc_callback, code, payload);
}

const ReplySize kNeeded[] = {
    {kReplyPtzSupport, 4},   {kReplyPtzBasicGet, sizeof(ptz_basic_setting)},
    {kReplyPtzBasicSet, 4},  {kReplyPtzControl, 4},
    {kReplyPtzLedStatus, 8},
};

TEST(PtzReplies, ShortRepliesAreNoReplyAndWholeOnesAnswer)
{
    expect_short_replies_ignored(on_ptz_ipc_callback, kNeeded, 1);
}

TEST(PtzReplies, StateTooShortIsErrorAndNamesStopAtTheirField)
{
    EXPECT_EQ(deliver(kReplyPtzInfo, std::string(sizeof(ptz_state_record) - 1, '\x7f')).out,
              "Content-type: application/json\r\n\r\n{ \"status\": \"Error\" }");
    ptz_state_record state{};
    state.presets[0].enable = 1;
    memset(state.presets[0].name, 'A', sizeof state.presets[0].name);
    state.presets[1].enable = 7;
    // A tour runs to its first point without a preset, at most 48 points.
    for (int32_t &preset : state.tours[7].preset_id)
        preset = 2;
    const std::string bytes(reinterpret_cast<const char *>(&state), sizeof state);
    const Delivered answer = deliver(kReplyFishPtzInfo, bytes);
    EXPECT_EQ(answer.done, 1);
    EXPECT_NE(
        answer.out.find("{ \"enable\": 1, \"name\": \"" + std::string(32, 'A') + "\" }, { \"enable\": 7"),
        std::string::npos);
    size_t points = 0;
    for (size_t at = answer.out.find("\"preset_id\": 2"); at != std::string::npos;
         at = answer.out.find("\"preset_id\": 2", at + 1))
        ++points;
    EXPECT_EQ(points, 48u);
}

TEST(PtzReplies, CameraParameterReplyIsOkAndOtherCodesAreIgnored)
{
    EXPECT_EQ(deliver(kReplyPtzSpeedParam, "").out, "Content-type: text/plain\r\n\r\nOK");
    const Delivered other = deliver(8225, std::string(392, '\0'));
    EXPECT_EQ(other.out, "");
    EXPECT_EQ(other.done, 0);
}

} // namespace
