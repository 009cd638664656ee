// Demo data of the alarm pages: what a small installation would have set.
#include "demo_alarm.h"

#include <cstdio>
#include <cstring>

#include "codecs/alarm_db.h"
#include "platform/confdb/confdb.h"

namespace {

struct DemoInput {
    const char *name;
    int32_t enable;
    int32_t type; // 0 normally open, 1 normally closed
    const char *tri_channels;
    int32_t tri_alarms; // the recorder's outputs it switches
};

constexpr DemoInput kInputs[kAlarmInputs] = {
    {"Front gate", 1, 0, "1", 0x1},       {"Back door", 1, 1, "01", 0x1},
    {"Garage door", 1, 0, "01", 0x2},     {"Hall window", 1, 1, "0", 0x1},
    {"Kitchen smoke", 1, 0, "1111", 0x3}, {"Office smoke", 1, 0, "0001", 0x3},
    {"Lobby PIR", 1, 0, "0001", 0x0},     {"Panic button", 1, 1, "1111", 0x5},
    {"Vault door", 0, 1, "", 0x0},        {"North fence", 0, 0, "", 0x0},
    {"South fence", 0, 0, "", 0x0},       {"Loading dock", 0, 0, "", 0x0},
    {"Server room", 0, 1, "", 0x0},       {"Fire exit", 0, 1, "", 0x0},
    {"Glass break", 0, 0, "", 0x0},       {"Water leak", 0, 0, "", 0x0},
};

struct DemoOutput {
    const char *name;
    int32_t type;
    int32_t enable;
    int32_t duration_time; // seconds
};

constexpr DemoOutput kOutputs[kAlarmOutputs] = {
    {"Siren", 0, 1, 30},
    {"Strobe light", 0, 1, 60},
    {"Gate lock", 1, 1, 5},
    {"Relay 4", 0, 0, 10},
};

struct DemoCameraAlarms {
    int32_t chnid;
    const char *inputs[kCameraAlarmInputs];
    const char *outputs[kCameraAlarmOutputs];
    int32_t delays[kCameraAlarmOutputs];
};

constexpr DemoCameraAlarms kCameras[] = {
    {0, {"Door contact", "Doorbell", "", ""}, {"Porch light", "Buzzer"}, {20, 5}},
    {3, {"Lobby door", "Reception button", "", ""}, {"Lobby siren", ""}, {15, 0}},
};

// Every day armed all day: one section 00:00 to 24:00.
const schedule_record &all_day()
{
    static schedule_record schedule;
    for (schedule_day &day : schedule.days) {
        snprintf(day.sections[0].start_time, sizeof day.sections[0].start_time, "00:00");
        snprintf(day.sections[0].end_time, sizeof day.sections[0].end_time, "24:00");
        day.sections[0].action_type = 1;
    }
    return schedule;
}

int add_inputs(DemoStore store)
{
    for (int id = 0; id < kAlarmInputs; ++id) {
        const DemoInput &entry = kInputs[id];
        alarm_in_record record{};
        record.id = id;
        record.enable = entry.enable;
        record.alarm_type = entry.type;
        snprintf(record.name, sizeof record.name, "%s", entry.name);
        alarm_in_set_tri_channels(&record, entry.tri_channels);
        record.tri_alarms = entry.tri_alarms;
        record.interval = record.email_interval = record.alarmout_interval = 10;
        if (store(kRecAlarmIn, id, &record, sizeof record) != 0)
            return -1;
        if (entry.enable != 0 &&
            (store(kRecAlarminEffectiveSchedule, id, &all_day(), sizeof(schedule_record)) != 0 ||
             store(kRecAlarmInSchedule, id, &all_day(), sizeof(schedule_record)) != 0))
            return -1;
    }
    return 0;
}

int add_outputs(DemoStore store)
{
    for (int id = 0; id < kAlarmOutputs; ++id) {
        alarm_out_record record{};
        record.id = id;
        snprintf(record.name, sizeof record.name, "%s", kOutputs[id].name);
        record.type = kOutputs[id].type;
        record.enable = kOutputs[id].enable;
        record.duration_time = kOutputs[id].duration_time;
        if (store(kRecAlarmOut, id, &record, sizeof record) != 0 ||
            store(kRecAlarmOutSchedule, id, &all_day(), sizeof(schedule_record)) != 0)
            return -1;
    }
    return 0;
}

int add_camera(DemoStore store, const DemoCameraAlarms &camera)
{
    for (int alarm_id = 0; alarm_id < kCameraAlarmInputs; ++alarm_id) {
        if (camera.inputs[alarm_id][0] == '\0')
            continue;
        alarm_chnin_name_record name{camera.chnid, alarm_id, {}};
        snprintf(name.name, sizeof name.name, "%s", camera.inputs[alarm_id]);
        alarm_chnin_event_record event{};
        event.chnid = camera.chnid;
        event.alarm_id = alarm_id;
        snprintf(event.tri_channels, sizeof event.tri_channels, "1");
        event.tri_alarms = 0x1;
        event.interval = event.alarmout_interval = 10;
        const int key = camera_alarm_key(camera.chnid, alarm_id);
        if (store(kRecAlarmChnInName, key, &name, sizeof name) != 0 ||
            store(kRecAlarmChnInEvent, key, &event, sizeof event) != 0 ||
            store(kRecAlarmChnInEffectiveSchedule, key, &all_day(), sizeof(schedule_record)) != 0)
            return -1;
    }
    for (int alarm_id = 0; alarm_id < kCameraAlarmOutputs; ++alarm_id) {
        if (camera.outputs[alarm_id][0] == '\0')
            continue;
        alarm_chnout_name_record name{camera.chnid, alarm_id, camera.delays[alarm_id], {}};
        snprintf(name.name, sizeof name.name, "%s", camera.outputs[alarm_id]);
        const int key = camera_alarm_key(camera.chnid, alarm_id);
        if (store(kRecAlarmChnOutName, key, &name, sizeof name) != 0 ||
            store(kRecAlarmChnOutEffectiveSchedule, key, &all_day(), sizeof(schedule_record)) != 0)
            return -1;
    }
    return 0;
}

} // namespace

int add_demo_alarms(DemoStore store)
{
    if (add_inputs(store) != 0 || add_outputs(store) != 0)
        return -1;
    for (const DemoCameraAlarms &camera : kCameras)
        if (add_camera(store, camera) != 0)
            return -1;
    return 0;
}
