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
    {"/2019", on_get_ipc_image_enhancement, WebRight::Camera},
    {"/2020", on_set_ipc_image_enhancement, WebRight::Camera},
    {"/2021", on_get_ipc_image_display, WebRight::Camera},
    {"/2022", on_set_ipc_image_display, WebRight::Camera},
    {"/2023", on_get_ipc_common_param, WebRight::Camera},
    {"/2024", on_set_ipc_common_param, WebRight::Camera},
    {"/2030", on_set_ipc_stream_batch, WebRight::Camera},
    {"/2031", on_set_ipc_transmit, WebRight::Camera},
    {"/2032", on_set_ipc_network_batch, WebRight::Camera},
    {"/2033", on_get_ipc_modify_result, WebRight::Camera},
    // The recorder's own motion and smart event schedules, which the event
    // pages change as well.
    {"/2035", on_get_ipc_event_schedules, WebRight::Event},
    {"/2036", on_set_ipc_event_schedules, WebRight::Event},
    {"/2037", on_get_ipc_image_schedule, WebRight::Camera},
    {"/2038", on_set_ipc_image_schedule, WebRight::Camera},
    {"/2039", on_get_ipc_area_param, WebRight::Camera},
    {"/2040", on_set_ipc_area_param, WebRight::Camera},
    {"/2041", on_get_ipc_sche10, WebRight::Camera},
    {"/2042", on_set_ipc_sche10, WebRight::Camera},
    {"/2043", on_get_ipc_exposure_sche, WebRight::Camera},
    {"/2044", on_set_ipc_exposure_sche, WebRight::Camera},
    {"/2045", on_get_ipc_sche12, WebRight::Camera},
    {"/2046", on_set_ipc_sche12, WebRight::Camera},
    {"/2047", on_set_ipc_image_schedule_batch, WebRight::Camera},
    {"/2048", on_set_ipc_exposure_list, WebRight::Camera},
    {"/2049", on_get_ipc_exposure_list, WebRight::Camera},
    {"/2050", on_set_ipc_area_id, WebRight::Camera},
    {"/2051", on_get_ipc_motion, WebRight::Camera},
    {"/2052", on_set_ipc_motion, WebRight::Camera},
    {"/2053", on_get_ipc_event_text, WebRight::Camera},
};

} // namespace

NVR_WEB_TABLE(kWebTableCamera, camera_web_res)
