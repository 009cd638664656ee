// Logs and the remaining system settings: handlers of the system table and
// the decoders of their replies.
#pragma once

#include "core/reply_reader.h"

// "/1002", "/1003", "/1021", "/1022", "/1015".
int on_get_log_info(char *text);
int on_download_logfile(char *text);
int on_get_log_details(char *text);
int on_check_download_log(char *text);
int on_get_log_types(char *text);
int on_log_search_info_cb(const ReplyReader &reply);
int on_log_web_export_info_cb(const ReplyReader &reply);
int on_log_detail_cb(const ReplyReader &reply);
