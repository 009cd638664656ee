// Recording export: chunk reassembly, the bounded frame queue and the
// writer task that empties it into the AVI writer.
#include "modules/stream/remote_backup.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include "core/ipc_timing.h"
#include "platform/avi/frame_header.h"

namespace {

struct QueuedFrame {
    zq_frame_header header;
    char *data;
    QueuedFrame *next;
};

// The FIFO between the request thread and the writer task.
struct FrameQueue {
    std::mutex lock;
    QueuedFrame *head = nullptr;
    QueuedFrame *tail = nullptr;
    size_t count = 0;
    std::atomic<size_t> bytes{0};
};

// The frame being reassembled; only the request thread touches it.
struct Assembly {
    zq_frame_header header{};
    char *data = nullptr;
    int32_t fill = 0;
};

FrameQueue g_queue;
Assembly g_assembly;
zq_avi *g_avi = nullptr;
FILE *g_out = nullptr;
pthread_t g_writer;
bool g_writer_started = false;
std::atomic<bool> g_running{false};
std::atomic<bool> g_close_requested{false};

void pause_poll() { std::this_thread::sleep_for(std::chrono::milliseconds(ipc_timing().poll_ms)); }

void drop_assembly()
{
    free(g_assembly.data);
    g_assembly = Assembly{};
}

void push_frame(QueuedFrame *frame)
{
    const std::lock_guard<std::mutex> hold(g_queue.lock);
    if (g_queue.tail != nullptr)
        g_queue.tail->next = frame;
    else
        g_queue.head = frame;
    g_queue.tail = frame;
    ++g_queue.count;
    g_queue.bytes += static_cast<size_t>(frame->header.data_length);
}

QueuedFrame *pop_frame()
{
    const std::lock_guard<std::mutex> hold(g_queue.lock);
    QueuedFrame *frame = g_queue.head;
    if (frame == nullptr)
        return nullptr;
    g_queue.head = frame->next;
    if (g_queue.head == nullptr)
        g_queue.tail = nullptr;
    --g_queue.count;
    g_queue.bytes -= static_cast<size_t>(frame->header.data_length);
    return frame;
}

size_t queued_count()
{
    const std::lock_guard<std::mutex> hold(g_queue.lock);
    return g_queue.count;
}

void free_frame(QueuedFrame *frame)
{
    free(frame->data);
    free(frame);
}

void discard_queue()
{
    while (QueuedFrame *frame = pop_frame())
        free_frame(frame);
}

// Writes the queued frames in arrival order until the export ends: close
// requested with nothing left, the running flag cleared, the output gone,
// or kBackupIdlePolls polls without a frame.
void *writer_task(void *)
{
    pthread_setname_np(pthread_self(), "remote_backup");
    int idle_polls = 0;
    while (g_running.load()) {
        if (QueuedFrame *frame = pop_frame()) {
            zq_avi_write_fp_ex(g_avi, &frame->header, frame->data, frame->header.data_length);
            free_frame(frame);
            idle_polls = 0;
            if (ferror(g_out) != 0)
                break;
            continue;
        }
        if (g_close_requested.load() && queued_count() == 0)
            break;
        if (++idle_polls >= kBackupIdlePolls)
            break;
        pause_poll();
    }
    discard_queue();
    g_running.store(false);
    return nullptr;
}

// Waits while the queue is over its limit; false when it stays full or the
// writer task has ended (nothing would ever take the frame).
bool wait_for_room()
{
    for (int waits = 0; g_queue.bytes.load() > kBackupQueueLimit; ++waits) {
        if (waits == kBackupFullWaits || !g_running.load())
            return false;
        pause_poll();
    }
    return g_running.load();
}

// The first chunk of a frame: a buffer of the frame's length.
bool start_frame(const void *header)
{
    drop_assembly();
    zq_frame_header frame;
    memcpy(&frame, header, sizeof frame);
    if (frame.data_length <= 0 || frame.data_length > kBackupMaxFrameBytes)
        return false;
    g_assembly.data = static_cast<char *>(malloc(static_cast<size_t>(frame.data_length)));
    if (g_assembly.data == nullptr)
        return false;
    g_assembly.header = frame;
    return true;
}

} // namespace

int remote_backup_zqfs_open(FILE *out, zq_avi **handle)
{
    if (out == nullptr || handle == nullptr)
        return -1;
    remote_backup_zqfs_close(g_avi);
    g_avi = zq_avi_open_fp(out);
    if (g_avi == nullptr)
        return -1;
    g_out = out;
    g_close_requested.store(false);
    g_running.store(true);
    if (pthread_create(&g_writer, nullptr, writer_task, nullptr) != 0) {
        g_running.store(false);
        zq_avi_close_fp(g_avi, 0);
        g_avi = nullptr;
        return -1;
    }
    g_writer_started = true;
    *handle = g_avi;
    return 0;
}

int remote_backup_zqfs_write(const void *header, const char *data, int32_t continued, int32_t length)
{
    if (header == nullptr || length < 0 || (length > 0 && data == nullptr))
        return -1;
    if (continued == 0) {
        if (!start_frame(header))
            return -1;
    } else if (g_assembly.data == nullptr) {
        return 0;
    }
    const int32_t copied = std::min(length, g_assembly.header.data_length - g_assembly.fill);
    memcpy(g_assembly.data + g_assembly.fill, data, static_cast<size_t>(copied));
    g_assembly.fill += copied;
    if (g_assembly.fill < g_assembly.header.data_length)
        return 0;
    auto *frame = static_cast<QueuedFrame *>(malloc(sizeof(QueuedFrame)));
    if (frame == nullptr || !wait_for_room()) {
        free(frame);
        drop_assembly();
        return -1;
    }
    *frame = QueuedFrame{g_assembly.header, g_assembly.data, nullptr};
    g_assembly = Assembly{};
    push_frame(frame);
    return 0;
}

int remote_backup_zqfs_interrup()
{
    g_running.store(false);
    return 0;
}

bool remote_backup_task_run_status() { return g_running.load(); }

void remote_backup_zqfs_close(zq_avi *handle)
{
    g_close_requested.store(true);
    if (g_writer_started)
        pthread_join(g_writer, nullptr);
    g_writer_started = false;
    g_running.store(false);
    drop_assembly();
    discard_queue();
    if (handle != nullptr)
        zq_avi_close_fp(handle, 0);
    if (handle == g_avi)
        g_avi = nullptr;
    g_out = nullptr;
}

size_t remote_backup_queued_frames() { return queued_count(); }

size_t remote_backup_queued_bytes() { return g_queue.bytes.load(); }
