// Device information, general and quick settings, and the maintenance
// options of the system module: handlers, the 8400 decoder and the helpers
// these files share.
#pragma once

#include <json-c/json.h>

#include <cstddef>

#include "core/reply_reader.h"

// "/1009", "/1020", "/1012": identity and capacity, host name and device id.
int on_get_system_info(char *text);
int on_get_system_info_cb(const ReplyReader &reply);
int on_set_system_info(char *text);
// "/6080", "/6081": outputs, audio and the general keys.
int on_get_general_info(char *text);
int on_set_general_info(char *text);
// "/1016", "/1017": log and snapshot retention.
int on_get_auto_maintenance(char *text);
int on_set_auto_maintenance(char *text);
// "/1001": the list of web languages.
int on_change_language(char *text);

// Quick settings of the setup wizard, "/3300" to "/3304".
int on_set_ssh_enable(char *text);
int on_set_auto_login(char *text);
int on_set_record_mode_all(char *text);
int on_set_wizard_enable(char *text);
int on_set_camera_quick(char *text);

// "/vb.htm", "/json", "/ipc", "/dw.cgi".
int on_http_option(char *text);
int on_get_page_text(char *text);
int on_set_camera_ip_batch(char *text);
int on_dw_refuse(char *text);

// Maintenance options of "/vb.htm" that reach the chip tool or the
// branding files; each writes its own answer.
struct KeyValueRecord;
int on_option_paratest(const KeyValueRecord &option);
int on_option_chipupdate(const KeyValueRecord &option);
int on_option_modelupdate(const KeyValueRecord &option);
int on_option_oemclean(const KeyValueRecord &option);

// Helpers of these handlers.

// True with the integer `key` of `object` in `out` when it is present and
// within low..high.
bool json_int_within(json_object *object, const char *key, int low, int high, int *out);
// True with the integer `key` in `out` when it is present.
bool json_int_present(json_object *object, const char *key, int *out);
// Fire-and-forget core messages.
void system_notify(int code, const void *payload, size_t length);
void system_notify_int(int code, int value);
// Core message 1702 with the 32-byte text naming what changed.
void system_notify_service(const char *name);
// Stores an integer key as its decimal text; 0 or -1.
int system_store_int(const char *key, int value);
// Stores a text key, adding it when the database lacks it; 0 or -1.
int system_store_or_add(const char *key, const char *value);
// Stores `name` as the host name of the network record; 0 or -1.
int system_store_host_name(const char *name);
