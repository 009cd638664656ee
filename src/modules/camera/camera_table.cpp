// The camera module's web resource table.
#include "front/dispatchreq.h"
#include "modules/camera/camera.h"

namespace {

const WebRes camera_web_res[] = {
    {"/2000", on_get_ipc_detail},
    {"/2001", on_get_ipc_list},
    {"/2003", on_edit_ipc},
    {"/2004", on_add_ipc},
    {"/2005", on_delete_ipc},
    {"/2006", on_search_ipc},
    {"/2007", on_get_ipc_list},
    {"/2008", on_get_ipc_protocols},
    {"/2009", on_get_ipc_stream_info},
    {"/2010", on_set_ipc_stream_info},
    {"/2011", on_set_ipc_network},
    {"/2012", on_get_ipc_names},
    {"/2013", on_get_month_record_days},
    {"/2014", on_test_ipc_connect},
    {"/2015", on_test_ipc_connect_ex},
    {"/2017", on_set_ipc_user},
    {"/2030", on_set_ipc_stream_batch},
    {"/2031", on_set_ipc_transmit},
    {"/2032", on_set_ipc_network_batch},
    {"/2033", on_get_ipc_modify_result},
};

} // namespace

NVR_WEB_TABLE(kWebTableCamera, camera_web_res)
