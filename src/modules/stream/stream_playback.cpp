// Recording search and playback start: the search of a channel's
// recordings and its further pages, and the two-step start of a playback
// (open the session, then ask for its stream) of one channel or of several
// channels in step.
#include <cstring>
#include <ctime>

#include "codecs/channel_db.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "core/ipc.h"
#include "front/access_gate.h"
#include "modules/stream/stream.h"
#include "platform/confdb/confdb.h"

namespace {

const WireField kSectionFields[] = {
    WIRE_TEXT("startTime", record_section, start_time),
    WIRE_TEXT("endTime", record_section, end_time),
    WIRE_INT("recordType", record_section, record_type),
    WIRE_INT("lock", record_section, lock),
};
constexpr WireLayout kSection = wire_layout(kSectionFields, sizeof(record_section));

const WireField kStreamHeadFields[] = {
    WIRE_INT("sessionId", playback_stream_reply, sid),
    WIRE_TEXT("sourcePath", playback_stream_reply, source_path),
    WIRE_INT("port", playback_stream_reply, port),
};
const WireField kStreamPortFields[] = {
    WIRE_INT("external_port", playback_stream_reply, external_port),
    WIRE_INT("external_http_port", playback_stream_reply, external_http_port),
    WIRE_INT("ddns_port", playback_stream_reply, ddns_port),
    WIRE_INT("ddns_http_port", playback_stream_reply, ddns_http_port),
};
constexpr WireLayout kStreamHead = wire_layout(kStreamHeadFields, sizeof(playback_stream_reply));
constexpr WireLayout kStreamPorts = wire_layout(kStreamPortFields, sizeof(playback_stream_reply));

// A session still open from an earlier search is closed before a new one.
void close_session(int32_t sid)
{
    playback_session_list list{};
    list.sid[0] = sid;
    list.count = 1;
    stream_notify(kMsgClosePlayback, &list, sizeof list);
    stream_notify(kMsgStopSession, &sid, sizeof sid);
}

// One character per channel of the recorder: '1' for `channel`.
void select_channel(record_search_request *search, int channel)
{
    const int channels = read_max_cameras(ZQDB_PATH);
    for (int index = 0; index < channels && index < static_cast<int>(sizeof search->channels); ++index)
        search->channels[index] = index == channel ? '1' : '0';
}

bool get_text(json_object *request, const char *key, char (&field)[kTimeTextSize])
{
    return on_cgi_get_string_from_json(request, key, field, sizeof field) == 0;
}

// Second step of a start: the stream of the saved session, answered by its
// reply; then the start is logged under `object`.
void request_playback_stream(int object)
{
    const int32_t sid = playback_saved_sid();
    stream_request(kMsgPlaybackStream, &sid, sizeof sid);
    cgi_send_operation_log(kLogSubPlayback, kLogParamStream, object);
}

// The synchronous start of the channels of the mask words at the play
// time, which must be a valid local time.
bool mask_start_from_request(json_object *request, playback_mask_request *start)
{
    static const char *const kMaskKeys[kPlaybackMaskWords] = {"mask0", "mask1", "mask2", "mask3",
                                                              "mask4", "mask5", "mask6", "mask7"};
    memset(start, 0, sizeof *start);
    for (int word = 0; word < kPlaybackMaskWords; ++word)
        if (!stream_get_ints(request, {{kMaskKeys[word], &start->mask[word]}}))
            return false;
    struct tm when;
    if (!get_text(request, "playTime", start->play_time) || !param_time_text(start->play_time, &when))
        return false;
    when.tm_isdst = -1;
    const time_t seconds = mktime(&when);
    if (seconds == static_cast<time_t>(-1))
        return false;
    start->play_seconds = static_cast<int32_t>(seconds);
    return true;
}

} // namespace

int on_search_playback_record(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int32_t channel = -1;
    int32_t sid = -1;
    int32_t stream_type = 0;
    record_search_request search{};
    if (!request ||
        !stream_get_ints(request.get(),
                         {{"channelId", &channel}, {"sid", &sid}, {"streamType", &stream_type}}) ||
        !get_text(request.get(), "time", search.start_time) ||
        !get_text(request.get(), "endTime", search.end_time))
        return -1;
    if (!stream_channel_valid(channel) || !cgi_channel_admits(WebRight::Playback, channel))
        return -1;
    select_channel(&search, channel);
    if (sid >= 0)
        close_session(sid);
    search.one = 1;
    search.main_stream = stream_type == 1 ? 1 : 0;
    search.minus_one[0] = search.minus_one[1] = -1;
    stream_request(kMsgSearchRecords, &search, sizeof search);
    return 0;
}

