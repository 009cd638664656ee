// Status and diagnostics: handlers of the status table and the module's
// reply callback.
#pragma once

#include "core/reply_reader.h"

int on_cgi_status_nop(char *text);
int on_get_usage_info(char *text);

int on_status_ipc_callback(void *context, const char *header, const char *payload);
int on_get_usage_info_cb(const ReplyReader &reply);
