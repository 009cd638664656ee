// System administration: logins and user accounts. Handlers of the system
// table and the module's reply callback with its decoders.
#pragma once

#include "core/reply_reader.h"

int on_user_login(char *text);
int on_user_login_from_mail(char *text);
int on_cgi_user_log(char *text);

int on_get_user_list(char *text);
int on_add_new_user(char *text);
int on_set_user_info(char *text);
int on_del_user_info(char *text);
int on_get_oem_user_list(char *text);
int on_modify_poe_camera_pwd(char *text);
int on_cgi_user_notify(char *text);
int on_cgi_set_user_info(char *text);

int on_system_ipc_callback(void *context, const char *header, const char *payload);
int on_user_login_from_mail_cb(const ReplyReader &reply);
int on_modify_poe_camera_pwd_cb(const ReplyReader &reply);

// Sends an operation log record of main type 4 with `sub_type` and
// `param_code`; `user_name`, when given, replaces the session's name.
void system_send_log(int sub_type, int param_code, const char *user_name);
