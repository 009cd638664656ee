// Message socket library: the channel to the core daemon. Every message, in
// both directions, is a 24-byte header followed by the payload; integers are
// little-endian. The thread that waits for replies (zq_sock_wait) reads them
// and hands each to the registered callback as (context, 24 header bytes,
// payload bytes).
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t kMsgHeaderSize = 24;
constexpr uint32_t kMsgFlagNoReply = 1;        // bit 0: fire-and-forget
constexpr uint32_t kMsgMaxPayload = 16u << 20; // larger frames end the connection
constexpr const char *kCoreSocketPath = "/var/run/zqsocket";

// Header field offsets, as the reply callback sees them.
constexpr size_t kMsgOffMagic = 0;
constexpr size_t kMsgOffSeq = 4;
constexpr size_t kMsgOffFlags = 8;
constexpr size_t kMsgOffCode = 12;
constexpr size_t kMsgOffReserved = 16;
constexpr size_t kMsgOffSize = 20;

struct MsgHeader {
    uint32_t seq;
    uint32_t flags;
    int32_t code;
    uint32_t size;
};

// Writes the 24 header bytes ("NVRM", seq, flags, code, 0, size).
void msg_header_encode(const MsgHeader &header, unsigned char out[kMsgHeaderSize]);
// Reads 24 header bytes; -1 for a wrong magic or a payload over the limit.
int msg_header_decode(const unsigned char *bytes, size_t length, MsgHeader *out);

using zq_sock_callback = int (*)(void *context, const char *header, const char *payload);

// Reads exactly `length` bytes from `source` into `out`; false when the
// stream ends or fails first.
using MsgReadFn = bool (*)(void *source, void *out, size_t length);

// The frame reader: reads frames from `source` and hands each
// to `callback` as (`context`, 24 header bytes, payload). A 0-byte payload is
// handed over as a valid empty text, never as null. Stops at the end of the
// stream, at a frame cut short, or at a header with a wrong magic or a
// payload over kMsgMaxPayload (the connection then ends). Memory grows with
// the bytes that really arrive, not with the size a header claims. Returns
// the number of frames handed over.
size_t msg_read_frames(MsgReadFn read, void *source, zq_sock_callback callback, void *context);
// The same over a byte buffer holding a stream of frames.
size_t msg_parse_frames(const unsigned char *data, size_t length, zq_sock_callback callback, void *context);

// Registers `callback` for every reply and connects to the socket at the
// device path `device_path` (resolved through nvr_path). The two middle
// arguments are kept for the callers' sake and unused. A channel still open
// is closed first. 0 once registered, whether or not the daemon could be
// reached yet (sends retry the connection); -1 for a null callback or path,
// or when called from a reply callback.
int zq_sock_init(zq_sock_callback callback, int unused_a, int unused_b, const char *device_path);
// 0 when the whole frame was written; non-zero when no connection could be
// made (it is retried at every send) or the frame could not be written.
int zq_sock_send_msg(int unused_a, int code, const void *payload, int length, int unused_b, int unused_c);
// The same with explicit header flags (kMsgFlagNoReply for fire-and-forget).
int zq_sock_send_msg_flags(int code, const void *payload, int length, uint32_t flags);
// Reads the replies that arrive on the channel and hands each to the
// callback, on the calling thread, until `done` (checked before the first
// read and after every callback; null: never) returns true or `timeout_ms`
// have passed. A malformed frame, or one cut short by the deadline, closes
// the connection (the next send opens a new one); without a connection the
// wait takes its whole time. Returns the number of replies handed over.
size_t zq_sock_wait(int timeout_ms, bool (*done)());
// Closes the channel: replies not read by then are never handed over. Safe
// when nothing is open; init may be called again afterwards. -1 (and nothing
// done) when called from a reply callback.
int zq_sock_uninit();
