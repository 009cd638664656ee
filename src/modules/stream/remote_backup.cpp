// Recording export: chunk reassembly, the bounded frame queue and the
// writer task that empties it into the AVI writer.
#include "modules/stream/remote_backup.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "core/ipc_timing.h"
#include "platform/avi/frame_header.h"

namespace {

using Clock = std::chrono::steady_clock;

struct QueuedFrame {
    zq_frame_header header;
    char *data;
    size_t capacity; // bytes allocated at data
    QueuedFrame *next;
};

// The FIFO between the request thread and the writer task. The waits are
// on condition variables, so a frame is written as soon as it is queued
// and a waiting producer goes on as soon as there is room; the poll step
// only bounds how long each wait may last.
struct FrameQueue {
    std::mutex lock;
    std::condition_variable ready; // a frame queued, or the export ending
    std::condition_variable room;  // a frame taken, or the writer ending
    QueuedFrame *head = nullptr;
    QueuedFrame *tail = nullptr;
    size_t count = 0;
    std::atomic<size_t> bytes{0};
};

// Made at the first export, not at start-up (its condition variables need
// a constructor that runs): a request that exports nothing pays nothing.
FrameQueue &queue()
{
    static FrameQueue instance;
    return instance;
}

// Frames already written, kept with their buffers for the next frames: the
// queue holds at most its budget plus one frame, so so does the pool, and a
// long export allocates nothing per frame. Only the request thread takes;
// the writer task gives back.
struct FramePool {
    std::mutex lock;
    QueuedFrame *free = nullptr;
    size_t kept_bytes = 0;
};

// The frame being reassembled; only the request thread touches it.
struct Assembly {
    QueuedFrame *frame = nullptr;
    int32_t fill = 0;
};

FramePool g_pool;
Assembly g_assembly;
zq_avi *g_avi = nullptr;
FILE *g_out = nullptr;
pthread_t g_writer;
bool g_writer_started = false;
std::atomic<bool> g_running{false};
std::atomic<bool> g_close_requested{false};

std::chrono::milliseconds poll_step() { return std::chrono::milliseconds(ipc_timing().poll_ms); }

void free_frame(QueuedFrame *frame)
{
    if (frame == nullptr)
        return;
    free(frame->data);
    free(frame);
}

// A frame with room for `length` data bytes, from the pool when one fits.
QueuedFrame *take_frame(size_t length)
{
    QueuedFrame *frame = nullptr;
    {
        const std::lock_guard<std::mutex> hold(g_pool.lock);
        frame = g_pool.free;
        if (frame != nullptr) {
            g_pool.free = frame->next;
            g_pool.kept_bytes -= frame->capacity;
        }
    }
    if (frame != nullptr && frame->capacity >= length)
        return frame;
    free_frame(frame);
    frame = static_cast<QueuedFrame *>(malloc(sizeof(QueuedFrame)));
    char *data = frame != nullptr ? static_cast<char *>(malloc(length)) : nullptr;
    if (data == nullptr) {
        free(frame);
        return nullptr;
    }
    *frame = QueuedFrame{zq_frame_header{}, data, length, nullptr};
    return frame;
}

void give_back(QueuedFrame *frame)
{
    if (frame == nullptr)
        return;
    {
        const std::lock_guard<std::mutex> hold(g_pool.lock);
        if (g_pool.kept_bytes + frame->capacity <= kBackupQueueBudget + kBackupMaxFrameBytes) {
            frame->next = g_pool.free;
            g_pool.free = frame;
            g_pool.kept_bytes += frame->capacity;
            return;
        }
    }
    free_frame(frame);
}

void empty_pool()
{
    const std::lock_guard<std::mutex> hold(g_pool.lock);
    while (QueuedFrame *frame = g_pool.free) {
        g_pool.free = frame->next;
        free_frame(frame);
    }
    g_pool.kept_bytes = 0;
}

void drop_assembly()
{
    give_back(g_assembly.frame);
    g_assembly = Assembly{};
}

// Changes a flag the writer task waits on, and wakes both sides.
void set_and_wake(std::atomic<bool> &flag, bool value)
{
    {
        const std::lock_guard<std::mutex> hold(queue().lock);
        flag.store(value);
    }
    queue().ready.notify_all();
    queue().room.notify_all();
}

void push_frame(QueuedFrame *frame)
{
    frame->next = nullptr;
    {
        const std::lock_guard<std::mutex> hold(queue().lock);
        if (queue().tail != nullptr)
            queue().tail->next = frame;
        else
            queue().head = frame;
        queue().tail = frame;
        ++queue().count;
        queue().bytes += static_cast<size_t>(frame->header.data_length);
    }
    queue().ready.notify_one();
}

QueuedFrame *unlink_head()
{
    QueuedFrame *frame = queue().head;
    if (frame == nullptr)
        return nullptr;
    queue().head = frame->next;
    if (queue().head == nullptr)
        queue().tail = nullptr;
    --queue().count;
    queue().bytes -= static_cast<size_t>(frame->header.data_length);
    return frame;
}

QueuedFrame *pop_frame()
{
    QueuedFrame *frame = nullptr;
    {
        const std::lock_guard<std::mutex> hold(queue().lock);
        frame = unlink_head();
    }
    if (frame != nullptr)
        queue().room.notify_one();
    return frame;
}

size_t queued_count()
{
    const std::lock_guard<std::mutex> hold(queue().lock);
    return queue().count;
}

void discard_queue()
{
    while (QueuedFrame *frame = pop_frame())
        give_back(frame);
}

// The next frame to write; null when the export is over: the running flag
// cleared, close requested with nothing left, or kBackupIdlePolls poll
// steps without a frame.
QueuedFrame *next_frame()
{
    std::unique_lock<std::mutex> hold(queue().lock);
    for (int idle_polls = 0; g_running.load();) {
        if (QueuedFrame *frame = unlink_head()) {
            hold.unlock();
            queue().room.notify_one();
            return frame;
        }
        if (g_close_requested.load() || idle_polls >= kBackupIdlePolls)
            return nullptr;
        const bool woken = queue().ready.wait_for(hold, poll_step(), [] {
            return queue().head != nullptr || g_close_requested.load() || !g_running.load();
        });
        if (!woken)
            ++idle_polls;
    }
    return nullptr;
}

// Writes the queued frames in arrival order until the export ends or the
// output is gone.
void *writer_task(void *)
{
    pthread_setname_np(pthread_self(), "remote_backup");
    while (QueuedFrame *frame = next_frame()) {
        zq_avi_write_fp_ex(g_avi, &frame->header, frame->data, frame->header.data_length);
        give_back(frame);
        if (zq_avi_failed(g_avi) || ferror(g_out) != 0)
            break;
    }
    set_and_wake(g_running, false);
    discard_queue();
    return nullptr;
}

// Waits until a frame of `length` bytes fits the queue's budget, at most
// kBackupFullWaits poll steps; false when it stays full or the writer task
// has ended (nothing would ever take the frame).
bool wait_for_room(size_t length)
{
    const Clock::time_point deadline = Clock::now() + kBackupFullWaits * poll_step();
    std::unique_lock<std::mutex> hold(queue().lock);
    return queue().room.wait_until(hold, deadline, [length] {
        const size_t queued = queue().bytes.load();
        return queued == 0 || queued + length <= kBackupQueueBudget || !g_running.load();
    }) && g_running.load();
}

// The first chunk of a frame: a buffer of the frame's length.
bool start_frame(const void *header)
{
    drop_assembly();
    zq_frame_header first;
    memcpy(&first, header, sizeof first);
    if (first.data_length <= 0 || first.data_length > kBackupMaxFrameBytes)
        return false;
    // Waiting before the frame takes a buffer, not once it is whole, keeps
    // a frame of the queue's size to two buffers: the one the writer
    // writes and the one filling.
    if (!wait_for_room(static_cast<size_t>(first.data_length)))
        return false;
    QueuedFrame *frame = take_frame(static_cast<size_t>(first.data_length));
    if (frame == nullptr)
        return false;
    frame->header = first;
    g_assembly.frame = frame;
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
    set_and_wake(g_close_requested, false);
    set_and_wake(g_running, true);
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
    } else if (g_assembly.frame == nullptr) {
        return 0;
    }
    QueuedFrame *frame = g_assembly.frame;
    const int32_t copied = std::min(length, frame->header.data_length - g_assembly.fill);
    memcpy(frame->data + g_assembly.fill, data, static_cast<size_t>(copied));
    g_assembly.fill += copied;
    if (g_assembly.fill < frame->header.data_length)
        return 0;
    g_assembly = Assembly{};
    push_frame(frame);
    return 0;
}

int remote_backup_zqfs_interrup()
{
    set_and_wake(g_running, false);
    return 0;
}

bool remote_backup_task_run_status() { return g_running.load(); }

void remote_backup_zqfs_close(zq_avi *handle)
{
    set_and_wake(g_close_requested, true);
    if (g_writer_started)
        pthread_join(g_writer, nullptr);
    g_writer_started = false;
    g_running.store(false);
    drop_assembly();
    discard_queue();
    empty_pool();
    if (handle != nullptr)
        zq_avi_close_fp(handle, 0);
    if (handle == g_avi)
        g_avi = nullptr;
    g_out = nullptr;
}

size_t remote_backup_queued_frames() { return queued_count(); }

size_t remote_backup_queued_bytes() { return queue().bytes.load(); }
