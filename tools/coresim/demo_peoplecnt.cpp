// People counting, POS, report backup and face detection part of the demo
// device: the recorder takes every change the pages announce, keeps the
// count resets and the face settings each camera was last given, and
// answers each with success.
#include <map>
#include <string>

#include "demo.h"
#include "modules/camera/camera_records.h"
#include "modules/camera/peoplecnt_records.h"

namespace {

constexpr int32_t kResOk = 0;
constexpr int32_t kResFailed = -1;

// The last face settings each channel was sent, and the resets each group had.
std::map<int32_t, std::string> g_face_settings;
std::map<int32_t, int> g_group_resets;

void reply_res(const CoreMessage &request, Answer &answer, int32_t res)
{
    answer.push_back(AnswerStep::reply(request.code + kReplyOffset, demo_int32s({res})));
}

// Announcements that carry a group, POS or face channel, and those that
// carry nothing: taken as they come.
void changed(const CoreMessage &request, Answer &answer) { reply_res(request, answer, kResOk); }

void group_reset(const CoreMessage &request, Answer &answer)
{
    int32_t group = -1;
    if (!demo_payload_as(request, &group) || group < 0 || group >= kPeopleCntGroups)
        return reply_res(request, answer, kResFailed);
    ++g_group_resets[group];
    reply_res(request, answer, kResOk);
}

void report_backup_changed(const CoreMessage &request, Answer &answer)
{
    answer.push_back(AnswerStep::reply(request.code + kReplyOffset, std::string()));
}

void face_settings(const CoreMessage &request, Answer &answer)
{
    int32_t slots[2] = {};
    if (request.payload.size() != kFaceConfigSize || !demo_payload_as(request, &slots) || slots[1] < 0 ||
        slots[1] >= kFaceChannels)
        return reply_res(request, answer, kResFailed);
    g_face_settings[slots[1]] = request.payload;
    reply_res(request, answer, kResOk);
}

const DemoRow kPeopleCntRows[] = {
    {kMsgPosChanged, changed},
    {kMsgReportBackupChanged, report_backup_changed},
    {kMsgPeopleCntChanged, changed},
    {kMsgPeopleCntDbReset, group_reset},
    {kMsgPeopleCntLiveviewReset, group_reset},
    {kMsgPeopleCntActionChanged, changed},
    {kMsgSetFaceConfig, face_settings},
    {kMsgFaceActionChanged, changed},
};

} // namespace

NVR_DEMO_ROWS(kPeopleCntRows)
