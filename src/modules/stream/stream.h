// Live view and playback: handlers of the stream table, the module's reply
// callback and its decoders, and the helpers the handlers share.
#pragma once

#include <json-c/json.h>

#include <cstdint>
#include <initializer_list>

#include "core/reply_reader.h"
#include "front/dispatchreq.h"
#include "modules/stream/stream_records.h"

// Live pictures: image adjustments, live streams, addresses and ports.
int on_get_live_image(char *text);
int on_set_live_image(char *text);
int on_reset_live_image(char *text);
int on_start_live(char *text);
int on_stop_live(char *text);
int on_stop_all_live(char *text);
int on_get_rtsp_addr(char *text);
int on_get_extern_port(char *text);

// Recording search and playback start.
int on_search_playback_record(char *text);
int on_get_playback_record_page(char *text);
int on_start_playback(char *text);
int on_start_playback_mask(char *text);

// Control of running playback sessions.
int on_step_playback_batch(char *text);
int on_get_playback_busy(char *text);
int on_get_playback_time(char *text);
int on_stop_playback(char *text);
int on_pause_playback(char *text);
int on_resume_playback(char *text);
int on_step_foward_playback(char *text);
int on_fastforward_playback(char *text);
int on_slowforward_playback(char *text);
int on_jump_playback(char *text);
int on_set_speed_playback(char *text);
int on_set_playback_transcode(char *text);
int on_get_playback_transcode_state(char *text);

// Recording export as an AVI file, its idle check and its cancel.
int on_download_playback(char *text);
int on_check_download_idle(char *text);
int on_stop_download_playback(char *text);

// Channel actions: log entries and checks.
int on_log_channel_action(char *text);
int on_check_channel(char *text);
int on_check_channel2(char *text);
int on_log_channel_action2(char *text);
int on_log_live_view(char *text);

// The module's reply callback: finds the decoder of the reply code in the
// module's decoder table.
int on_stream_callback(void *context, const char *header, const char *payload);

// A reply decoder of the module's callback. Decoders read only inside the
// payload: one too short for what they read is no reply.
using StreamDecoder = int (*)(const ReplyReader &reply);

int on_get_live_image_cb(const ReplyReader &reply);
int on_start_live_cb(const ReplyReader &reply);
int on_get_rtsp_addr_cb(const ReplyReader &reply);
int on_get_extern_port_cb(const ReplyReader &reply);
int on_search_playback_record_cb(const ReplyReader &reply);
int on_start_playback_cb(const ReplyReader &reply);
int on_start_playback_mask_cb(const ReplyReader &reply);
int on_get_playback_stream_cb(const ReplyReader &reply);
int on_get_playback_busy_cb(const ReplyReader &reply);
int on_get_playback_time_cb(const ReplyReader &reply);
int on_jump_playback_cb(const ReplyReader &reply);
int on_set_playback_transcode_cb(const ReplyReader &reply);
int on_get_playback_transcode_state_cb(const ReplyReader &reply);
int on_get_download_playtime_cb(const ReplyReader &reply);

// ---- Shared by the handlers (stream_ipc.cpp) -------------------------------

// Sends `code` and waits; unless a decoder answered and set the done flag
// to 1, writes the JSON generic error (a flag of 2 is the core daemon's
// failure). The final done flag.
int stream_request(int code, const void *payload, int length);
// Sends without waiting.
void stream_notify(int code, const void *payload, int length);
// Writes `answer` as JSON and sets the done flag to 1.
int stream_write_answer(json_object *answer);
// The same for {"status": `status`}.
int stream_write_status(const char *status);

// The playback session just started, kept between the start and the
// request for its stream: the reply to that request quotes its play time.
void playback_save_session(int32_t sid, const char *play_time);
int32_t playback_saved_sid();
const char *playback_saved_play_time();

// A live stream start whose reply reported success is logged by the
// handler after the wait (the reply arrives on the socket's thread, which
// cannot send): the decoder notes its object here.
void live_note_started(int32_t object);
// True (and the object) when one was noted since the last call.
bool live_take_started(int32_t *object);

// ---- Request parsing (stream_lists.cpp) ------------------------------------

// An integer key of a JSON request and where it goes.
struct IntKey {
    const char *key;
    int32_t *out;
};
// True when every key holds an integer (stored in its place).
bool stream_get_ints(json_object *request, std::initializer_list<IntKey> keys);

// A channel of this module: 0 to kStreamChannels - 1.
bool stream_channel_valid(int channel);
// A parameter text holding one decimal channel of this module.
bool stream_channel_text(const char *text, int *channel);

// Fills `first` (and `second`, for parallel arrays) with the integers of the
// arrays' elements 0 to min(`limit`, every array's length, 64) - 1, in
// order. An element that is not an integer leaves its entry (of both
// arrays) out. The number of entries, or -1 when `keep` refuses a `first`
// value: the whole list is refused.
int gather_list(json_object *first_array, int32_t *first, json_object *second_array, int32_t *second,
                int limit, bool (*keep)(int32_t value) = nullptr);

// The list of "num" sessions of the array under `ids_key`; false when
// either is missing.
bool session_list_from_request(json_object *request, const char *ids_key, playback_session_list *list);

// The channel mask (bit n for channel n) of `count` channels.
uint64_t stream_channel_mask(const int32_t *channels, int count);
