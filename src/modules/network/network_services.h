// Network services and certificates: the handlers of the service pages,
// their decoders and what the service pages share.
#pragma once

#include "core/reply_reader.h"

// Log sub type of a changed network service.
constexpr int kLogSubNetworkService = 204;

// Tells the core daemon which service's settings changed ("network",
// "ddns", "pppoe", "mail", "snmp", "more"), without waiting.
void network_service_changed(const char *service);
// Whether a service may take `port` (its stored port being `stored`).
bool network_port_allowed(int port, int stored);

int on_get_time_info(char *text);
int on_set_time_info(char *text);
int on_get_pppoe_info(char *text);
int on_set_pppoe_info(char *text);
int on_get_ddns_info(char *text);
int on_set_ddns_info(char *text);
int on_get_ddns_status(char *text);
int on_get_email_info(char *text);
int on_set_email_info(char *text);
int on_test_email(char *text);
int on_get_port_info(char *text);
int on_set_port_info(char *text);
int on_get_snmp_info(char *text);
int on_set_snmp_info(char *text);
int on_get_access_info(char *text);
int on_get_poe_max(char *text);
int on_get_p2p_info(char *text);
int on_set_p2p_info(char *text);
int on_test_p2p(char *text);
int on_cgi_p2p_unbind_device(char *text);

int on_create_https_cert(char *text);
int on_get_cert_info(char *text);
int on_get_cert_req_info(char *text);
int on_download_cert_req(char *text);
int on_delete_cert_req(char *text);
int on_install_cert(char *text);
int on_delete_cert(char *text);
int on_set_https_enable(char *text);
int on_get_https_enable(char *text);

int on_set_systime_cb(const ReplyReader &reply);
int on_ddns_status_cb(const ReplyReader &reply);
int on_test_email_cb(const ReplyReader &reply);
int on_p2p_status_info_cb(const ReplyReader &reply);
int on_enable_p2p_cb(const ReplyReader &reply);
int on_disable_p2p_cb(const ReplyReader &reply);
int on_p2p_unbind_cb(const ReplyReader &reply);
int on_create_cert_cb(const ReplyReader &reply);
int on_resp_install_cert(const ReplyReader &reply);
