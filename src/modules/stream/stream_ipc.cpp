// The stream module's reply callback, its decoder table, the decoders of
// the short status replies and the helpers every stream handler uses.
#include <cstdio>
#include <cstring>
#include <ctime>

#include "codecs/json_util.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/stream/stream.h"

namespace {

struct StreamReply {
    int code;
    StreamDecoder decode;
};

// Replies of the core daemon's playback engine that no request of this
// module waits for (a day's per-minute recording map, play and jump
// times). They are taken in and dropped: decoding one would write a
// response into whatever request the channel serves.
int unawaited(const ReplyReader &) { return 0; }

const StreamReply kStreamReplies[] = {
    {kReplyLiveImage, on_get_live_image_cb},
    {kReplyPlaybackBusy, on_get_playback_busy_cb},
    {kReplyPlaybackTime, on_get_playback_time_cb},
    {kReplySearchRecords, on_search_playback_record_cb},
    {kReplyNextRecordPage, on_search_playback_record_cb},
    {kReplyStartPlayback, on_start_playback_cb},
    {kReplyJumpPlayback, on_jump_playback_cb},
    {kReplySetTranscode, on_set_playback_transcode_cb},
    {kReplyTranscodeState, on_get_playback_transcode_state_cb},
    {kReplyStartPlaybackMask, on_start_playback_mask_cb},
    {kReplyStartLive, on_start_live_cb},
    {kReplyPlaybackStream, on_get_playback_stream_cb},
    {kReplyRtspAddresses, on_get_rtsp_addr_cb},
    {kReplyExternPorts, on_get_extern_port_cb},
    {kReplyExportChunk, on_get_download_playtime_cb},
    {6148, unawaited},
    {8101, unawaited},
    {8102, unawaited},
    {8104, unawaited},
    {8115, unawaited},
    {8116, unawaited},
    {8501, unawaited},
};

// The playback session between its start and the request for its stream.
int32_t g_saved_sid = -1;
char g_saved_play_time[kTimeTextSize];

// Object of the live start log entry a reply asked for.
bool g_live_started = false;
int32_t g_live_started_object = 0;

// {"status": "OK"} or {"status": <failure text>} for a status word.
int write_status(bool ok, const char *failure) { return stream_write_status(ok ? "OK" : failure); }

} // namespace

int on_stream_callback(void * /*context*/, const char *header, const char *payload)
{
    if (header == nullptr || payload == nullptr)
        return 0;
    const int code = ipc_reply_code(header);
    for (const StreamReply &row : kStreamReplies)
        if (row.code == code)
            return row.decode(ReplyReader(payload, ipc_reply_size(header)));
    return 0;
}

int stream_request(int code, const void *payload, int length)
{
    const int done = cgi_ipc_request(on_stream_callback, code, length, payload, kRespJson);
    // 0 already has its error; 2 is a failure the core daemon reported.
    if (done != 0 && done != 1)
        cgi_error_to_webserver(kRespJson);
    return done;
}

void stream_notify(int code, const void *payload, int length)
{
    cgi_ipc_notify(on_stream_callback, code, length, payload);
}

int stream_write_answer(json_object *answer)
{
    cgi_write_json(kRespJson, answer);
    cgi_set_callback_done(1);
    return 0;
}

int stream_write_status(const char *status)
{
    const JsonPtr answer = json_new_object();
    json_add_string(answer.get(), "status", status);
    return stream_write_answer(answer.get());
}

void playback_save_session(int32_t sid, const char *play_time)
{
    g_saved_sid = sid;
    snprintf(g_saved_play_time, sizeof g_saved_play_time, "%s", play_time != nullptr ? play_time : "");
}

int32_t playback_saved_sid() { return g_saved_sid; }

const char *playback_saved_play_time() { return g_saved_play_time; }

void live_note_started(int32_t object)
{
    g_live_started_object = object;
    g_live_started = true;
}

bool live_take_started(int32_t *object)
{
    const bool noted = g_live_started;
    *object = g_live_started_object;
    g_live_started = false;
    return noted;
}

int on_get_playback_busy_cb(const ReplyReader &reply)
{
    if (reply.size() < sizeof(int32_t))
        return -1;
    return write_status(reply.int32_at(0) == 0, "BUSY");
}

int on_jump_playback_cb(const ReplyReader &reply)
{
    if (reply.size() < sizeof(int32_t))
        return -1;
    return write_status(reply.int32_at(0) == 0, "ERROR");
}

// {"status": "OK", "curPlayTime": the local time of the reply's seconds};
// a time before 1 is the error response.
int on_get_playback_time_cb(const ReplyReader &reply)
{
    if (reply.size() < sizeof(int32_t))
        return -1;
    const time_t seconds = reply.int32_at(0);
    struct tm local {};
    char text[kTimeTextSize];
    if (seconds < 1 || localtime_r(&seconds, &local) == nullptr ||
        strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) == 0) {
        cgi_error_to_webserver(kRespJson);
        cgi_set_callback_done(1);
        return 0;
    }
    const JsonPtr answer = json_new_object();
    json_add_string(answer.get(), "status", "OK");
    json_add_string(answer.get(), "curPlayTime", text);
    return stream_write_answer(answer.get());
}

namespace {

int write_transcode_state(const ReplyReader &reply, bool with_status)
{
    playback_transcode_state state;
    if (!reply.record(0, &state))
        return -1;
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "ch", state.ch);
    json_add_int(answer.get(), "sid", state.sid);
    json_add_int(answer.get(), "state", state.state);
    if (with_status)
        json_add_string(answer.get(), "status", "OK");
    return stream_write_answer(answer.get());
}

} // namespace

int on_set_playback_transcode_cb(const ReplyReader &reply) { return write_transcode_state(reply, true); }

int on_get_playback_transcode_state_cb(const ReplyReader &reply)
{
    return write_transcode_state(reply, false);
}

int on_get_extern_port_cb(const ReplyReader &reply)
{
    extern_ports_reply ports;
    if (!reply.record(0, &ports))
        return -1;
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "upnp_extern_port", ports.upnp_extern_port);
    json_add_int(answer.get(), "ddns_extern_port", ports.ddns_extern_port);
    return stream_write_answer(answer.get());
}
