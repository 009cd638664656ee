// The status module's web resource table.
#include "front/dispatchreq.h"
#include "modules/status/status.h"

namespace {

constexpr WebRes status_web_res[] = {
    {"/8000", on_get_netif_info, WebRight::Status},
    {"/8001", on_get_netif_speed, WebRight::Status},
    {"/8002", on_get_camera_status, WebRight::Status},
    {"/8003", on_get_alarm_status, WebRight::Status},
    {"/8004", on_cgi_status_nop, WebRight::Session},
    {"/8005", on_start_packet_capture, WebRight::Status},
    {"/8006", on_stop_packet_capture, WebRight::Status},
    {"/8007", on_download_packet_capture, WebRight::Status},
    {"/8008", on_get_usage_info, WebRight::Status},
    {"/8009", on_get_channel_support_type, WebRight::Status},
    {"/8010", on_get_disk_groups_status, WebRight::Status},
    {"/8011", on_cgi_get_online_user_status, WebRight::Status},
};

} // namespace

NVR_WEB_TABLE(kWebTableStatus, status_web_res)
