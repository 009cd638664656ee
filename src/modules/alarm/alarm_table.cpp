// The alarm module's web resource table. Every page is an event setting,
// the switches of the outputs included.
#include "front/dispatchreq.h"
#include "modules/alarm/alarm.h"

namespace {

constexpr WebRes alarm_web_res[] = {
    {"/6020", on_get_alarm_outputs, WebRight::Event},
    {"/6021", on_get_alarm_output, WebRight::Event},
    {"/6022", on_set_alarm_output, WebRight::Event},
    {"/6023", on_set_alarm_output_switch, WebRight::Event},
    {"/6024", on_get_camera_alarm_input, WebRight::Event},
    {"/6025", on_set_camera_alarm_input, WebRight::Event},
    {"/6026", on_get_nvr_alarm_input, WebRight::Event},
    {"/6027", on_set_nvr_alarm_input, WebRight::Event},
    {"/6028", on_get_camera_alarm_output, WebRight::Event},
    {"/6029", on_set_camera_alarm_output, WebRight::Event},
    {"/6032", on_get_all_alarmout_names, WebRight::Event},
    {"/6033", on_set_camera_alarm_output_switch, WebRight::Event},
    {"/6034", on_get_all_alarmin_names, WebRight::Event},
    {"/6060", on_get_alarm_inputs, WebRight::Event},
    {"/6061", on_get_alarm_input, WebRight::Event},
    {"/6062", on_set_alarm_input_schedule, WebRight::Event},
    {"/6063", on_set_alarm_input, WebRight::Event},
    {"/6064", on_set_alarm_input_info, WebRight::Event},
};

} // namespace

NVR_WEB_TABLE(kWebTableAlarm, alarm_web_res)
