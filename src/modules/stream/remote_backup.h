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

// At most this many bytes of frame data wait in the queue; a producer that
// finds more queued waits (kBackupFullWaits polls) before it drops a frame.
constexpr size_t kBackupQueueLimit = 0x9FFFFF;
constexpr int kBackupFullWaits = 25;
// The writer task ends after this many polls without a frame.
constexpr int kBackupIdlePolls = 1500;
// A frame longer than this is refused: its chunks could never be queued.
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
