// Live view and playback part of the demo device: the image adjustments and
// live streams of the channels, a week of recordings on the first three
// channels (searchable by time), and playback sessions that start, pause,
// resume, step, change speed, jump and close, with a play time that
// advances while they play.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "codecs/channel_db.h"
#include "demo.h"
#include "modules/stream/stream_records.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr const char *kTimeFormat = "%Y-%m-%d %H:%M:%S";
constexpr const char *kDeviceAddress = "192.168.1.200";
constexpr int32_t kRtspPort = 554;
constexpr int32_t kExternalRtspPort = 10554;
constexpr int32_t kExternalHttpPort = 10080;
constexpr int32_t kHttpPort = 80;
constexpr int kRecordedDays = 7;
constexpr size_t kSectionsPerPage = 100;
constexpr int kMaxPlayingSessions = 4;
constexpr size_t kMaxSessions = 32;
constexpr int32_t kMidpoint = 128;

// Record types as the demo recorder marks its sections.
constexpr int32_t kRecordRegular = 0;
constexpr int32_t kRecordMotion = 1;

struct Section {
    time_t start;
    time_t end;
    int32_t type;
    int32_t lock;
};

// A search result that playback sessions are started from, or a session
// started on several channels in step.
struct Session {
    int32_t channel = -1; // -1: the channels of a synchronous start
    std::vector<Section> sections;
    bool started = false;
    bool playing = false;
    double rate = 1.0;
    time_t position = 0; // play time at `since`
    time_t since = 0;    // wall clock time of the last change
    int32_t transcode = 0;
};

std::map<int32_t, Session> g_sessions;
int32_t g_next_sid = 1;
std::map<int32_t, image_adjust> g_images; // by channel

time_t now() { return time(nullptr); }

time_t start_of_day(time_t when)
{
    struct tm local {};
    localtime_r(&when, &local);
    local.tm_hour = local.tm_min = local.tm_sec = 0;
    local.tm_isdst = -1;
    return mktime(&local);
}

// The recordings of one day of a channel: the front door records around the
// clock in hourly files (noon locked), the garage records motion clips in
// the daytime, the back yard records in the daytime in two-hour files.
void add_day(int32_t channel, time_t day, std::vector<Section> *out)
{
    constexpr time_t kHour = 3600;
    switch (channel) {
    case 0:
        for (int hour = 0; hour < 24; ++hour)
            out->push_back(
                {day + hour * kHour, day + (hour + 1) * kHour, kRecordRegular, hour == 12 ? 1 : 0});
        break;
    case 1:
        for (time_t at = day + 7 * kHour; at < day + 19 * kHour; at += 45 * 60)
            out->push_back({at, at + 3 * 60, kRecordMotion, 0});
        break;
    case 2:
        for (int hour = 6; hour < 20; hour += 2)
            out->push_back({day + hour * kHour, day + (hour + 2) * kHour, kRecordRegular, 0});
        break;
    default:
        break;
    }
}

// Sections of `channel` overlapping [from, to], cut to it and to now.
std::vector<Section> recordings(int32_t channel, time_t from, time_t to)
{
    std::vector<Section> all;
    const time_t today = start_of_day(now());
    for (int back = kRecordedDays - 1; back >= 0; --back)
        add_day(channel, start_of_day(today - back * 86400 + 43200), &all);
    const time_t until = std::min(to, now());
    std::vector<Section> found;
    for (Section section : all) {
        section.start = std::max(section.start, from);
        section.end = std::min(section.end, until);
        if (section.start < section.end)
            found.push_back(section);
    }
    return found;
}

bool parse_time(const char *text, size_t width, time_t *out)
{
    const std::string bounded(text, strnlen(text, width));
    struct tm local {};
    const char *end = strptime(bounded.c_str(), kTimeFormat, &local);
    if (end == nullptr || *end != '\0')
        return false;
    local.tm_isdst = -1;
    *out = mktime(&local);
    return *out != static_cast<time_t>(-1);
}

void format_time(time_t when, char *out, size_t size)
{
    struct tm local {};
    localtime_r(&when, &local);
    strftime(out, size, kTimeFormat, &local);
}

Session *session_of(int32_t sid)
{
    const auto found = g_sessions.find(sid);
    return found != g_sessions.end() ? &found->second : nullptr;
}

