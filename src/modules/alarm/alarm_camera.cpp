// The cameras' alarm inputs and outputs: the live queries, the changes of
// their switches, types, names and actions (optionally copied to other
// channels), and the switch of a camera's alarm output.
#include "codecs/channel_db.h"
#include "codecs/event_actions.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/alarm/alarm.h"
#include "platform/confdb/confdb.h"

namespace {

// The request's channel (0..63) and alarm count; false when either is
// missing or the channel is out of range.
bool camera_alarm_request(json_object *request, int *chnid, int *count)
{
    *chnid = json_member_int(request, "chnid", -1);
    return json_value_int(json_get_member(request, "alarmCnt"), count) && camera_channel_valid(*chnid);
}

// The elements of the request's `key` array that are objects, among the
// first `count` (and never past `capacity` or the array's end), with
// their positions.
template <typename Visit>
int for_each_element(json_object *request, const char *key, int count, int capacity, Visit visit)
{
    json_object *array = json_value_array(json_get_member(request, key));
    const size_t size = json_array_size(array);
    for (int index = 0; index < clamp_count(count, capacity) && static_cast<size_t>(index) < size; ++index) {
        json_object *item = json_array_item(array, index);
        if (json_object_is_type(item, json_type_object) && visit(item, index) != 0)
            return -1;
    }
    return 0;
}

// One element of an input dialog: its actions stored, and copied when the
// mask is not empty.
int store_input_dialog(json_object *item, int chnid, uint64_t mask)
{
    const int alarm_id = json_member_int(item, "alarmId", -1);
    if (!camera_alarm_in_valid(chnid, alarm_id))
        return 0;
    if (save_camera_alarm_in_dialog(item, chnid, alarm_id) < 0)
        return -1;
    return mask != 0 ? copy_camera_alarm_in_setting(chnid, alarm_id, mask) : 0;
}

int store_input_name(json_object *item, int chnid, int alarm_id)
{
    alarm_chnin_name_record name;
    if (read_alarm_chnIn_event_name(ZQDB_PATH, &name, chnid, alarm_id) < 0)
        return -1;
    if (!event_set_text(item, "alarmName", name.name, sizeof name.name))
        return 0;
    return write_alarm_chnIn_event_name(ZQDB_PATH, &name);
}

int store_output_dialog(json_object *item, int chnid, uint64_t mask)
{
    const int alarm_id = json_member_int(item, "alarmId", -1);
    if (!camera_alarm_out_valid(chnid, alarm_id))
        return 0;
    static schedule_record schedule;
    if (get_schedule_by_json(item, "effective", &schedule) == 0 &&
        write_alarm_chnOut_effective_schedule(ZQDB_PATH, &schedule, chnid, alarm_id) != 0)
        return -1;
    return mask != 0 ? copy_alarm_chnOut_effective_schedules(ZQDB_PATH, chnid, alarm_id, mask) : 0;
}

// The output's name and delay; the delay goes to the same output of the
// masked channels too.
int store_output_name(json_object *item, int chnid, int alarm_id, uint64_t mask)
{
    alarm_chnout_name_record name;
    if (read_alarm_chnOut_event_name(ZQDB_PATH, &name, chnid, alarm_id) < 0)
        return -1;
    const bool named = event_set_text(item, "alarmName", name.name, sizeof name.name);
    const bool delayed = on_cgi_get_int_from_json(item, "delayTime", &name.delay_time) == 0;
    if ((named || delayed) && write_alarm_chnOut_event_name(ZQDB_PATH, &name) != 0)
        return -1;
    if (mask == 0)
        return 0;
    static alarm_chnout_name_record list[kAlarmChannels];
    if (read_alarm_chnOut_event_names(ZQDB_PATH, list, kAlarmChannels, alarm_id) != 0)
        return -1;
    for (int target = 0; target < kAlarmChannels; ++target)
        if ((mask >> target & 1u) != 0)
            list[target].delay_time = name.delay_time;
    return write_alarm_chnOut_event_names(ZQDB_PATH, list, kAlarmChannels, alarm_id, mask);
}

// The channel's copy mask without its own channel.
uint64_t camera_copy_mask(json_object *request, int chnid)
{
    return get_copy_flag_by_json(request, "copyChn", "copyCnt") & ~(uint64_t{1} << chnid);
}

// The change of a camera's alarm inputs: a dialog element stores one
// input's actions, an alarm element its switch, type and name.
struct InputChange {
    using Setting = camera_alarm_in_setting;
    static constexpr int kCapacity = kCameraAlarmInputs;
    static constexpr int kCode = kMsgSetCameraAlarmIn;
    static constexpr int kChangedCode = kMsgCameraAlarmInsChanged;

