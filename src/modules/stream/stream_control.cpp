// Control of running playback sessions (stop, pause, resume, step, speed,
// jump, transcoding) and the channel actions the playback page logs.
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/access_gate.h"
#include "front/web_utils.h"
#include "modules/stream/stream.h"

namespace {

constexpr int32_t kSingleSessionSpeed = 2;

int answer_ok()
{
    cgi_writeback_webserver(kRespText, "OK");
    return 0;
}

// {"num", "sid": [ids]} sent as a session list with `code`.
int send_session_list(const char *text, int code)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    playback_session_list list;
    if (!request || !session_list_from_request(request.get(), "sid", &list))
        return -1;
    stream_notify(code, &list, sizeof list);
    return answer_ok();
}

// A decimal channel the session may play back; false (nothing written, or
// the refusal) otherwise.
bool playback_channel_text(const char *text, int *channel)
{
    return stream_channel_text(text, channel) && cgi_channel_admits(WebRight::Playback, *channel);
}

int log_channel_action(const char *text, int sub_type)
{
    int channel = -1;
    if (!playback_channel_text(text, &channel))
        return -1;
    cgi_send_operation_log(sub_type, kLogParamStream, channel + 1);
    return answer_ok();
}

} // namespace

// The ids travel in order with a count of 0.
int on_step_playback_batch(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    json_object *ids = request ? json_value_array(json_get_member(request.get(), "sessionId")) : nullptr;
    if (ids == nullptr)
        return -1;
    playback_session_list list{};
    gather_list(ids, list.sid, nullptr, nullptr, kStreamListMax);
    stream_notify(kMsgStepPlaybackBatch, &list, sizeof list);
    return answer_ok();
}

int on_get_playback_busy(char * /*text*/)
{
    stream_request(kMsgPlaybackBusy, nullptr, 0);
    return 0;
}

int on_get_playback_time(char *text)
{
    int32_t sid = -1;
    if (!param_text_int(text, &sid))
        return -1;
    stream_request(kMsgPlaybackTime, &sid, sizeof sid);
    return 0;
}

// Each listed session's stream is stopped, then the sessions; "close" 1
// closes them as well.
int on_stop_playback(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    playback_session_list list;
    if (!request || !session_list_from_request(request.get(), "sid", &list))
        return -1;
    for (int index = 0; index < list.count; ++index)
        if (list.sid[index] >= 0)
            stream_notify(kMsgStopSession, &list.sid[index], sizeof list.sid[index]);
    stream_notify(kMsgStopPlayback, &list, sizeof list);
    if (json_member_int(request.get(), "close") == 1)
        stream_notify(kMsgClosePlayback, &list, sizeof list);
    return answer_ok();
}

int on_pause_playback(char *text) { return send_session_list(text, kMsgPausePlayback); }

int on_step_foward_playback(char *text) { return send_session_list(text, kMsgStepPlayback); }

int on_resume_playback(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int32_t resume[2] = {};
    if (!request || !stream_get_ints(request.get(), {{"sid", &resume[0]}, {"direction", &resume[1]}}))
        return -1;
    stream_notify(kMsgResumePlayback, resume, sizeof resume);
    return answer_ok();
}

// Every session at its own speed; "chind" must be given and not negative.
int on_fastforward_playback(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int32_t chind = -1;
    int32_t num = 0;
    json_object *ids = request ? json_value_array(json_get_member(request.get(), "sessionId")) : nullptr;
    json_object *speeds = request ? json_value_array(json_get_member(request.get(), "speed")) : nullptr;
    if (ids == nullptr || speeds == nullptr ||
        !stream_get_ints(request.get(), {{"chind", &chind}, {"num", &num}}) || chind < 0)
        return -1;
    playback_session_list list{};
    list.count = gather_list(ids, list.sid, speeds, list.speed, num);
    stream_notify(kMsgFastForward, &list, sizeof list);
    return answer_ok();
}

