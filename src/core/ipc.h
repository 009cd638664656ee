// Core request/reply channel: send one core message, wait for the module's
// reply callback to answer the request, fall back to the generic error.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/msgsock/msgsock.h"

struct LogRecord;

// 0 while no reply has been handled; set by decoders (1 as a rule, 2 or a
// reply value where a handler needs one). Read it after cgi_stop_ipc.
extern std::atomic<int> g_callback_done;

using IpcCallback = zq_sock_callback;

// Opens the channel with `callback`, sends `code` with its payload (retried
// while the send fails) and, unless `no_wait` is 1, waits until a decoder
// sets g_callback_done or the code's wait limit passes (the callback runs on
// this thread, while the wait reads the replies). -1 for a null
// callback or a payload that cannot be sent (negative length, or none for a
// positive length), else 0 whether or not a reply came.
int cgi_start_ipc(IpcCallback callback, int code, int length, const void *payload, int no_wait);
// Closes the channel; no callback runs after it returns.
int cgi_stop_ipc();

// Stores `value` in g_callback_done, which ends the wait. Decoders call it
// after writing their response.
void cgi_set_callback_done(int value);

// The wait limit of a request code, in 40 ms polls.
int cgi_ipc_wait_polls(int code);

// Request-reply in one call: start, wait, stop, and when no decoder answered
// write the generic error of `error_kind` (0 text, 1 JSON). Returns the
// final g_callback_done (0 when nothing came).
int cgi_ipc_request(IpcCallback callback, int code, int length, const void *payload, int error_kind);
// Fire-and-forget in one call: start with no_wait, stop.
int cgi_ipc_notify(IpcCallback callback, int code, int length, const void *payload);
// Sends an operation log record (core message 3485) without waiting.
int cgi_send_log_info(const LogRecord *record);
// Sends the operation log record of a web operation (cgi_init_log_info)
// with `sub_type`, `param_code` and `object`, and the detail block of
// `detail_kind` when `detail` is given.
int cgi_send_operation_log(int sub_type, int param_code, int object, int detail_kind = 0,
                           const void *detail = nullptr, int detail_length = 0);
// Sends the batch operation log of a copy (core message 3509) without
// waiting: the record followed by the 64-bit mask of what was copied (low
// word first).
int cgi_send_copy_log_info(const LogRecord *record, uint64_t mask);

// Callbacks for messages whose reply is not wanted.
int on_aging_callback(void *context, const char *header, const char *payload);
int setlang_callback(void *context, const char *header, const char *payload);

// Reply header fields as the callbacks see them.
int ipc_reply_code(const char *header);
unsigned ipc_reply_size(const char *header);
