// Alarm part of the demo device: the states of the recorder's 16 alarm
// inputs and 4 outputs, and the alarm inputs and outputs of the cameras
// that have them (a camera that does not answer reports none). Switches,
// types and output states change with the messages the program sends.
#include <cstring>
#include <map>
#include <string>

#include "demo.h"
#include "modules/alarm/alarm_records.h"

namespace {

// Inputs 2 and 7 of the recorder see their contacts closed.
uint32_t g_in_states = 1u << 2 | 1u << 7;
uint32_t g_out_states = 0;

struct CameraAlarms {
    int32_t in_enable[kCameraAlarmInputs];
    int32_t in_type[kCameraAlarmInputs];
    int32_t in_status[kCameraAlarmInputs];
    int32_t out_type[kCameraAlarmOutputs];
    int32_t out_status[kCameraAlarmOutputs];
};

std::map<int32_t, CameraAlarms> g_cameras; // by channel, once asked about

// The alarms of a camera that has them: inputs 0 and 1 armed (input 1
// normally closed and open just now), both outputs off.
CameraAlarms &alarms_of(int32_t chnid)
{
    auto found = g_cameras.find(chnid);
    if (found == g_cameras.end()) {
        CameraAlarms alarms{};
        alarms.in_enable[0] = alarms.in_enable[1] = 1;
        alarms.in_type[1] = 1;
        alarms.in_status[1] = 1;
        found = g_cameras.emplace(chnid, alarms).first;
    }
    return found->second;
}

template <typename T> std::string demo_bytes(const T &record)
{
    return std::string(reinterpret_cast<const char *>(&record), sizeof record);
}

bool valid_channel(int32_t chnid) { return chnid >= 0 && chnid < kAlarmChannels; }

void on_get_inputs(const CoreMessage &request, Answer &answer)
{
    camera_alarm_in_state state{};
    if (!demo_payload_as(request, &state) || !valid_channel(state.chnid))
        return;
    const int32_t chnid = state.chnid;
    state = camera_alarm_in_state{};
    state.chnid = chnid;
    if (demo_camera_has_alarms(chnid)) {
        const CameraAlarms &alarms = alarms_of(chnid);
        memcpy(state.alarm_enable, alarms.in_enable, sizeof state.alarm_enable);
        memcpy(state.alarm_type, alarms.in_type, sizeof state.alarm_type);
        memcpy(state.alarm_status, alarms.in_status, sizeof state.alarm_status);
        state.count = kCameraAlarmInputs;
    }
    answer.push_back(AnswerStep::reply(kReplyGetCameraAlarmIn, demo_bytes(state)));
}

void on_get_outputs(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = -1;
    if (!demo_payload_as(request, &chnid) || !valid_channel(chnid))
        return;
    camera_alarm_out_state state{};
    state.chnid = chnid;
    if (demo_camera_has_alarms(chnid)) {
        const CameraAlarms &alarms = alarms_of(chnid);
        memcpy(state.alarm_type, alarms.out_type, sizeof state.alarm_type);
        memcpy(state.alarm_status, alarms.out_status, sizeof state.alarm_status);
        state.count = kCameraAlarmOutputs;
    }
    answer.push_back(AnswerStep::reply(kReplyGetCameraAlarmOut, demo_bytes(state)));
}

// Each entry of a camera alarm setting (3325 or 3324) goes to its alarm on
// every listed camera that has alarms.
template <typename Setting, typename Apply>
void apply_setting(const CoreMessage &request, int capacity, Apply apply)
{
    Setting setting{};
    if (!demo_payload_as(request, &setting))
        return;
    const uint64_t mask = uint64_t{setting.mask_high} << 32 | setting.mask_low;
    for (int32_t chnid = 0; chnid < kAlarmChannels; ++chnid) {
        if ((mask >> chnid & 1u) == 0 || !demo_camera_has_alarms(chnid))
            continue;
        for (int32_t index = 0; index < setting.count && index < capacity; ++index)
            if (setting.entries[index].alarm_id >= 0 && setting.entries[index].alarm_id < capacity)
                apply(alarms_of(chnid), setting.entries[index]);
    }
}

void on_set_inputs(const CoreMessage &request, Answer &)
{
    apply_setting<camera_alarm_in_setting>(request, kCameraAlarmInputs,
                                           [](CameraAlarms &alarms, const camera_alarm_in_entry &entry) {
                                               alarms.in_enable[entry.alarm_id] = entry.alarm_enable;
                                               alarms.in_type[entry.alarm_id] = entry.alarm_type;
                                           });
}

void on_set_outputs(const CoreMessage &request, Answer &)
{
    apply_setting<camera_alarm_out_setting>(request, kCameraAlarmOutputs,
                                            [](CameraAlarms &alarms, const camera_alarm_out_entry &entry) {
                                                alarms.out_type[entry.alarm_id] = entry.alarm_type;
                                            });
}

// 1409: the recorder's output on (any non-zero value) or off.
void on_switch_output(const CoreMessage &request, Answer &)
{
    alarm_out_switch sent{};
    if (!demo_payload_as(request, &sent) || sent.id < 0 || sent.id >= kAlarmOutputs)
        return;
    const uint32_t bit = 1u << sent.id;
    g_out_states = sent.enable != 0 ? g_out_states | bit : g_out_states & ~bit;
}

// 3352: a camera's output state, as given.
void on_switch_camera_output(const CoreMessage &request, Answer &)
{
    camera_alarm_out_switch sent{};
    if (!demo_payload_as(request, &sent) || !valid_channel(sent.chnid) || sent.alarm_id < 0 ||
        sent.alarm_id >= kCameraAlarmOutputs || !demo_camera_has_alarms(sent.chnid))
        return;
    alarms_of(sent.chnid).out_status[sent.alarm_id] = sent.state;
}

// The settings themselves live in the configuration database.
void reload(const CoreMessage &, Answer &) {}

const DemoRow kAlarmRows[] = {
    {kMsgGetCameraAlarmIn, on_get_inputs},  {kMsgGetCameraAlarmOut, on_get_outputs},
    {kMsgSetCameraAlarmIn, on_set_inputs},  {kMsgSetCameraAlarmOut, on_set_outputs},
    {kMsgAlarmOutSwitch, on_switch_output}, {kMsgCameraAlarmOutSwitch, on_switch_camera_output},
    {kMsgAlarmInChanged, reload},           {kMsgAlarmOutChanged, reload},
    {kMsgAlarmInsChanged, reload},          {kMsgCameraAlarmInsChanged, reload},
    {kMsgCameraAlarmOutsChanged, reload},
};

template <typename Field> uint64_t camera_states(int alarm_id, int count, Field field)
{
    uint64_t states = 0;
    if (alarm_id < 0 || alarm_id >= count)
        return 0;
    for (int32_t chnid = 0; chnid < kAlarmChannels; ++chnid)
        if (demo_camera_has_alarms(chnid) && field(alarms_of(chnid))[alarm_id] != 0)
            states |= uint64_t{1} << chnid;
    return states;
}

} // namespace

NVR_DEMO_ROWS(kAlarmRows)

uint32_t demo_alarm_in_states() { return g_in_states; }
uint32_t demo_alarm_out_states() { return g_out_states; }

uint64_t demo_camera_alarm_in_states(int alarm_id)
{
    return camera_states(alarm_id, kCameraAlarmInputs,
                         [](const CameraAlarms &alarms) { return alarms.in_status; });
}

uint64_t demo_camera_alarm_out_states(int alarm_id)
{
    return camera_states(alarm_id, kCameraAlarmOutputs,
                         [](const CameraAlarms &alarms) { return alarms.out_status; });
}