// The play time stops at the end of the last recorded section.
time_t play_time(const Session &session)
{
    time_t at = session.position;
    if (session.playing)
        at += static_cast<time_t>(static_cast<double>(now() - session.since) * session.rate);
    return session.sections.empty() ? at : std::min(at, session.sections.back().end);
}

// Fixes the play time before a change of state.
void settle(Session *session)
{
    session->position = play_time(*session);
    session->since = now();
}

int playing_sessions()
{
    return static_cast<int>(std::count_if(g_sessions.begin(), g_sessions.end(),
                                          [](const auto &entry) { return entry.second.playing; }));
}

// ---- Live pictures ------------------------------------------------------------

image_adjust &image_of(int32_t channel)
{
    auto found = g_images.find(channel);
    if (found == g_images.end())
        found = g_images
                    .emplace(channel,
                             image_adjust{channel, kMidpoint, kMidpoint, kMidpoint, kMidpoint, kMidpoint, 0})
                    .first;
    return found->second;
}

void on_get_image(const CoreMessage &request, Answer &answer)
{
    int32_t channel = -1;
    if (!demo_payload_as(request, &channel))
        return;
    live_image_reply reply{};
    if (channel >= 0 && channel < kStreamChannels)
        reply.adjust = image_of(channel);
    else
        reply.status = -1;
    answer.push_back(AnswerStep::reply(kReplyLiveImage, demo_bytes(&reply, sizeof reply)));
}

void on_set_image(const CoreMessage &request, Answer &)
{
    image_adjust sent;
    if (demo_payload_as(request, &sent) && sent.channel >= 0 && sent.channel < kStreamChannels)
        image_of(sent.channel) = sent;
}

bool has_camera(int32_t channel)
{
    camera_record camera;
    return read_camera(ZQDB_PATH, &camera, channel) == kRecFound && camera.enable == 1 &&
           camera.ipAddr[0] != '\0';
}

void fill_stream(stream_address *stream, int32_t channel, const char *kind)
{
    stream->port = kRtspPort;
    stream->external_port = kExternalRtspPort;
    stream->ddns_port = kRtspPort;
    stream->external_http_port = kExternalHttpPort;
    stream->ddns_http_port = kHttpPort;
    snprintf(stream->username, sizeof stream->username, "admin");
    snprintf(stream->password, sizeof stream->password, "demo1234");
    snprintf(stream->res_path, sizeof stream->res_path, "/ch%02d/%s", channel + 1, kind);
    snprintf(stream->rtsp_addr, sizeof stream->rtsp_addr, "rtsp://%s:%d%s", kDeviceAddress, kRtspPort,
             stream->res_path);
}

// 3500: a channel with a camera streams; any other cannot be started.
void on_start_live(const CoreMessage &request, Answer &answer)
{
    live_stream_request sent;
    if (!demo_payload_as(request, &sent))
        return;
    live_start_reply reply{};
    reply.channel = sent.id;
    fill_stream(&reply.stream, sent.id, sent.stream_type == 0 ? "main" : "sub");
    if (!has_camera(sent.id))
        reply.stream.status = -1;
    answer.push_back(AnswerStep::reply(kReplyStartLive, demo_bytes(&reply, sizeof reply)));
}

// 3503: one record per channel of the recorder.
void on_rtsp_addresses(const CoreMessage &, Answer &answer)
{
    std::string records;
    const int channels = read_max_cameras(ZQDB_PATH);
    for (int32_t channel = 0; channel < channels; ++channel) {
        rtsp_address_record record{};
        record.channel = channel;
        camera_record camera;
        if (has_camera(channel) && read_camera(ZQDB_PATH, &camera, channel) == kRecFound) {
            const bool own = camera.mainrtspurl[0] != '\0';
            snprintf(record.ipc_main, sizeof record.ipc_main, "%s", camera.mainrtspurl);
            snprintf(record.ipc_sub, sizeof record.ipc_sub, "%s", camera.subrtspurl);
            if (!own) {
                snprintf(record.ipc_main, sizeof record.ipc_main, "rtsp://%s:%d/stream1", camera.ipAddr,
                         kRtspPort);
                snprintf(record.ipc_sub, sizeof record.ipc_sub, "rtsp://%s:%d/stream2", camera.ipAddr,
                         kRtspPort);
            }
        }
        fill_stream(&record.main, channel, "main");
        fill_stream(&record.sub, channel, "sub");
        records += demo_bytes(&record, sizeof record);
    }
    answer.push_back(AnswerStep::reply(kReplyRtspAddresses, records));
}