// The channels of "chind" at one speed; an id outside the module's
// channels refuses the request.
int on_slowforward_playback(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    json_object *channels = request ? json_value_array(json_get_member(request.get(), "chind")) : nullptr;
    playback_channel_list list{};
    int32_t num = 0;
    if (channels == nullptr || !stream_get_ints(request.get(), {{"num", &num}, {"speed", &list.speed}}))
        return -1;
    list.count = gather_list(channels, list.entries, nullptr, nullptr, num,
                             [](int32_t channel) { return stream_channel_valid(channel); });
    if (list.count < 0 ||
        !cgi_channels_admit(WebRight::Playback, stream_channel_mask(list.entries, list.count)))
        return -1;
    stream_notify(kMsgSlowForward, &list, sizeof list);
    return answer_ok();
}

// Sessions paired with their channels; a channel that is not one of the
// module's refuses the request, and no pair at all is the error response.
int on_jump_playback(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    json_object *sids = request ? json_value_array(json_get_member(request.get(), "sid")) : nullptr;
    json_object *channels = request ? json_value_array(json_get_member(request.get(), "chnid")) : nullptr;
    playback_jump_request jump{};
    if (sids == nullptr || channels == nullptr ||
        on_cgi_get_string_from_json(request.get(), "jumpTime", jump.jump_time, sizeof jump.jump_time) != 0)
        return -1;
    const int num = json_member_int(request.get(), "num", 0);
    jump.count = gather_list(channels, jump.channel, sids, jump.sid, num,
                             [](int32_t channel) { return stream_channel_valid(channel); });
    if (jump.count < 0)
        return -1;
    if (jump.count == 0)
        return cgi_error_to_webserver(kRespJson);
    if (!cgi_channels_admit(WebRight::Playback, stream_channel_mask(jump.channel, jump.count)))
        return -1;
    stream_request(kMsgJumpPlayback, &jump, sizeof jump);
    return 0;
}

// Speed 2 of a single session is marked as such for the core daemon.
int on_set_speed_playback(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    json_object *sids = request ? json_value_array(json_get_member(request.get(), "sid")) : nullptr;
    playback_channel_list list{};
    int32_t num = 0;
    if (sids == nullptr || !stream_get_ints(request.get(), {{"num", &num}, {"speed", &list.speed}}))
        return -1;
    list.count = gather_list(sids, list.entries, nullptr, nullptr, num);
    list.single_session = list.speed == kSingleSessionSpeed && list.count == 1 ? 1 : 0;
    stream_notify(kMsgSetPlaybackSpeed, &list, sizeof list);
    return answer_ok();
}

int on_set_playback_transcode(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    playback_transcode transcode{};
    if (!request || !stream_get_ints(request.get(), {{"ch", &transcode.ch},
                                                     {"sid", &transcode.sid},
                                                     {"trancodingmode", &transcode.mode},
                                                     {"framesize", &transcode.framesize},
                                                     {"bitrate", &transcode.bitrate},
                                                     {"framerate", &transcode.framerate}}))
        return -1;
    if (!stream_channel_valid(transcode.ch) || !cgi_channel_admits(WebRight::Playback, transcode.ch))
        return -1;
    stream_request(kMsgSetTranscode, &transcode, sizeof transcode);
    return 0;
}

int on_get_playback_transcode_state(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int32_t query[2] = {};
    if (!request || !stream_get_ints(request.get(), {{"ch", &query[0]}, {"sid", &query[1]}}))
        return -1;
    if (!stream_channel_valid(query[0]) || !cgi_channel_admits(WebRight::Playback, query[0]))
        return -1;
    stream_request(kMsgTranscodeState, query, sizeof query);
    return 0;
}

int on_log_channel_action(char *text) { return log_channel_action(text, kLogSubChannelAction); }

int on_log_channel_action2(char *text) { return log_channel_action(text, kLogSubChannelAction2); }

int on_check_channel(char *text)
{
    int channel = -1;
    return playback_channel_text(text, &channel) ? answer_ok() : -1;
}

int on_check_channel2(char *text) { return on_check_channel(text); }