    static int dialog(json_object *item, int chnid, uint64_t mask)
    {
        return store_input_dialog(item, chnid, mask);
    }
    static int alarm(json_object *item, int chnid, int alarm_id, uint64_t, Setting *setting)
    {
        camera_alarm_in_entry &entry = setting->entries[setting->count++];
        entry.alarm_enable = json_member_int(item, "alarmEnable");
        entry.alarm_id = alarm_id;
        entry.alarm_type = json_member_int(item, "alarmType");
        return store_input_name(item, chnid, alarm_id);
    }
};

// The change of a camera's alarm outputs: schedules, types, names and delays.
struct OutputChange {
    using Setting = camera_alarm_out_setting;
    static constexpr int kCapacity = kCameraAlarmOutputs;
    static constexpr int kCode = kMsgSetCameraAlarmOut;
    static constexpr int kChangedCode = kMsgCameraAlarmOutsChanged;

    static int dialog(json_object *item, int chnid, uint64_t mask)
    {
        return store_output_dialog(item, chnid, mask);
    }
    static int alarm(json_object *item, int chnid, int alarm_id, uint64_t mask, Setting *setting)
    {
        camera_alarm_out_entry &entry = setting->entries[setting->count++];
        entry.alarm_id = alarm_id;
        entry.alarm_type = json_member_int(item, "alarmType");
        return store_output_name(item, chnid, alarm_id, mask);
    }
};

// Only the elements the request holds are read: a count past the end of a
// list names no alarm 0 that the user did not send. The core daemon hears
// of the channel and its copies.
template <typename Change> int set_camera_alarms(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int chnid = -1;
    int count = 0;
    if (!request)
        return -1;
    if (!camera_alarm_request(request.get(), &chnid, &count))
        return cgi_error_to_webserver(kRespJson);
    const uint64_t mask = camera_copy_mask(request.get(), chnid);
    typename Change::Setting setting{};
    const bool failed =
        for_each_element(request.get(), "dialog", count, Change::kCapacity,
                         [&](json_object *item, int) { return Change::dialog(item, chnid, mask); }) != 0 ||
        for_each_element(request.get(), "alarm", count, Change::kCapacity,
                         [&](json_object *item, int alarm_id) {
                             return Change::alarm(item, chnid, alarm_id, mask, &setting);
                         }) != 0;
    if (failed)
        return cgi_error_to_webserver(kRespText);
    const uint64_t told = mask | uint64_t{1} << chnid;
    setting.mask_low = static_cast<uint32_t>(told);
    setting.mask_high = static_cast<uint32_t>(told >> 32);
    cgi_ipc_notify(on_alarm_ipc_callback, Change::kCode, sizeof setting, &setting);
    alarm_notify_mask(Change::kChangedCode, told);
    return cgi_writeback_webserver(kRespText, "OK");
}

} // namespace

int on_get_camera_alarm_input(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    camera_alarm_in_state query{};
    query.chnid = json_member_int(request.get(), "chnid", -1);
    query.count = kCameraAlarmInputs;
    if (!camera_channel_valid(query.chnid))
        return cgi_error_to_webserver(kRespJson);
    cgi_ipc_request(on_alarm_ipc_callback, kMsgGetCameraAlarmIn, sizeof query, &query, kRespJson);
    return 0;
}

int on_get_camera_alarm_output(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    const int32_t chnid = json_member_int(request.get(), "chnid", -1);
    if (!camera_channel_valid(chnid))
        return cgi_error_to_webserver(kRespJson);
    cgi_ipc_request(on_alarm_ipc_callback, kMsgGetCameraAlarmOut, sizeof chnid, &chnid, kRespJson);
    return 0;
}

int on_set_camera_alarm_input(char *text) { return set_camera_alarms<InputChange>(text); }

int on_set_camera_alarm_output(char *text) { return set_camera_alarms<OutputChange>(text); }

int on_set_camera_alarm_output_switch(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    camera_alarm_out_switch payload{-1, -1, 0};
    json_value_int(json_get_member(request.get(), "chnid"), &payload.chnid);
    json_value_int(json_get_member(request.get(), "alarmId"), &payload.alarm_id);
    if (!request || !json_value_int(json_get_member(request.get(), "state"), &payload.state) ||
        !camera_alarm_out_valid(payload.chnid, payload.alarm_id))
        return cgi_error_to_webserver(kRespText);
    cgi_ipc_notify(on_alarm_ipc_callback, kMsgCameraAlarmOutSwitch, sizeof payload, &payload);
    return cgi_writeback_webserver(kRespText, "OK");
}