int on_get_playback_record_page(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    record_page_request page{};
    if (!request || !stream_get_ints(request.get(), {{"sid", &page.sid}, {"page", &page.page}}))
        return -1;
    stream_request(kMsgNextRecordPage, &page, sizeof page);
    return 0;
}

// {"status", "camId" of the last section, "sectionNum", "sid" of the first,
// "section": [...]}; no section at all is {"status": "NO MATCHES"}.
int on_search_playback_record_cb(const ReplyReader &reply)
{
    const size_t count = reply.count(sizeof(record_section));
    if (count == 0)
        return stream_write_status("NO MATCHES");
    record_section first;
    record_section last;
    reply.record(0, &first);
    reply.record(count - 1, &last);
    const JsonPtr sections = json_new_array();
    for (size_t index = 0; index < count; ++index) {
        record_section section;
        reply.record(index, &section);
        json_object *entry = json_object_new_object();
        wire_add_fields(entry, &section, kSection);
        json_object_array_add(sections.get(), entry);
    }
    const JsonPtr answer = json_new_object();
    json_add_string(answer.get(), "status", "OK");
    json_add_int(answer.get(), "camId", last.cam_id);
    json_add_int(answer.get(), "sectionNum", static_cast<int>(count));
    json_add_int(answer.get(), "sid", first.sid);
    json_object_object_add(answer.get(), "section", json_object_get(sections.get()));
    return stream_write_answer(answer.get());
}

int on_start_playback(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    playback_start_request start{};
    if (!request || !stream_get_ints(request.get(), {{"channelId", &start.channel}, {"sid", &start.sid}}) ||
        !get_text(request.get(), "playTime", start.play_time) ||
        !get_text(request.get(), "startTime", start.start_time) ||
        !get_text(request.get(), "endTime", start.end_time))
        return -1;
    if (!stream_channel_valid(start.channel) || !cgi_channel_admits(WebRight::Playback, start.channel))
        return -1;
    if (stream_request(kMsgStartPlayback, &start, sizeof start) != 1)
        return -1;
    playback_save_session(start.sid, start.play_time);
    request_playback_stream(start.channel + 1);
    return 0;
}

// Writes nothing: 2 when the core refused the start, else 1.
int on_start_playback_cb(const ReplyReader &reply)
{
    const bool refused = reply.size() >= sizeof(int32_t) && reply.int32_at(0) < 0;
    cgi_set_callback_done(refused ? 2 : 1);
    return 0;
}

// Invalid requests are not answered. The channels are those of the two
// low mask words; the higher words name no channel of this recorder.
int on_start_playback_mask(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    playback_mask_request start;
    if (!request || !mask_start_from_request(request.get(), &start))
        return -1;
    const uint64_t channels = static_cast<uint32_t>(start.mask[0]) |
                              static_cast<uint64_t>(static_cast<uint32_t>(start.mask[1])) << 32;
    if (!cgi_channels_admit(WebRight::Playback, channels))
        return -1;
    if (stream_request(kMsgStartPlaybackMask, &start, sizeof start) != 1)
        return -1;
    request_playback_stream(0);
    return 0;
}

// Saves the started session (2 when the core started none); writes nothing.
int on_start_playback_mask_cb(const ReplyReader &reply)
{
    playback_mask_reply started;
    if (!reply.record(0, &started))
        return -1;
    if (started.status != 0) {
        cgi_set_callback_done(2);
        return 0;
    }
    char play_time[kTimeTextSize];
    copy_field_text(play_time, sizeof play_time, started.play_time, sizeof started.play_time);
    playback_save_session(started.sid, play_time);
    cgi_set_callback_done(1);
    return 0;
}

int on_get_playback_stream_cb(const ReplyReader &reply)
{
    playback_stream_reply stream;
    if (!reply.record(0, &stream))
        return -1;
    const JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), &stream, kStreamHead);
    json_add_string(answer.get(), "status", "OK");
    json_add_string(answer.get(), "realPlayTime", playback_saved_play_time());
    wire_add_fields(answer.get(), &stream, kStreamPorts);
    return stream_write_answer(answer.get());
}
