// The system module's web resource table.
#include "front/dispatchreq.h"
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
};

} // namespace

NVR_WEB_TABLE(kWebTableSystem, system_web_res)
