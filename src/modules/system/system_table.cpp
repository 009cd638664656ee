// The system module's web resource table.
#include "front/dispatchreq.h"
#include "modules/system/device_info.h"
#include "modules/system/logs.h"
#include "modules/system/system.h"

namespace {

constexpr WebRes system_web_res[] = {
    {"/1000", on_user_login, WebRight::Open},
    {"/1014", on_cgi_user_log, WebRight::Session},
    {"/1018", on_user_login_from_mail, WebRight::Open},
    {"/6070", on_get_user_list, WebRight::Settings},
    {"/6071", on_add_new_user, WebRight::Settings},
    {"/6072", on_set_user_info, WebRight::Settings},
    {"/6073", on_del_user_info, WebRight::Settings},
    {"/6074", on_get_oem_user_list, WebRight::Settings},
    {"/6075", on_modify_poe_camera_pwd, WebRight::Settings},
    {"/6076", on_cgi_user_notify, WebRight::Settings},
    {"/6077", on_cgi_set_user_info, WebRight::Settings},
    {"/1001", on_change_language, WebRight::Settings},
    {"/1009", on_get_system_info, WebRight::Session},
    {"/1012", on_set_system_info, WebRight::Settings},
    {"/1016", on_get_auto_maintenance, WebRight::Settings},
    {"/1017", on_set_auto_maintenance, WebRight::Settings},
    {"/1020", on_get_system_info, WebRight::Session},
    {"/6080", on_get_general_info, WebRight::Settings},
    {"/6081", on_set_general_info, WebRight::Settings},
    {"/json", on_get_page_text, WebRight::Session},
    {"/vb.htm", on_http_option, WebRight::Settings},
    {"/dw.cgi", on_dw_refuse, WebRight::Session},
    {"/ipc", on_set_camera_ip_batch, WebRight::Camera},
    // Logs: the search, its details, the export and the catalogue of types.
    {"/1002", on_get_log_info, WebRight::Retrieve},
    {"/1003", on_download_logfile, WebRight::Retrieve},
    {"/1015", on_get_log_types, WebRight::Retrieve},
    {"/1021", on_get_log_details, WebRight::Retrieve},
    {"/1022", on_check_download_log, WebRight::Retrieve},
};

// The setup wizard's quick settings.
constexpr WebRes quick_settings_web_res[] = {
    {"/3300", on_set_ssh_enable, WebRight::Settings},
    {"/3301", on_set_auto_login, WebRight::Settings},
    {"/3302", on_set_record_mode_all, WebRight::Settings},
    {"/3303", on_set_wizard_enable, WebRight::Settings},
    {"/3304", on_set_camera_quick, WebRight::Settings},
};

} // namespace

NVR_WEB_TABLE(kWebTableSystem, system_web_res)
NVR_WEB_TABLE(kWebTableQuickSettings, quick_settings_web_res)
