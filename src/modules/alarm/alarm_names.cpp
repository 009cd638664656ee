// The names of every alarm input and output, the recorder's and each
// camera channel's, for the pages that let the user pick one.
#include "codecs/json_util.h"
#include "front/web_utils.h"
#include "modules/alarm/alarm.h"
#include "platform/confdb/confdb.h"

namespace {

// {"nvr": [the recorder's names], "camera": [[names of alarm 0, 1, ...] per
// channel]}, the camera names read per alarm index by `read`.
template <typename Record, typename Read>
int answer_names(json_object *nvr, int camera_alarms, Record (&list)[kCameraAlarmInputs][kAlarmChannels],
                 Read read)
{
    for (int alarm_id = 0; alarm_id < camera_alarms; ++alarm_id)
        if (read(list[alarm_id], alarm_id) != 0) {
            json_object_put(nvr);
            return cgi_error_to_webserver(kRespJson);
        }
    json_object *cameras = json_object_new_array();
    for (int chnid = 0; chnid < kAlarmChannels; ++chnid) {
        json_object *names = json_object_new_array();
        for (int alarm_id = 0; alarm_id < camera_alarms; ++alarm_id)
            json_object_array_add(names, json_object_new_string(list[alarm_id][chnid].name));
        json_object_array_add(cameras, names);
    }
    const JsonPtr reply = json_new_object();
    json_object_object_add(reply.get(), "nvr", nvr);
    json_object_object_add(reply.get(), "camera", cameras);
    return cgi_write_json(kRespJson, reply.get());
}

} // namespace

int on_get_all_alarmout_names(char * /*text*/)
{
    alarm_out_record outputs[kAlarmOutputs];
    if (read_alarm_outs(ZQDB_PATH, outputs) != 0)
        return cgi_error_to_webserver(kRespJson);
    json_object *nvr = json_object_new_array();
    for (const alarm_out_record &output : outputs)
        json_object_array_add(nvr, json_object_new_string(output.name));
    static alarm_chnout_name_record list[kCameraAlarmInputs][kAlarmChannels];
    return answer_names(nvr, kCameraAlarmOutputs, list, [](alarm_chnout_name_record *names, int alarm_id) {
        return read_alarm_chnOut_event_names(ZQDB_PATH, names, kAlarmChannels, alarm_id);
    });
}

int on_get_all_alarmin_names(char * /*text*/)
{
    static alarm_in_record inputs[kAlarmInputs];
    if (read_alarm_ins(ZQDB_PATH, inputs) != 0)
        return cgi_error_to_webserver(kRespJson);
    json_object *nvr = json_object_new_array();
    for (const alarm_in_record &input : inputs)
        json_object_array_add(nvr, json_object_new_string(input.name));
    static alarm_chnin_name_record list[kCameraAlarmInputs][kAlarmChannels];
    return answer_names(nvr, kCameraAlarmInputs, list, [](alarm_chnin_name_record *names, int alarm_id) {
        return read_alarm_chnIn_event_names(ZQDB_PATH, names, kAlarmChannels, alarm_id);
    });
}
