// The network module's web resource table. Every row asks for the settings
// right: addressing, services and certificates are the device's settings.
#include "front/dispatchreq.h"
#include "modules/network/network.h"
#include "modules/network/network_services.h"

namespace {

constexpr WebRes network_web_res[] = {
    {"/7000", on_get_time_info, WebRight::Settings},
    {"/7001", on_set_time_info, WebRight::Settings},
    {"/7010", on_get_pppoe_info, WebRight::Settings},
    {"/7011", on_set_pppoe_info, WebRight::Settings},
    {"/7020", on_get_ddns_info, WebRight::Settings},
    {"/7021", on_set_ddns_info, WebRight::Settings},
    {"/7030", on_get_email_info, WebRight::Settings},
    {"/7031", on_set_email_info, WebRight::Settings},
    {"/7032", on_test_email, WebRight::Settings},
    {"/7033", on_cgi_get_multicast, WebRight::Settings},
    {"/7034", on_cgi_set_multicast, WebRight::Settings},
    {"/7040", on_get_network_info, WebRight::Settings},
    {"/7041", on_set_network_info, WebRight::Settings},
    {"/7042", on_get_network_mode, WebRight::Settings},
    {"/7043", on_restart_network, WebRight::Settings},
    {"/7044", on_get_mac0, WebRight::Settings},
    {"/7050", on_get_port_info, WebRight::Settings},
    {"/7051", on_set_port_info, WebRight::Settings},
    {"/7060", on_get_p2p_info, WebRight::Settings},
    {"/7061", on_set_p2p_info, WebRight::Settings},
    {"/7062", on_test_p2p, WebRight::Settings},
    {"/7070", on_ip_conflict, WebRight::Settings},
    {"/7071", on_ip_conflict_by_dev, WebRight::Settings},
    {"/7080", on_create_https_cert, WebRight::Settings},
    {"/7081", on_get_cert_info, WebRight::Settings},
    {"/7082", on_download_cert_req, WebRight::Settings},
    {"/7083", on_delete_cert_req, WebRight::Settings},
    {"/7084", on_install_cert, WebRight::Settings},
    {"/7085", on_delete_cert, WebRight::Settings},
    {"/7086", on_set_https_enable, WebRight::Settings},
    {"/7087", on_get_https_enable, WebRight::Settings},
    {"/7089", on_get_cert_req_info, WebRight::Settings},
    {"/7090", on_get_snmp_info, WebRight::Settings},
    {"/7091", on_set_snmp_info, WebRight::Settings},
    {"/7092", on_get_access_info, WebRight::Settings},
    {"/7093", on_get_poe_max, WebRight::Settings},
    {"/7094", on_get_ddns_status, WebRight::Settings},
    {"/7095", on_cgi_p2p_unbind_device, WebRight::Settings},
    {"/7096", on_cgi_set_default_route, WebRight::Settings},
};

} // namespace

NVR_WEB_TABLE(kWebTableNetwork, network_web_res)
