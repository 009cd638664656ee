// Network: handlers of the network table, the module's reply callback and
// its decoders.
#pragma once

#include "core/reply_reader.h"

// Interfaces and addressing.
int on_get_network_info(char *text);
int on_set_network_info(char *text);
int on_get_network_mode(char *text);
int on_restart_network(char *text);
int on_get_mac0(char *text);
int on_cgi_set_default_route(char *text);
int on_cgi_get_multicast(char *text);
int on_cgi_set_multicast(char *text);
int on_ip_conflict(char *text);
int on_ip_conflict_by_dev(char *text);

// The reply callback finds each reply code's decoder in one table.
using NetworkDecoder = int (*)(const ReplyReader &reply);
int on_network_ipc_callback(void *context, const char *header, const char *payload);
int on_cgi_set_default_route_cb(const ReplyReader &reply);
int on_cgi_set_multicast_cb(const ReplyReader &reply);
int on_ip_conflict_cb(const ReplyReader &reply);

// Sends a core message of the network pages and waits for the module's
// callback; writes the error of `error_kind` when no reply came.
int network_request(int code, const void *payload, int length, int error_kind);
// Sends without waiting.
void network_notify(int code, const void *payload, int length);
