// Camera feature part of the demo device: the cameras' models, chip code
// and motion, watermark, event stream and auto tracking settings, the
// audio of the one camera with a microphone, custom parameters, and camera
// firmware upgrades that advance by a tenth a second until they complete.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "codecs/channel_mask.h"
#include "demo.h"
#include "modules/camera/camera_feature_records.h"
#include "modules/camera/camera_records.h"
#include "platform/sysutil/nvr_path.h"

namespace {

constexpr int32_t kResOk = 0;
constexpr int32_t kResFailed = -1;
// The camera with a microphone and a speaker, and the one with PTZ.
constexpr int32_t kAudioChannel = 0;
constexpr int32_t kPtzChannel = 0;
constexpr const char *kChipCode = "C3516EV300";
constexpr int kUpgradeSteps = 10; // one per 100 ms

bool channel_ok(int32_t chnid) { return chnid >= 0 && chnid < kCameraChannels; }

int32_t request_channel(const CoreMessage &request)
{
    int32_t chnid = -1;
    return demo_payload_as(request, &chnid) ? chnid : -1;
}

void reply(Answer &answer, const CoreMessage &request, const std::string &payload)
{
    answer.push_back(AnswerStep::reply(request.code + kReplyOffset, payload));
}

template <typename T> void reply_record(Answer &answer, const CoreMessage &request, const T &record)
{
    reply(answer, request, demo_bytes(&record, sizeof record));
}

void copy_text(char *field, size_t size, const char *text) { snprintf(field, size, "%s", text); }

// ---- Models ------------------------------------------------------------------

ipc_model_entry model_entry(int32_t chnid)
{
    ipc_model_entry entry{};
    entry.chnid = chnid;
    const DemoCameraInfo camera = demo_camera_info(chnid);
    if (camera.online) {
        copy_text(entry.ipaddr, sizeof entry.ipaddr, camera.ipAddr);
        copy_text(entry.model, sizeof entry.model, camera.model);
        copy_text(entry.fwversion, sizeof entry.fwversion, camera.fwVersion);
    }
    return entry;
}

void channels_model(const CoreMessage &request, Answer &answer)
{
    std::string payload;
    for (int32_t chnid = 0; chnid < kCameraChannels; ++chnid) {
        const ipc_model_entry entry = model_entry(chnid);
        payload += demo_bytes(&entry, sizeof entry);
    }
    reply(answer, request, payload);
}

void ipc_type(const CoreMessage &request, Answer &answer)
{
    reply_record(answer, request, model_entry(request_channel(request)));
}

void chip_code(const CoreMessage &request, Answer &answer)
{
    reply(answer, request, std::string(kChipCode) + '\0');
}

// The free-form command's answer: a 16-byte head, then the text.
void camera_command(const CoreMessage &request, Answer &answer)
{
    char command[kCameraCommandSize + 1] = {};
    memcpy(command, request.payload.data(), std::min(request.payload.size(), kCameraCommandSize));
    command[kCameraCommandSize] = '\0';
    const std::string text = "accepted: " + std::string(command);
    reply(answer, request, std::string(16, '\0') + text + '\0');
}

void motion_status(const CoreMessage &request, Answer &answer)
{
    // The front door camera sees someone on even seconds.
    const bool moving = time(nullptr) % 2 == 0 && demo_camera_info(0).online;
    reply(answer, request, demo_int32s({moving ? 1 : 0, 0}));
}

// ---- Watermark, event stream, night mode, auto tracking --------------------------

struct CameraFeatures {
    ipc_watermark_info watermark;
    int32_t event_stream[6];
    ipc_auto_tracking_info tracking;
    ipc_audio_config audio;
};
std::map<int32_t, CameraFeatures> g_features; // by channel

void default_tracking(int32_t chnid, ipc_auto_tracking_info *tracking)
{
    tracking->params = {chnid, 0, 1, 5, 30, 0, 1, 4};
    for (int day = 0; day < 7; ++day) {
        schedule_section &section = tracking->schedule.days[day].sections[0];
        copy_text(section.start_time, sizeof section.start_time, "00:00");
        copy_text(section.end_time, sizeof section.end_time, "23:59");
        section.action_type = 1;
    }
    copy_text(tracking->tail.area, sizeof tracking->tail.area, "0,0,704,576");
    tracking->tail.humanVehicleSupport = 1;
    tracking->tail.trackingObject = 1;
    tracking->tail.reportMotion = 1;
}

CameraFeatures &features(int32_t chnid)
{
    auto found = g_features.find(chnid);
    if (found != g_features.end())
        return found->second;
    CameraFeatures &made = g_features[chnid];
    memset(&made, 0, sizeof made);
    made.watermark.chnid = chnid;
    copy_text(made.watermark.watermark, sizeof made.watermark.watermark, "NVR-DEMO");
    const int32_t stream[6] = {chnid, 0, 1, 15, 2048, 30};
    memcpy(made.event_stream, stream, sizeof stream);
    default_tracking(chnid, &made.tracking);
    made.audio = {chnid, 1, 0, 1, 0, 8000, 50, 0, 1, 80, 64};
    return made;
}

void get_watermark(const CoreMessage &request, Answer &answer)
{
    const int32_t chnid = request_channel(request);
    if (channel_ok(chnid))
        reply_record(answer, request, features(chnid).watermark);
}

void set_watermark(const CoreMessage &request, Answer &answer)
{
    ipc_watermark_setting setting;
    if (!demo_payload_as(request, &setting) || !channel_ok(setting.info.chnid))
        return;
    setting.copy[sizeof setting.copy - 1] = '\0';
    const uint64_t copies = channel_mask_from_text(setting.copy);
    for (int32_t chnid = 0; chnid < kCameraChannels; ++chnid) {
        if ((copies >> chnid & 1u) == 0)
            continue;
        ipc_watermark_info &mark = features(chnid).watermark;
        mark.enable = setting.info.enable;
        memcpy(mark.watermark, setting.info.watermark, sizeof mark.watermark);
    }
    reply(answer, request, demo_int32s({kResOk}));
}

void get_event_stream(const CoreMessage &request, Answer &answer)
{
    const int32_t chnid = request_channel(request);
    if (channel_ok(chnid))
        reply(answer, request, demo_bytes(features(chnid).event_stream, sizeof features(chnid).event_stream));
}

void set_event_stream(const CoreMessage &request, Answer &answer)
{
    int32_t values[6];
    if (!demo_payload_as(request, &values) || !channel_ok(values[0]))
        return;
    memcpy(features(values[0]).event_stream, values, sizeof values);
    reply(answer, request, demo_int32s({kResOk}));
}

void night_mode(const CoreMessage &request, Answer &answer)
{
    const int32_t chnid = request_channel(request);
    reply(answer, request, demo_int32s({chnid, 1}));
}

void get_tracking(const CoreMessage &request, Answer &answer)
{
    const int32_t chnid = request_channel(request);
    if (channel_ok(chnid))
        reply_record(answer, request, features(chnid).tracking);
}

void set_tracking(const CoreMessage &request, Answer &answer)
{
    static ipc_auto_tracking_setting setting;
    if (!demo_payload_as(request, &setting))
        return;
    const uint64_t mask = channel_mask_of(setting.mask[0], setting.mask[1]);
    for (int32_t chnid = 0; chnid < kCameraChannels; ++chnid) {
        if ((mask >> chnid & 1u) == 0)
            continue;
        ipc_auto_tracking_info &tracking = features(chnid).tracking;
        tracking.params = setting.info.params;
        tracking.params.chnid = chnid;
        tracking.schedule = setting.info.schedule;
        tracking.tail = setting.info.tail;
    }
    reply(answer, request, demo_int32s({kResOk}));
}

// ---- Audio, system information, custom parameters --------------------------------

bool has_audio(int32_t chnid) { return chnid == kAudioChannel && demo_camera_info(chnid).online; }

void add_rate(ipc_audio_option *option, int32_t value, std::initializer_list<int32_t> bitrates)
{
    ipc_audio_rate &rate = option->rates[option->rate_count++];
    rate.value = value;
    for (int32_t bitrate : bitrates)
        rate.bitrates[rate.bitrate_count++] = bitrate;
}

void get_audio(const CoreMessage &request, Answer &answer)
{
    const int32_t chnid = request_channel(request);
    if (!channel_ok(chnid))
        return;
    static ipc_audio_info info;
    memset(&info, 0, sizeof info);
    info.config = features(chnid).audio;
    if (has_audio(chnid)) {
        info.support = 1;
        info.supportMode = 3;
        info.supportInputMode = 1;
        info.option_count = 3;
        info.options[0].encodeValue = 0; // G.711 A-law
        add_rate(&info.options[0], 8000, {64});
        info.options[1].encodeValue = 1; // G.711 u-law
        add_rate(&info.options[1], 8000, {64});
        info.options[2].encodeValue = 2; // AAC
        add_rate(&info.options[2], 8000, {16, 32});
        add_rate(&info.options[2], 16000, {32, 48, 64});
    }
    reply_record(answer, request, info);
}

void set_audio(const CoreMessage &request, Answer &answer)
{
    ipc_audio_setting setting;
    if (!demo_payload_as(request, &setting))
        return;
    const uint64_t mask = channel_mask_of(setting.mask[0], setting.mask[1]);
    bool ok = mask != 0;
    for (int32_t chnid = 0; chnid < kCameraChannels; ++chnid) {
        if ((mask >> chnid & 1u) == 0)
            continue;
        if (!has_audio(chnid)) {
            ok = false;
            continue;
        }
        ipc_audio_config &audio = features(chnid).audio;
        const int32_t own = audio.chnid;
        audio = setting.config;
        audio.chnid = own;
    }
    reply(answer, request, demo_int32s({ok ? kResOk : 1}));
}

void system_info(const CoreMessage &request, Answer &answer)
{
    const int32_t chnid = request_channel(request);
    const int32_t audio = has_audio(chnid) ? 1 : 0;
    std::string payload =
        demo_int32s({kResOk, audio, audio ? 3 : 0, audio, audio, chnid == kPtzChannel ? 1 : 0});
    payload.resize(880, '\0');
    reply(answer, request, payload);
}

void custom_param(const CoreMessage &request, Answer &answer)
{
    ipc_custom_param_query query;
    if (!demo_payload_as(request, &query))
        return;
    query.url[sizeof query.url - 1] = '\0';
    ipc_custom_param_info info{};
    info.chnid = query.chnid;
    info.res = demo_camera_info(query.chnid).online ? kResOk : kResFailed;
    if (info.res == kResOk)
        snprintf(info.data, sizeof info.data, "url=%s&brightness=50&contrast=50", query.url);
    reply_record(answer, request, info);
}

// ---- Firmware upgrades -------------------------------------------------------------

struct Upgrade {
    uint64_t mask = 0;
    std::chrono::steady_clock::time_point started;
};
Upgrade g_upgrade;

ipc_upgrade_state upgrade_state()
{
    ipc_upgrade_state state{};
    state.mask[0] = channel_mask_low(g_upgrade.mask);
    state.mask[1] = channel_mask_high(g_upgrade.mask);
    const auto elapsed = std::chrono::steady_clock::now() - g_upgrade.started;
    const long steps = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() / 100;
    const int32_t percent = steps >= kUpgradeSteps ? 100 : static_cast<int32_t>(steps * 100 / kUpgradeSteps);
    for (int index = 0; index < kUpgradeChannels; ++index)
        if (g_upgrade.mask >> index & 1u)
            state.status[index] = percent;
    return state;
}

void start_upgrade(uint64_t mask)
{
    g_upgrade.mask = mask;
    g_upgrade.started = std::chrono::steady_clock::now();
}

void upgrade_by_file(const CoreMessage &request, Answer &answer)
{
    ipc_upgrade_request upgrade;
    if (!demo_payload_as(request, &upgrade))
        return;
    const bool image = access(NvrPath(kCameraFirmwarePath).c_str(), R_OK) == 0;
    const uint64_t mask = channel_mask_of(upgrade.mask[0], upgrade.mask[1]);
    if (image && mask != 0)
        start_upgrade(mask);
    reply(answer, request, demo_int32s({image && mask != 0 ? kResOk : kResFailed}));
}

void upgrade_by_url(const CoreMessage &request, Answer &answer)
{
    ipc_upgrade_request upgrade;
    if (!demo_payload_as(request, &upgrade))
        return;
    start_upgrade(channel_mask_of(upgrade.mask[0], upgrade.mask[1]));
    reply_record(answer, request, upgrade_state());
}

void upgrade_status(const CoreMessage &request, Answer &answer)
{
    reply_record(answer, request, upgrade_state());
}

void stop_upgrade(const CoreMessage &, Answer &) { g_upgrade.mask = 0; }

const DemoRow kCameraFeatureRows[] = {
    {kMsgGetChannelsModel, channels_model}, {kMsgGetIpcType, ipc_type},
    {kMsgGetChipCode, chip_code},           {kMsgCameraCommand, camera_command},
    {kMsgGetMotionStatus, motion_status},   {kMsgGetWatermark, get_watermark},
    {kMsgSetWatermark, set_watermark},      {kMsgGetEventStream, get_event_stream},
    {kMsgSetEventStream, set_event_stream}, {kMsgGetLprNightMode, night_mode},
    {kMsgGetAutoTracking, get_tracking},    {kMsgSetAutoTracking, set_tracking},
    {kMsgGetAudioInfo, get_audio},          {kMsgSetAudioInfo, set_audio},
    {kMsgGetSystemInfo, system_info},       {kMsgGetCustomParam, custom_param},
    {kMsgUpgradeByFile, upgrade_by_file},   {kMsgUpgradeByUrl, upgrade_by_url},
    {kMsgUpgradeStatus, upgrade_status},    {kMsgStopUpgrade, stop_upgrade},
};

} // namespace

NVR_DEMO_ROWS(kCameraFeatureRows)