void on_extern_ports(const CoreMessage &, Answer &answer)
{
    const extern_ports_reply ports{kExternalRtspPort, kRtspPort};
    answer.push_back(AnswerStep::reply(kReplyExternPorts, demo_bytes(&ports, sizeof ports)));
}

// ---- Recording search -----------------------------------------------------

std::string section_page(int32_t sid, const Session &session, size_t page)
{
    std::string records;
    for (size_t index = page * kSectionsPerPage;
         index < session.sections.size() && index < (page + 1) * kSectionsPerPage; ++index) {
        const Section &section = session.sections[index];
        record_section record{};
        record.cam_id = session.channel;
        record.sid = sid;
        record.lock = section.lock;
        record.record_type = section.type;
        format_time(section.start, record.start_time, sizeof record.start_time);
        format_time(section.end, record.end_time, sizeof record.end_time);
        records += demo_bytes(&record, sizeof record);
    }
    return records;
}

// 1159: the first page of the sections of the selected channel; the search
// becomes a session that playback can be started from.
void on_search(const CoreMessage &request, Answer &answer)
{
    record_search_request search;
    if (!demo_payload_as(request, &search))
        return;
    const char *selected = static_cast<const char *>(memchr(search.channels, '1', sizeof search.channels));
    time_t from = 0;
    time_t to = 0;
    std::string records;
    if (selected != nullptr && parse_time(search.start_time, sizeof search.start_time, &from) &&
        parse_time(search.end_time, sizeof search.end_time, &to)) {
        Session session;
        session.channel = static_cast<int32_t>(selected - search.channels);
        session.sections = recordings(session.channel, from, to);
        if (!session.sections.empty()) {
            // The oldest searches make room, as the recorder keeps a few.
            while (g_sessions.size() >= kMaxSessions)
                g_sessions.erase(g_sessions.begin());
            const int32_t sid = g_next_sid++;
            records = section_page(sid, session, 0);
            g_sessions[sid] = std::move(session);
        }
    }
    answer.push_back(AnswerStep::reply(kReplySearchRecords, records));
}

void on_next_page(const CoreMessage &request, Answer &answer)
{
    record_page_request page;
    if (!demo_payload_as(request, &page))
        return;
    const Session *session = session_of(page.sid);
    std::string records;
    if (session != nullptr && page.page >= 0)
        records = section_page(page.sid, *session, static_cast<size_t>(page.page));
    answer.push_back(AnswerStep::reply(kReplyNextRecordPage, records));
}

// ---- Playback sessions --------------------------------------------------------

void start_playing(Session *session, time_t at)
{
    session->started = session->playing = true;
    session->rate = 1.0;
    session->position = at;
    session->since = now();
}

// 1162: plays the searched session from the play time.
void on_start_playback(const CoreMessage &request, Answer &answer)
{
    playback_start_request start;
    if (!demo_payload_as(request, &start))
        return;
    Session *session = session_of(start.sid);
    time_t at = 0;
    int32_t result = 0;
    if (session == nullptr || !parse_time(start.play_time, sizeof start.play_time, &at) ||
        playing_sessions() >= kMaxPlayingSessions)
        result = -1;
    else
        start_playing(session, at);
    answer.push_back(AnswerStep::reply(kReplyStartPlayback, demo_int32s({result})));
}

// 3109: the channels of the mask with recordings at the play time start in
// step as one new session.
void on_start_mask(const CoreMessage &request, Answer &answer)
{
    playback_mask_request start;
    if (!demo_payload_as(request, &start))
        return;
    playback_mask_reply reply{};
    memcpy(reply.play_time, start.play_time, sizeof reply.play_time);
    reply.play_time[sizeof reply.play_time - 1] = '\0';
    Session session;
    const time_t at = start.play_seconds;
    for (int32_t channel = 0; channel < 64; ++channel) {
        if ((start.mask[channel / 32] >> (channel % 32) & 1) == 0)
            continue;
        for (const Section &section : recordings(channel, at, at + 86400))
            session.sections.push_back(section);
    }
    std::sort(session.sections.begin(), session.sections.end(),
              [](const Section &a, const Section &b) { return a.start < b.start; });
    if (session.sections.empty() || playing_sessions() >= kMaxPlayingSessions) {
        reply.status = 1;
    } else {
        reply.sid = g_next_sid++;
        start_playing(&session, at);
        g_sessions[reply.sid] = std::move(session);
    }
    answer.push_back(AnswerStep::reply(kReplyStartPlaybackMask, demo_bytes(&reply, sizeof reply)));
}

