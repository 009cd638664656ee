// The video module's web resource table.
#include "front/dispatchreq.h"
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
};

} // namespace

NVR_WEB_TABLE(kWebTableVideo, video_web_res)
