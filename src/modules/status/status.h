// Status and diagnostics: handlers of the status table, the module's
// reply callback and its decoders.
#pragma once

#include "core/reply_reader.h"

int on_cgi_status_nop(char *text);
int on_get_usage_info(char *text);
int on_get_netif_info(char *text);
int on_get_netif_speed(char *text);
int on_get_camera_status(char *text);
int on_get_alarm_status(char *text);
int on_get_channel_support_type(char *text);
int on_get_disk_groups_status(char *text);
int on_cgi_get_online_user_status(char *text);

// Packet capture.
int on_start_packet_capture(char *text);
int on_stop_packet_capture(char *text);
int on_download_packet_capture(char *text);

int on_status_ipc_callback(void *context, const char *header, const char *payload);
// Each decoder writes its JSON and sets the done flag to 1; a payload too
// short for what it reads is no answer (-1, nothing written).
int on_get_usage_info_cb(const ReplyReader &reply);
int on_get_netif_info_cb(const ReplyReader &reply);
int on_get_netif_speed_cb(const ReplyReader &reply);
int on_get_camera_status_cb(const ReplyReader &reply);
int on_get_alarm_status_cb(const ReplyReader &reply);
int on_get_channel_support_type_cb(const ReplyReader &reply);
int on_cgi_get_online_user_status_cb(const ReplyReader &reply);