// 3502: the stream of a started session.
void on_playback_stream(const CoreMessage &request, Answer &answer)
{
    int32_t sid = -1;
    if (!demo_payload_as(request, &sid))
        return;
    const Session *session = session_of(sid);
    if (session == nullptr || !session->started)
        return;
    playback_stream_reply reply{sid,       kRtspPort, kExternalRtspPort, kExternalHttpPort, kRtspPort,
                                kHttpPort, {}};
    snprintf(reply.source_path, sizeof reply.source_path, "/playback?session=%d", sid);
    answer.push_back(AnswerStep::reply(kReplyPlaybackStream, demo_bytes(&reply, sizeof reply)));
}

// 1153: seconds of the play time; 0 for a session that does not play.
void on_play_time(const CoreMessage &request, Answer &answer)
{
    int32_t sid = -1;
    if (!demo_payload_as(request, &sid))
        return;
    const Session *session = session_of(sid);
    const time_t at = session != nullptr && session->started ? play_time(*session) : 0;
    answer.push_back(AnswerStep::reply(kReplyPlaybackTime, demo_int32s({static_cast<int32_t>(at)})));
}

// Applies `change` to every started session of the first `count` ids.
template <typename Change> void for_sessions(const int32_t *sids, int32_t count, Change change)
{
    for (int32_t index = 0; index < std::min(count, kStreamListMax); ++index) {
        Session *session = session_of(sids[index]);
        if (session != nullptr && session->started) {
            settle(session);
            change(session, index);
        }
    }
}

void on_pause(const CoreMessage &request, Answer &)
{
    playback_session_list list;
    if (demo_payload_as(request, &list))
        for_sessions(list.sid, list.count, [](Session *session, int) { session->playing = false; });
}

void on_resume(const CoreMessage &request, Answer &)
{
    int32_t resume[2];
    if (demo_payload_as(request, &resume))
        for_sessions(resume, 1, [](Session *session, int) { session->playing = true; });
}

// One step is one second of recording; the session stays paused.
void step(Session *session, int)
{
    session->playing = false;
    session->position += 1;
}

void on_step(const CoreMessage &request, Answer &)
{
    playback_session_list list;
    if (demo_payload_as(request, &list))
        for_sessions(list.sid, list.count, step);
}

// 1113 carries no count: every listed id until the first free entry.
void on_step_batch(const CoreMessage &request, Answer &)
{
    playback_session_list list;
    if (!demo_payload_as(request, &list))
        return;
    const int32_t *end = std::find(list.sid, list.sid + kStreamListMax, 0);
    for_sessions(list.sid, static_cast<int32_t>(end - list.sid), step);
}

double rate_of(int32_t speed) { return std::clamp(static_cast<double>(speed), 1.0, 16.0); }

void on_fast_forward(const CoreMessage &request, Answer &)
{
    playback_session_list list;
    if (demo_payload_as(request, &list))
        for_sessions(list.sid, list.count, [&list](Session *session, int index) {
            session->rate = rate_of(list.speed[index]);
            session->playing = true;
        });
}

// 1149 names channels: their sessions play slower.
void on_slow_forward(const CoreMessage &request, Answer &)
{
    playback_channel_list list;
    if (!demo_payload_as(request, &list))
        return;
    const std::set<int32_t> channels(list.entries, list.entries + std::clamp(list.count, 0, kStreamListMax));
    for (auto &[sid, session] : g_sessions) {
        if (session.started && channels.count(session.channel) != 0) {
            settle(&session);
            session.rate = 1.0 / rate_of(list.speed);
            session.playing = true;
        }
    }
}

void on_set_speed(const CoreMessage &request, Answer &)
{
    playback_channel_list list;
    if (demo_payload_as(request, &list))
        for_sessions(list.entries, list.count,
                     [&list](Session *session, int) { session->rate = rate_of(list.speed); });
}

