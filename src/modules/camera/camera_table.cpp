// The camera module's web resource table.
#include "front/dispatchreq.h"
#include "modules/camera/camera.h"

namespace {

constexpr WebRes camera_web_res[] = {
    {"/2000", on_get_ipc_detail, WebRight::Camera},
    {"/2001", on_get_ipc_list, WebRight::Camera},
    {"/2003", on_edit_ipc, WebRight::Camera},
    {"/2004", on_add_ipc, WebRight::Camera},
    {"/2005", on_delete_ipc, WebRight::Camera},
    {"/2006", on_search_ipc, WebRight::Camera},
    {"/2007", on_get_ipc_list, WebRight::Camera},
    {"/2008", on_get_ipc_protocols, WebRight::Camera},
    {"/2009", on_get_ipc_stream_info, WebRight::Camera},
    {"/2010", on_set_ipc_stream_info, WebRight::Camera},
    {"/2011", on_set_ipc_network, WebRight::Camera},
    {"/2012", on_get_ipc_names, WebRight::Camera},
    {"/2013", on_get_month_record_days, WebRight::Retrieve},
    {"/2014", on_test_ipc_connect, WebRight::Camera},
    {"/2015", on_test_ipc_connect_ex, WebRight::Camera},
    {"/2017", on_set_ipc_user, WebRight::Camera},
    {"/2030", on_set_ipc_stream_batch, WebRight::Camera},
    {"/2031", on_set_ipc_transmit, WebRight::Camera},
    {"/2032", on_set_ipc_network_batch, WebRight::Camera},
    {"/2033", on_get_ipc_modify_result, WebRight::Camera},
};

} // namespace

NVR_WEB_TABLE(kWebTableCamera, camera_web_res)
