// The video module's web resource table.
#include "front/dispatchreq.h"
#include "modules/video/video.h"
#include "modules/video/video_loss.h"
#include "modules/video/video_osd.h"

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
    {"/6000", on_get_osd_info, WebRight::Camera},
    {"/6001", on_set_osd_info, WebRight::Camera},
    {"/6002", OnSetOSDName, WebRight::Camera},
    {"/6996", on_set_osdconfig, WebRight::Camera},
    {"/6997", on_get_osdconfig, WebRight::Camera},
    {"/6018", on_get_privacy_masks, WebRight::Camera},
    {"/6019", on_set_privacy_mask, WebRight::Camera},
    {"/6115", on_get_privacy_mask_ovf, WebRight::Camera},
    {"/6116", on_get_ipc_model_type, WebRight::Camera},
    {"/6173", on_delete_privacy_mask, WebRight::Camera},
    {"/6198", on_cgi_set_privacy_edit, WebRight::Camera},
    {"/6014", on_get_videolost_info, WebRight::Event},
    {"/6016", on_set_videolost_info, WebRight::Event},
    {"/6017", on_set_videolost_schedule, WebRight::Event},
    {"/6094", on_get_videoloss_info, WebRight::Event},
    {"/6095", on_set_videoloss_info, WebRight::Event},
    {"/6121", on_set_videolost_audible_sche, WebRight::Event},
    {"/6122", on_set_videolost_email_sche, WebRight::Event},
    {"/6165", on_set_videoloss_ptz_sche, WebRight::Event},
    {"/6123", on_set_videolost_others, WebRight::Event},
    {"/6125", on_set_alarmin_audible_sche, WebRight::Event},
    {"/6126", on_set_alarmin_email_sche, WebRight::Event},
    {"/6167", on_set_alarmin_ptz_sche, WebRight::Event},
    {"/6170", on_set_alarmin_effective_sche, WebRight::Event},
    {"/6127", on_set_alarm_others, WebRight::Event},
    {"/6999", on_get_exception, WebRight::Event},
    {"/6998", on_set_exception, WebRight::Event},
};

} // namespace

NVR_WEB_TABLE(kWebTableVideo, video_web_res)