// 1171: every listed session to the jump time; 1 when one of them is not
// playing or the time does not parse.
void on_jump(const CoreMessage &request, Answer &answer)
{
    playback_jump_request jump;
    if (!demo_payload_as(request, &jump))
        return;
    time_t at = 0;
    int32_t result = parse_time(jump.jump_time, sizeof jump.jump_time, &at) ? 0 : 1;
    for (int32_t index = 0; result == 0 && index < std::min(jump.count, kStreamListMax); ++index)
        if (Session *session = session_of(jump.sid[index]); session == nullptr || !session->started)
            result = 1;
    if (result == 0)
        for_sessions(jump.sid, jump.count, [at](Session *session, int) { session->position = at; });
    answer.push_back(AnswerStep::reply(kReplyJumpPlayback, demo_int32s({result})));
}

// 1164 stops the sessions, 1160 forgets them; 1903 stops one stream.
void on_stop(const CoreMessage &request, Answer &)
{
    playback_session_list list;
    if (demo_payload_as(request, &list))
        for_sessions(list.sid, list.count, [](Session *session, int) { session->playing = false; });
}

void on_close(const CoreMessage &request, Answer &)
{
    playback_session_list list;
    if (!demo_payload_as(request, &list))
        return;
    for (int32_t index = 0; index < std::clamp(list.count, 0, kStreamListMax); ++index)
        g_sessions.erase(list.sid[index]);
}

void on_stop_session(const CoreMessage &request, Answer &)
{
    int32_t sid = -1;
    if (demo_payload_as(request, &sid))
        for_sessions(&sid, 1, [](Session *session, int) { session->playing = false; });
}

void on_busy(const CoreMessage &, Answer &answer)
{
    answer.push_back(AnswerStep::reply(kReplyPlaybackBusy,
                                       demo_int32s({playing_sessions() >= kMaxPlayingSessions ? 1 : 0})));
}

void on_set_transcode(const CoreMessage &request, Answer &answer)
{
    playback_transcode sent;
    if (!demo_payload_as(request, &sent))
        return;
    Session *session = session_of(sent.sid);
    if (session != nullptr)
        session->transcode = sent.mode != 0 ? 1 : 0;
    const playback_transcode_state state{sent.ch, sent.sid, session != nullptr ? session->transcode : 0};
    answer.push_back(AnswerStep::reply(kReplySetTranscode, demo_bytes(&state, sizeof state)));
}

void on_transcode_state(const CoreMessage &request, Answer &answer)
{
    int32_t query[2];
    if (!demo_payload_as(request, &query))
        return;
    const Session *session = session_of(query[1]);
    const playback_transcode_state state{query[0], query[1], session != nullptr ? session->transcode : 0};
    answer.push_back(AnswerStep::reply(kReplyTranscodeState, demo_bytes(&state, sizeof state)));
}

void accept(const CoreMessage &, Answer &) {}

const DemoRow kStreamRows[] = {
    {kMsgGetLiveImage, on_get_image},
    {kMsgSetLiveImage, on_set_image},
    {kMsgStartLive, on_start_live},
    {kMsgStopLive, accept},
    {kMsgStopAllLive, accept},
    {kMsgRtspAddresses, on_rtsp_addresses},
    {kMsgExternPorts, on_extern_ports},
    {kMsgSearchRecords, on_search},
    {kMsgNextRecordPage, on_next_page},
    {kMsgStartPlayback, on_start_playback},
    {kMsgStartPlaybackMask, on_start_mask},
    {kMsgPlaybackStream, on_playback_stream},
    {kMsgPlaybackTime, on_play_time},
    {kMsgPausePlayback, on_pause},
    {kMsgResumePlayback, on_resume},
    {kMsgStepPlayback, on_step},
    {kMsgStepPlaybackBatch, on_step_batch},
    {kMsgFastForward, on_fast_forward},
    {kMsgSlowForward, on_slow_forward},
    {kMsgSetPlaybackSpeed, on_set_speed},
    {kMsgJumpPlayback, on_jump},
    {kMsgStopPlayback, on_stop},
    {kMsgClosePlayback, on_close},
    {kMsgStopSession, on_stop_session},
    {kMsgPlaybackBusy, on_busy},
    {kMsgSetTranscode, on_set_transcode},
    {kMsgTranscodeState, on_transcode_state},
};

} // namespace

NVR_DEMO_ROWS(kStreamRows)
