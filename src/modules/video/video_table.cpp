// The video module's web resource table.
#include "front/dispatchreq.h"
#include "modules/video/video.h"

namespace {

const WebRes video_web_res[] = {
    {"/6010", on_get_movedetect_info},
    {"/6011", OnGetMotionSchedule},
    {"/6012", on_set_movedetect_info},
    {"/6013", OnSetMotionSchedule},
    {"/6098", on_get_motion_map},
    {"/6117", on_set_move_action},
    {"/6118", on_set_move_email_sche},
    {"/6120", on_get_move_email_sche},
    {"/6152", on_set_move_effective_sche},
    {"/6153", on_get_move_effective_sche},
    {"/6158", on_get_move_ptz_sche},
    {"/6159", on_set_move_ptz_sche},
    {"/6112", on_set_motion_batch},
    {"/6113", on_set_motion_with_schedule},
    {"/6114", on_set_motion_basic},
    {"/6119", on_set_move_others},
    {"/6160", on_set_ptz_params},
    {"/6161", on_get_ptz_params},
    {"/6162", on_delete_ptz_params},
    {"/6163", on_update_ptz_params},
    {"/6164", on_delete_ptz_params_batch},
    {"/6015", on_get_videolost_schedule},
    {"/6124", on_get_videolost_email_sche},
    {"/6166", on_get_videoloss_ptz_sche},
    {"/6129", on_get_alarmin_audible_sche},
    {"/6128", on_get_alarmin_email_sche},
    {"/6169", on_get_alarmin_effective_sche},
    {"/6168", on_get_alarmin_ptz_sche},
};

} // namespace

NVR_WEB_TABLE(kWebTableVideo, video_web_res)
