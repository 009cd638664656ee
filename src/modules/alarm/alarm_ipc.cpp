// The alarm module's reply callback, its decoders of the cameras' live
// alarm inputs and outputs, and the core messages the handlers share.
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/schedule.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/alarm/alarm.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kLogSubAlarm = 204;

LogRecord alarm_log_record(int param_code, int id)
{
    LogRecord record;
    cgi_init_log_info(&record);
    record.sub_type = kLogSubAlarm;
    record.param_code = param_code;
    record.object = id + 1;
    return record;
}

json_object *camera_alarm_out_json(const camera_alarm_out_state &state, int alarm_id)
{
    alarm_chnout_name_record name;
    read_alarm_chnOut_event_name(ZQDB_PATH, &name, state.chnid, alarm_id);
    static schedule_record schedule;
    read_alarm_chnOut_effective_schedule(ZQDB_PATH, &schedule, state.chnid, alarm_id);
    json_object *entry = json_object_new_object();
    json_add_int(entry, "alarmType", state.alarm_type[alarm_id]);
    json_add_int(entry, "alarmStatus", state.alarm_status[alarm_id]);
    json_add_field(entry, "alarmName", name.name);
    json_add_int(entry, "delayTime", name.delay_time);
    json_object_object_add(entry, "effective", get_schedule_json_object(&schedule));
    return entry;
}

} // namespace

int on_alarm_ipc_callback(void * /*context*/, const char *header, const char *payload)
{
    if (header == nullptr || payload == nullptr)
        return 0;
    const ReplyReader reply(payload, ipc_reply_size(header));
    switch (ipc_reply_code(header)) {
    case kReplyGetCameraAlarmIn:
        return on_get_camera_alarm_input_cb(reply);
    case kReplyGetCameraAlarmOut:
        return on_get_camera_alarm_output_cb(reply);
    default:
        return 0;
    }
}

// A reply shorter than the record is no answer; the inputs listed are the
// reply's count, never more than a camera has.
int on_get_camera_alarm_input_cb(const ReplyReader &reply)
{
    camera_alarm_in_state state;
    if (!reply.record(0, &state))
        return -1;
    const int count = clamp_count(state.count, kCameraAlarmInputs);
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "chnid", state.chnid);
    json_add_int(answer.get(), "alarmCnt", count);
    json_object *alarms = json_object_new_array();
    for (int alarm_id = 0; alarm_id < count; ++alarm_id) {
        json_object *entry = json_object_new_object();
        json_add_int(entry, "alarmEnable", state.alarm_enable[alarm_id]);
        json_add_int(entry, "alarmType", state.alarm_type[alarm_id]);
        json_add_int(entry, "alarmStatus", state.alarm_status[alarm_id]);
        add_camera_alarm_in_setting(entry, state.chnid, alarm_id);
        json_object_array_add(alarms, entry);
    }
    json_object_object_add(answer.get(), "alarm", alarms);
    cgi_write_json(kRespJson, answer.get());
    cgi_set_callback_done(1);
    return 0;
}

// Both outputs are listed whatever the reply's count says.
int on_get_camera_alarm_output_cb(const ReplyReader &reply)
{
    camera_alarm_out_state state;
    if (!reply.record(0, &state))
        return -1;
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "chnid", state.chnid);
    json_add_int(answer.get(), "alarmCnt", clamp_count(state.count, kCameraAlarmOutputs));
    json_object *alarms = json_object_new_array();
    for (int alarm_id = 0; alarm_id < kCameraAlarmOutputs; ++alarm_id)
        json_object_array_add(alarms, camera_alarm_out_json(state, alarm_id));
    json_object_object_add(answer.get(), "alarm", alarms);
    cgi_write_json(kRespJson, answer.get());
    cgi_set_callback_done(1);
    return 0;
}

void alarm_notify_id(int code, int id)
{
    const int32_t payload = id;
    cgi_ipc_notify(on_alarm_ipc_callback, code, sizeof payload, &payload);
}

void alarm_notify_mask(int code, uint64_t mask)
{
    const uint32_t payload[2] = {static_cast<uint32_t>(mask), static_cast<uint32_t>(mask >> 32)};
    cgi_ipc_notify(on_alarm_ipc_callback, code, sizeof payload, payload);
}

void alarm_send_log(int param_code, int id)
{
    const LogRecord record = alarm_log_record(param_code, id);
    cgi_send_log_info(&record);
}

void alarm_send_copy_log(int param_code, int id, uint64_t mask)
{
    const LogRecord record = alarm_log_record(param_code, id);
    cgi_send_copy_log_info(&record, mask);
}

uint32_t alarm_copy_mask(json_object *request, int source, int limit)
{
    const uint64_t listed = get_copy_flag_by_json(request, "copyChn", "copyCnt");
    const uint64_t in_range = limit >= 64 ? ~uint64_t{0} : (uint64_t{1} << limit) - 1;
    return static_cast<uint32_t>(listed & in_range & ~(uint64_t{1} << source));
}

int alarm_answer_stored(int result)
{
    return result == 0 ? cgi_writeback_webserver(kRespText, "OK") : cgi_error_to_webserver(kRespText);
}
