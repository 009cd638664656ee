// The live view and playback module's web resource table. Pages of the
// live picture ask for the live view right, those of recorded video for
// the playback right.
#include "front/dispatchreq.h"
#include "modules/stream/stream.h"

namespace {

constexpr WebRes stream_web_res[] = {
    {"/3000", on_get_live_image, WebRight::LiveView},
    {"/3001", on_set_live_image, WebRight::LiveView},
    {"/3002", on_reset_live_image, WebRight::LiveView},
    {"/3003", on_step_playback_batch, WebRight::Playback},
    {"/3004", on_get_playback_busy, WebRight::Playback},
    {"/4000", on_search_playback_record, WebRight::Playback},
    {"/4001", on_start_playback, WebRight::Playback},
    {"/4002", on_get_playback_time, WebRight::Playback},
    {"/4003", on_stop_playback, WebRight::Playback},
    {"/4004", on_pause_playback, WebRight::Playback},
    {"/4005", on_resume_playback, WebRight::Playback},
    {"/4006", on_step_foward_playback, WebRight::Playback},
    {"/4007", on_fastforward_playback, WebRight::Playback},
    {"/4008", on_slowforward_playback, WebRight::Playback},
    {"/4009", on_jump_playback, WebRight::Playback},
    {"/4010", on_start_live, WebRight::LiveView},
    {"/4011", on_stop_live, WebRight::LiveView},
    {"/4012", on_stop_all_live, WebRight::LiveView},
    {"/4013", on_download_playback, WebRight::Playback},
    {"/4014", on_log_channel_action, WebRight::Playback},
    {"/4015", on_check_channel, WebRight::Playback},
    {"/4016", on_check_channel2, WebRight::Playback},
    {"/4017", on_log_channel_action2, WebRight::Playback},
    {"/4018", on_get_rtsp_addr, WebRight::LiveView},
    {"/4019", on_check_download_idle, WebRight::Playback},
    {"/4020", on_start_playback_mask, WebRight::Playback},
    {"/4021", on_get_extern_port, WebRight::LiveView},
    {"/4022", on_set_speed_playback, WebRight::Playback},
    {"/4023", on_get_playback_record_page, WebRight::Playback},
    {"/4024", on_log_live_view, WebRight::LiveView},
    {"/4025", on_set_playback_transcode, WebRight::Playback},
    {"/4026", on_get_playback_transcode_state, WebRight::Playback},
    {"/4027", on_stop_download_playback, WebRight::Playback},
};

} // namespace

NVR_WEB_TABLE(kWebTableStream, stream_web_res)
