// The video module's web resource table.
#include "front/dispatchreq.h"
#include "modules/video/vca.h"
#include "modules/video/video.h"

namespace {

constexpr WebRes video_web_res[] = {
    {"/6010", on_get_movedetect_info, WebRight::Event},
    {"/6011", OnGetMotionSchedule, WebRight::Event},
    {"/6012", on_set_movedetect_info, WebRight::Event},
    {"/6013", OnSetMotionSchedule, WebRight::Event},
    {"/6098", on_get_motion_map, WebRight::Event},
    {"/6117", on_set_move_action, WebRight::Event},
    {"/6118", on_set_move_email_sche, WebRight::Event},
    {"/6120", on_get_move_email_sche, WebRight::Event},
    {"/6152", on_set_move_effective_sche, WebRight::Event},
    {"/6153", on_get_move_effective_sche, WebRight::Event},
    {"/6158", on_get_move_ptz_sche, WebRight::Event},
    {"/6159", on_set_move_ptz_sche, WebRight::Event},
    {"/6112", on_set_motion_batch, WebRight::Event},
    {"/6113", on_set_motion_with_schedule, WebRight::Event},
    {"/6114", on_set_motion_basic, WebRight::Event},
    {"/6119", on_set_move_others, WebRight::Event},
    {"/6160", on_set_ptz_params, WebRight::Event},
    {"/6161", on_get_ptz_params, WebRight::Event},
    {"/6162", on_delete_ptz_params, WebRight::Event},
    {"/6163", on_update_ptz_params, WebRight::Event},
    {"/6164", on_delete_ptz_params_batch, WebRight::Event},
    {"/6015", on_get_videolost_schedule, WebRight::Event},
    {"/6124", on_get_videolost_email_sche, WebRight::Event},
    {"/6166", on_get_videoloss_ptz_sche, WebRight::Event},
    {"/6129", on_get_alarmin_audible_sche, WebRight::Event},
    {"/6128", on_get_alarmin_email_sche, WebRight::Event},
    {"/6169", on_get_alarmin_effective_sche, WebRight::Event},
    {"/6168", on_get_alarmin_ptz_sche, WebRight::Event},
    {"/6132", on_get_vca_region, WebRight::SmartAnalysis},
    {"/6133", on_set_vca_region, WebRight::SmartAnalysis},
    {"/6134", on_get_vca_motion, WebRight::SmartAnalysis},
    {"/6135", on_set_vca_motion, WebRight::SmartAnalysis},
    {"/6136", on_get_vca_tamper, WebRight::SmartAnalysis},
    {"/6137", on_set_vca_tamper, WebRight::SmartAnalysis},
    {"/6138", on_get_vca_line, WebRight::SmartAnalysis},
    {"/6139", on_set_vca_line, WebRight::SmartAnalysis},
    {"/6140", on_get_vca_loitering, WebRight::SmartAnalysis},
    {"/6141", on_set_vca_loitering, WebRight::SmartAnalysis},
    {"/6142", on_get_vca_human, WebRight::SmartAnalysis},
    {"/6143", on_set_vca_human, WebRight::SmartAnalysis},
    {"/6144", on_get_vca_people, WebRight::SmartAnalysis},
    {"/6145", on_set_vca_people, WebRight::SmartAnalysis},
    {"/6146", on_get_vca_settings, WebRight::SmartAnalysis},
    {"/6147", on_set_vca_settings, WebRight::SmartAnalysis},
    {"/6148", on_get_smart_event_schedule, WebRight::SmartAnalysis},
    {"/6149", on_set_smart_event_schedule, WebRight::SmartAnalysis},
    {"/6150", on_set_vca_allrtm_others, WebRight::SmartAnalysis},
    {"/6151", on_get_vca_common_para, WebRight::SmartAnalysis},
    {"/6154", on_vca_clear_people_count, WebRight::SmartAnalysis},
    {"/6157", on_get_vca_support, WebRight::SmartAnalysis},
    {"/6171", on_set_vca_leftremove, WebRight::SmartAnalysis},
    {"/6172", on_get_vca_leftremove, WebRight::SmartAnalysis},
    {"/6192", on_get_ipc_vca_line2, WebRight::SmartAnalysis},
    {"/6193", on_set_ipc_vca_line2, WebRight::SmartAnalysis},
    {"/6194", on_get_ipc_vca_settings2, WebRight::SmartAnalysis},
    {"/6195", on_set_ipc_vca_settings2, WebRight::SmartAnalysis},
};

} // namespace

NVR_WEB_TABLE(kWebTableVideo, video_web_res)
