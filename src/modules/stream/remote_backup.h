// Recording export: frames that arrive in chunks are reassembled, queued
// and written by a writer task through the AVI writer. One export per
// process.
//
// Three threads meet. The request thread reads the core daemon's replies
// (the core channel hands each to the reply callback on the thread that
// waits), so it is also the producer: it reassembles chunks and queues
// whole frames, and it polls the end-of-data and running flags. The writer
// task is the only consumer. The queue is changed under its mutex; the
// flags and the queued-byte counter are atomics.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "platform/avi/avi.h"

// The queue's hard limit: the longest frame taken is one byte more
// (kBackupMaxFrameBytes), and then only by an empty queue.
constexpr size_t kBackupQueueLimit = 0x9FFFFF;
// A new frame waits (kBackupFullWaits polls, then it is dropped) until it
// fits in this budget; an empty queue takes any frame. The budget is far
// below the limit because the core daemon replays much faster than a
// download drains: a deeper queue fills within milliseconds and buys no
// tolerance for a slow browser, while every queued byte is resident. So
// an export holds the budget's worth of frames (for large frames: one)
// beside the one being written and the one filling, however long it runs
// and however far the writer falls behind.
constexpr size_t kBackupQueueBudget = 1 << 20;
static_assert(kBackupQueueBudget <= kBackupQueueLimit);
constexpr int kBackupFullWaits = 25;
// The writer task ends after this many polls without a frame.
constexpr int kBackupIdlePolls = 1500;
// A frame longer than this is refused.
constexpr int32_t kBackupMaxFrameBytes = static_cast<int32_t>(kBackupQueueLimit) + 1;

// Opens the AVI writer on `out` and starts the writer task; 0 (and the
// writer in `*handle`), or -1 for a missing argument, a writer that cannot
// be opened or a task that cannot start.
int remote_backup_zqfs_open(FILE *out, zq_avi **handle);
// Adds one chunk: `chunk` is the frame's 88-byte header whose data is
// `data`, `continued` 0 for a frame's first chunk. 0 when taken in (also an
// ignored later chunk), -1 when the frame is dropped.
int remote_backup_zqfs_write(const void *header, const char *data, int32_t continued, int32_t length);
// Stops the writer task; the frames still queued are discarded.
int remote_backup_zqfs_interrup();
// True while the writer task runs.
bool remote_backup_task_run_status();
// Lets the writer task drain the queue, waits for it, releases the module's
// state and closes the writer. Safe when nothing is open.
void remote_backup_zqfs_close(zq_avi *handle);

// Frames and bytes waiting in the queue (for the request thread and tests).
size_t remote_backup_queued_frames();
size_t remote_backup_queued_bytes();
