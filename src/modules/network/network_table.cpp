// The network module's web resource table. Every row asks for the settings
// right: addressing, services and certificates are the device's settings.
#include "front/dispatchreq.h"
#include "modules/network/network.h"

namespace {

constexpr WebRes network_web_res[] = {
    {"/7033", on_cgi_get_multicast, WebRight::Settings},
    {"/7034", on_cgi_set_multicast, WebRight::Settings},
    {"/7040", on_get_network_info, WebRight::Settings},
    {"/7041", on_set_network_info, WebRight::Settings},
    {"/7042", on_get_network_mode, WebRight::Settings},
    {"/7043", on_restart_network, WebRight::Settings},
    {"/7044", on_get_mac0, WebRight::Settings},
    {"/7070", on_ip_conflict, WebRight::Settings},
    {"/7071", on_ip_conflict_by_dev, WebRight::Settings},
    {"/7096", on_cgi_set_default_route, WebRight::Settings},
};

} // namespace

NVR_WEB_TABLE(kWebTableNetwork, network_web_res)
