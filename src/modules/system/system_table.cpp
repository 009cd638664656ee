// The system module's web resource table.
#include "front/dispatchreq.h"
#include "modules/system/system.h"

namespace {

const WebRes system_web_res[] = {
    {"/1000", on_user_login},      {"/1014", on_cgi_user_log},      {"/1018", on_user_login_from_mail},
    {"/6070", on_get_user_list},   {"/6071", on_add_new_user},      {"/6072", on_set_user_info},
    {"/6073", on_del_user_info},   {"/6074", on_get_oem_user_list}, {"/6075", on_modify_poe_camera_pwd},
    {"/6076", on_cgi_user_notify}, {"/6077", on_cgi_set_user_info},
};

} // namespace

NVR_WEB_TABLE(kWebTableSystem, system_web_res)
