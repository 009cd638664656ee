// The video module's web resource table.
#include "front/dispatchreq.h"
#include "modules/video/video.h"

namespace {

const WebRes video_web_res[] = {
    {"/6010", on_get_movedetect_info},     {"/6011", OnGetMotionSchedule},
    {"/6012", on_set_movedetect_info},     {"/6013", OnSetMotionSchedule},
    {"/6098", on_get_motion_map},          {"/6117", on_set_move_action},
    {"/6118", on_set_move_email_sche},     {"/6120", on_get_move_email_sche},
    {"/6152", on_set_move_effective_sche}, {"/6153", on_get_move_effective_sche},
    {"/6158", on_get_move_ptz_sche},       {"/6159", on_set_move_ptz_sche},
};

} // namespace

NVR_WEB_TABLE(kWebTableVideo, video_web_res)
