// The system module's web resource table.
#include "front/dispatchreq.h"
#include "modules/system/device_info.h"
#include "modules/system/logs.h"
#include "modules/system/maintenance.h"
#include "modules/system/online_upgrade.h"
#include "modules/system/settings.h"
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
    // Maintenance: restart, restore, configuration, firmware, branding.
    {"/1004", on_restart_device, WebRight::Shutdown},
    {"/1005", on_get_restart_state, WebRight::Open},
    {"/1006", on_restore_device, WebRight::Shutdown},
    {"/1007", on_export_config, WebRight::Settings},
    {"/1008", on_import_config, WebRight::Shutdown},
    {"/1010", on_upgrade_system, WebRight::Shutdown},
    {"/1011", on_clean_upgrade_files, WebRight::Settings},
    {"/1013", on_download_config, WebRight::Settings},
    {"/1019", on_upload_discard, WebRight::Session},
    {"/1023", on_clear_dbup_flag, WebRight::Settings},
    {"/1024", on_clear_permission_update, WebRight::Settings},
    {"/1034", on_cgi_upgrade_system_init, WebRight::Shutdown},
    {"/oem", on_upload_oem, WebRight::Shutdown},
    // Online firmware upgrade and camera firmware upgrade.
    {"/6082", on_upgrade_camera, WebRight::Shutdown},
    {"/6083", on_start_upgrade_camera, WebRight::Shutdown},
    {"/6084", on_stop_upgrade_camera, WebRight::Shutdown},
    {"/6085", on_get_online_upgrade, WebRight::Shutdown},
    {"/6086", on_del_online_upgrade, WebRight::Shutdown},
    {"/6087", on_check_nvr_online_upgrade, WebRight::Shutdown},
    {"/6088", on_nvr_online_upgrade, WebRight::Shutdown},
    {"/6089", on_check_ipc_online_upgrade, WebRight::Shutdown},
    // Access filter, automatic reboot, UPnP, alarm audio files, diagnosis.
    {"/1030", on_get_upnp_info, WebRight::Settings},
    {"/1031", on_set_upnp_info, WebRight::Settings},
    {"/1032", on_get_auto_reboot, WebRight::Settings},
    {"/1033", on_set_auto_reboot, WebRight::Settings},
    {"/6300", on_get_access_filter, WebRight::Settings},
    {"/6301", on_set_access_filter, WebRight::Settings},
    {"/6310", on_export_diagnosis, WebRight::Settings},
    {"/6311", on_download_file, WebRight::Settings},
    {"/6320", on_get_audio_file_list, WebRight::Settings},
    {"/6321", on_upload_audio_file, WebRight::Settings},
    {"/6322", on_add_audio_file, WebRight::Settings},
    {"/6323", on_del_audio_files, WebRight::Settings},
    {"/6324", on_rename_audio_file, WebRight::Settings},
    {"/6325", on_cgi_audio_file_action, WebRight::Settings},
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
