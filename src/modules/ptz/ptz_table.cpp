// The PTZ module's web resource table. Driving a camera is part of watching
// its channel live (the handlers check the channel); the camera's own PTZ
// settings ask for the camera right, the recorder's serial ports, default
// speeds and stored tours for the settings right. Whether a camera has PTZ
// at all is asked by the live page.
#include "front/dispatchreq.h"
#include "modules/ptz/ptz.h"

namespace {

constexpr WebRes ptz_web_res[] = {
    {"/5000", on_send_ptz_cmd, WebRight::LiveView},
    {"/5001", on_preset_op, WebRight::LiveView},
    {"/5002", on_set_ptz_tour_run, WebRight::LiveView},
    {"/5003", on_set_ptz_tour_stop, WebRight::LiveView},
    {"/5004", on_set_ptz_pattern, WebRight::LiveView},
    {"/5005", on_get_ptz_info, WebRight::LiveView},
    {"/5006", on_set_ptz_preset_call, WebRight::LiveView},
    {"/5007", on_set_ptz_zomm, WebRight::LiveView},
    {"/5008", on_set_ipc_speed, WebRight::LiveView},
    {"/5009", on_cgi_set_ptz_control, WebRight::LiveView},
    {"/5010", on_cgi_get_led_status, WebRight::LiveView},
    {"/5011", on_cgi_get_ptz_basic, WebRight::Camera},
    {"/5012", on_cgi_set_ptz_basic, WebRight::Camera},
    {"/6050", on_get_ptzport_info, WebRight::Settings},
    {"/6051", on_set_ptzport_info, WebRight::Settings},
    {"/6052", on_get_ptzsupport_info, WebRight::LiveView},
    {"/6053", on_get_ptz_speed, WebRight::Settings},
    {"/6054", on_set_ptz_speed, WebRight::Settings},
    {"/6055", on_set_ptz_tour_set, WebRight::Settings},
    {"/6056", on_set_fish_ptz_tour_set, WebRight::Settings},
    {"/6057", on_set_ptz_tour_clear, WebRight::Settings},
};

} // namespace

NVR_WEB_TABLE(kWebTablePtz, ptz_web_res)
