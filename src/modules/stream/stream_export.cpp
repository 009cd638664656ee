// Recording export: "/4013" streams a stretch of one channel's recording to
// the browser as an AVI file, "/4019" tells whether an export is marked in
// progress and "/4027" cancels one. The frames arrive as replies to the
// export request and are read on the request thread (the core channel
// hands replies to the callback on the thread that waits); remote_backup
// queues them for its writer task.
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "core/ipc_timing.h"
#include "front/access_gate.h"
#include "front/cgi_env.h"
#include "front/web_utils.h"
#include "modules/stream/remote_backup.h"
#include "modules/stream/stream.h"
#include "platform/avi/frame_header.h"
#include "platform/sysutil/nvr_path.h"
#include "platform/sysutil/zq_std.h"

namespace {

// Marks an export in progress; this program only tests and removes it.
constexpr const char *kExportMarker = "/tmp/pbdownload";
constexpr size_t kExportNameSize = 256;

std::atomic<bool> g_end_of_data{false};
zq_avi *g_export_avi = nullptr;

// The export is over when the data has ended or the writer task has
// stopped (aborted, idle, or the browser gone).
bool export_over() { return g_end_of_data.load() || !remote_backup_task_run_status(); }

// Ends the export's wait for its request at once.
void note_end_of_data()
{
    g_end_of_data.store(true);
    cgi_set_callback_done(2);
}

// A whole "%Y-%m-%dT%H:%M:%SZ" text as a local time and its epoch seconds.
bool parse_export_time(json_object *request, const char *key, struct tm *when, time_t *seconds)
{
    char text[kTimeTextSize];
    if (on_cgi_get_string_from_json(request, key, text, sizeof text) != 0)
        return false;
    memset(when, 0, sizeof *when);
    const char *end = strptime(text, "%Y-%m-%dT%H:%M:%SZ", when);
    if (end == nullptr || *end != '\0')
        return false;
    when->tm_isdst = -1;
    struct tm normalised = *when;
    *seconds = mktime(&normalised);
    return *seconds != static_cast<time_t>(-1);
}

struct ExportStretch {
    int32_t channel = -1;
    int32_t stream_type = 0;
    struct tm start {};
    struct tm end {};
    time_t start_seconds = 0;
    time_t end_seconds = 0;
};

void name_time(char *out, size_t size, const struct tm &when, time_t seconds)
{
    snprintf(out, size, "%d_%d_%d_%d_%d_%d_%lld", when.tm_year + 1900, when.tm_mon + 1, when.tm_mday,
             when.tm_hour, when.tm_min, when.tm_sec, static_cast<long long>(seconds));
}

void request_time(char (&field)[32], const struct tm &when)
{
    snprintf(field, sizeof field, "%d-%d-%d %d:%d:%d", when.tm_year + 1900, when.tm_mon + 1, when.tm_mday,
             when.tm_hour, when.tm_min, when.tm_sec);
}

// "<channel mask>DDD<start>-<end>_<channel>.avi".
void export_file_name(const ExportStretch &stretch, char *out, size_t size)
{
    char start[64];
    char end[64];
    name_time(start, sizeof start, stretch.start, stretch.start_seconds);
    name_time(end, sizeof end, stretch.end, stretch.end_seconds);
    snprintf(out, size, "%lldDDD%s-%s_%d.avi", static_cast<long long>(1ULL << stretch.channel), start, end,
             stretch.channel);
}

// Writes the file, one frame after another, until the export ends.
void run_export(const export_request &request)
{
    remote_backup_zqfs_close(g_export_avi);
    g_export_avi = nullptr;
    if (remote_backup_zqfs_open(cgiOut, &g_export_avi) != 0) {
        fflush(cgiOut);
        return;
    }
    g_end_of_data.store(false);
    cgi_start_ipc(on_stream_callback, kMsgExportRecording, sizeof request, &request, 0);
    // The wait of the request ends at the end of data; frames that are
    // still coming (an idle core daemon, a long export) are read here.
    while (!export_over())
        zq_sock_wait(ipc_timing().poll_ms, export_over);
    remote_backup_zqfs_close(g_export_avi);
    g_export_avi = nullptr;
    cgi_stop_ipc();
    fflush(cgiOut);
}

} // namespace

int on_download_playback(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    ExportStretch stretch;
    char start_text[kTimeTextSize];
    char end_text[kTimeTextSize];
    if (!request || !stream_get_ints(request.get(), {{"id", &stretch.channel}}) ||
        on_cgi_get_string_from_json(request.get(), "startTime", start_text, sizeof start_text) != 0 ||
        on_cgi_get_string_from_json(request.get(), "endTime", end_text, sizeof end_text) != 0)
        return -1;
    stream_get_ints(request.get(), {{"streamType", &stretch.stream_type}});
    if (!stream_channel_valid(stretch.channel) || !cgi_channel_admits(WebRight::Playback, stretch.channel))
        return -1;
    if (zq_check_file_exist(NvrPath(kExportMarker).c_str()) == 0)
        return cgi_writeback_webserver(kRespText, "BUSY NOW");
    if (!parse_export_time(request.get(), "startTime", &stretch.start, &stretch.start_seconds) ||
        !parse_export_time(request.get(), "endTime", &stretch.end, &stretch.end_seconds))
        return -1;

    char name[kExportNameSize];
    export_file_name(stretch, name, sizeof name);
    cgi_send_operation_log(kLogSubPlayback, kLogParamStream, stretch.channel + 1);
    fprintf(cgiOut, "Content-Type:application/octet-stream\r\n");
    fprintf(cgiOut, "Content-Disposition: attachment; filename= %s\r\n\r\n", name);
    setpriority(PRIO_PROCESS, 0, 19);

    export_request core_request{};
    core_request.channel = stretch.channel;
    core_request.stream_type = stretch.stream_type;
    request_time(core_request.start_time, stretch.start);
    request_time(core_request.end_time, stretch.end);
    run_export(core_request);
    return 0;
}

int on_check_download_idle(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "isOK", zq_check_file_exist(NvrPath(kExportMarker).c_str()) == 0 ? 0 : 1);
    return cgi_write_json(kRespText, answer.get());
}

int on_stop_download_playback(char * /*text*/)
{
    unlink(NvrPath(kExportMarker).c_str());
    stream_notify(kMsgStopExport, nullptr, 0);
    return cgi_writeback_webserver(kRespText, "OK");
}

// One chunk of the export's frames, or one of its end markers. A chunk
// whose length does not fit the payload is ignored, like a later chunk of
// no frame.
int on_get_download_playtime_cb(const ReplyReader &reply)
{
    if (reply.size() < kExportChunkHead)
        return -1;
    if (!remote_backup_task_run_status()) {
        note_end_of_data();
        return 0;
    }
    const int32_t length = reply.int32_at(kExportChunkLength);
    if (length == kExportEndOfData || length == kExportAbort) {
        if (length == kExportAbort)
            remote_backup_zqfs_interrup();
        note_end_of_data();
        return 0;
    }
    const size_t room = reply.size() - kExportChunkHead;
    if (length < 0 || length > kExportChunkData || static_cast<size_t>(length) > room)
        return 0;
    remote_backup_zqfs_write(reply.bytes(0, kFrameHeaderSize), reply.bytes(kExportChunkHead, length),
                             reply.int32_at(kExportChunkMarker), length);
    return 0;
}
