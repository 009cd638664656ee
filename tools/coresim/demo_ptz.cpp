// PTZ part of the demo device: every online camera is a PTZ dome with four
// presets, one tour and one pattern; commands change that state, so the
// PTZ page reads back what was set. Movements are taken in without reply.
#include <cstdio>
#include <cstring>
#include <map>

#include "demo.h"
#include "modules/ptz/ptz_records.h"

namespace {

// The pattern action that deletes a pattern; the others record or run one.
constexpr int32_t kPatternDelete = 40;

struct DemoPtz {
    ptz_state_record state;
    ptz_basic_setting basic;
};

std::map<int32_t, DemoPtz> g_cameras;

const char *const kPresetNames[] = {"Entrance", "Parking", "Gate", "Lobby"};

void seed(int32_t channel, DemoPtz *ptz)
{
    memset(ptz, 0, sizeof *ptz);
    for (int index = 0; index < 4; ++index) {
        ptz_preset_state &preset = ptz->state.presets[index + 1];
        preset.enable = 1;
        snprintf(preset.name, sizeof preset.name, "%s", kPresetNames[index]);
        ptz_tour_state &tour = ptz->state.tours[0];
        tour.preset_id[index] = index + 1;
        tour.timeout[index] = 10;
        tour.speed[index] = 5;
    }
    ptz->state.pattern_enable[0] = 1;
    ptz->basic.chnId = channel;
    ptz->basic.presetSpeed = 5;
    ptz->basic.manualSpeed = 5;
    ptz->basic.patrolRecoveryTime = 30;
    ptz->basic.resumeTime = 60;
}

// The PTZ state of an online camera's channel; null for any other.
DemoPtz *camera(int32_t channel)
{
    if (channel < 0 || channel >= kPtzChannels || !demo_camera_info(channel).online)
        return nullptr;
    auto found = g_cameras.find(channel);
    if (found == g_cameras.end()) {
        found = g_cameras.emplace(channel, DemoPtz{}).first;
        seed(channel, &found->second);
    }
    return &found->second;
}

bool tour_index(int32_t tour_id, int *index)
{
    *index = tour_id - 1;
    return *index >= 0 && *index < kPtzTours;
}

void reply(Answer &answer, const CoreMessage &request, const std::string &payload)
{
    answer.push_back(AnswerStep::reply(request.code + kPtzReplyOffset, payload));
}

int32_t first_int(const CoreMessage &request)
{
    int32_t value = -1;
    demo_payload_as(request, &value);
    return value;
}

void on_preset(const CoreMessage &request, Answer &)
{
    ptz_cmd_record cmd;
    DemoPtz *ptz = demo_payload_as(request, &cmd) ? camera(cmd.channel) : nullptr;
    if (ptz == nullptr || cmd.action != kPtzActionSetPreset || cmd.preset_id < 0 ||
        cmd.preset_id >= kPtzPresets)
        return;
    ptz_preset_state &preset = ptz->state.presets[cmd.preset_id];
    preset.enable = 1;
    memcpy(preset.name, cmd.name, sizeof preset.name);
    preset.name[sizeof preset.name - 1] = '\0';
}

void on_pattern(const CoreMessage &request, Answer &)
{
    ptz_cmd_record cmd;
    DemoPtz *ptz = demo_payload_as(request, &cmd) ? camera(cmd.channel) : nullptr;
    const int index = cmd.preset_id - 1;
    if (ptz == nullptr || cmd.action == 0 || index < 0 || index >= kPtzPatterns)
        return;
    ptz->state.pattern_enable[index] = cmd.action == kPatternDelete ? 0 : 1;
}

void on_tour_set(const CoreMessage &request, Answer &)
{
    ptz_tour_set sent;
    DemoPtz *ptz = demo_payload_as(request, &sent) ? camera(sent.channel) : nullptr;
    int index = 0;
    if (ptz == nullptr || !tour_index(sent.tour_id, &index))
        return;
    ptz_tour_state &tour = ptz->state.tours[index];
    memset(&tour, 0, sizeof tour);
    for (int point = 0; point < sent.count && point < kPtzTourPoints; ++point) {
        tour.preset_id[point] = sent.points[point].preset;
        tour.timeout[point] = sent.points[point].time;
        tour.speed[point] = sent.points[point].speed;
    }
}

// Clear, run and stop name a tour the same way.
template <int Code> void on_tour_cmd(const CoreMessage &request, Answer &)
{
    ptz_tour_cmd cmd;
    DemoPtz *ptz = demo_payload_as(request, &cmd) ? camera(cmd.channel) : nullptr;
    int index = 0;
    if (ptz == nullptr || !tour_index(cmd.tour_id, &index))
        return;
    if (Code == kMsgPtzTourClear) {
        memset(ptz->state.tours[index].preset_id, 0, sizeof ptz->state.tours[index].preset_id);
        ptz->state.tour_status[0][index] = 0;
    } else {
        ptz->state.tour_status[0][index] = Code == kMsgPtzTourRun ? 1 : 0;
    }
}

void on_state(const CoreMessage &request, Answer &answer)
{
    if (DemoPtz *ptz = camera(first_int(request)))
        reply(answer, request, demo_bytes(&ptz->state, sizeof ptz->state));
}

void on_basic_get(const CoreMessage &request, Answer &answer)
{
    if (DemoPtz *ptz = camera(first_int(request)))
        reply(answer, request, demo_bytes(&ptz->basic, sizeof ptz->basic));
}

void on_basic_set(const CoreMessage &request, Answer &answer)
{
    ptz_basic_setting sent;
    DemoPtz *ptz = demo_payload_as(request, &sent) ? camera(sent.chnId) : nullptr;
    if (ptz != nullptr) {
        ptz->basic = sent;
        ptz->basic.status = 0;
        memset(ptz->basic.channelMask, 0, sizeof ptz->basic.channelMask);
    }
    reply(answer, request, demo_int32s({ptz != nullptr ? 0 : -1}));
}

// Whether a channel's camera has PTZ: 1 when it has, -1 when not. The camera
// pages show the value as it is; the PTZ pages read all but -1 as support.
void on_support(const CoreMessage &request, Answer &answer)
{
    reply(answer, request, demo_int32s({camera(first_int(request)) != nullptr ? 1 : -1}));
}

void on_control(const CoreMessage &request, Answer &answer)
{
    reply(answer, request, demo_int32s({camera(first_int(request)) != nullptr ? 0 : -1}));
}

void on_led(const CoreMessage &request, Answer &answer)
{
    const int32_t channel = first_int(request);
    reply(answer, request, demo_int32s({channel, camera(channel) != nullptr ? 1 : 0}));
}

void ignore(const CoreMessage &, Answer &) {}

// The speed parameter (3226) is a camera page parameter, answered with the
// other camera parameters in demo_camera_image.cpp.
const DemoRow kPtzRows[] = {
    {kMsgPtzCmd, ignore},
    {kMsgPtzPortChanged, ignore},
    {kMsgPtzPreset, on_preset},
    {kMsgPtzPattern, on_pattern},
    {kMsgPtzTourClear, on_tour_cmd<kMsgPtzTourClear>},
    {kMsgPtzTourRun, on_tour_cmd<kMsgPtzTourRun>},
    {kMsgPtzTourStop, on_tour_cmd<kMsgPtzTourStop>},
    {kMsgPtzTourSet, on_tour_set},
    {kMsgPtzPresetCall, ignore},
    {kMsgPtzZoom, ignore},
    {kMsgFishPtzTourSet, ignore},
    {kMsgGetPtzSupport, on_support},
    {kMsgPtzInfo, on_state},
    {kMsgFishPtzInfo, on_state},
    {kMsgPtzBasicGet, on_basic_get},
    {kMsgPtzBasicSet, on_basic_set},
    {kMsgPtzControl, on_control},
    {kMsgPtzLedStatus, on_led},
};

} // namespace

NVR_DEMO_ROWS(kPtzRows)
