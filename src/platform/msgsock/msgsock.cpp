// Client side of the message socket: one Unix stream connection to the core
// daemon. Replies are read on the thread that waits for them (zq_sock_wait)
// and handed to the registered callback there: a request process needs no
// thread of its own for its replies, and no callback can run while the
// handler does anything else, nor after the channel is closed.
//
// A connection that fails (the daemon closed it, a write failed, a frame was
// malformed or cut short) is closed and a later send opens a new one, so a
// caller's retry loop reaches a daemon that starts or restarts late.
#include "platform/msgsock/msgsock.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/uio.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/sysutil/nvr_path.h"

namespace {

using Clock = std::chrono::steady_clock;

// The least a payload buffer grows by; it at most doubles what has arrived,
// so a header that claims a large payload costs memory only as the bytes
// arrive.
constexpr size_t kReadStep = 64 * 1024;
// A write that makes no progress for this long fails, so a daemon that stops
// reading cannot hang a request process for ever.
constexpr time_t kSendStallSeconds = 10;

const char kEmptyPayload[1] = "";

// The payload of the frame being read. It is kept from frame to frame (and,
// on the channel, from wait to wait), so a stream of large replies is read
// without allocating or clearing memory for each; it grows only with the
// bytes that really arrived.
struct PayloadBuffer {
    char *data = nullptr;
    size_t capacity = 0;
    size_t size = 0;
};

void release(PayloadBuffer &payload)
{
    free(payload.data);
    payload = PayloadBuffer{};
}

// Room for at least one more byte, at most `limit` bytes in all; false
// without memory.
bool grow(PayloadBuffer &payload, size_t limit)
{
    const size_t wanted = std::min(limit, payload.size + std::max(kReadStep, payload.size));
    char *data = static_cast<char *>(realloc(payload.data, wanted));
    if (data == nullptr)
        return false;
    payload.data = data;
    payload.capacity = wanted;
    return true;
}

// The process's one channel; used by one thread at a time.
struct Channel {
    zq_sock_callback callback = nullptr;
    char path[kNvrPathMax] = "";
    int fd = -1;
    uint32_t last_seq = 0;
    bool in_callback = false; // init and uninit would close the connection being read
    PayloadBuffer payload;
};
Channel g_channel;

void close_connection()
{
    if (g_channel.fd >= 0)
        close(g_channel.fd);
    g_channel.fd = -1;
}

int open_connection(const char *path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const size_t length = strlen(path);
    if (length == 0 || length >= sizeof address.sun_path)
        return -1;
    memcpy(address.sun_path, path, length + 1);

    // Non-blocking connect: a daemon whose listen queue is full fails this
    // attempt instead of blocking it; the caller retries.
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    const int status = connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0
                           ? fcntl(fd, F_GETFL)
                           : -1;
    if (status < 0 || fcntl(fd, F_SETFL, status & ~O_NONBLOCK) < 0) {
        close(fd);
        return -1;
    }
    const timeval stall{kSendStallSeconds, 0};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &stall, sizeof stall);
    return fd;
}

bool write_frame(int fd, const unsigned char *header, const void *payload, size_t length)
{
    iovec parts[2] = {{const_cast<unsigned char *>(header), kMsgHeaderSize},
                      {const_cast<void *>(payload), length}};
    iovec *next = parts;
    int remaining = length > 0 ? 2 : 1;
    while (remaining > 0) {
        msghdr message{};
        message.msg_iov = next;
        message.msg_iovlen = static_cast<size_t>(remaining);
        ssize_t sent = sendmsg(fd, &message, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        while (remaining > 0 && static_cast<size_t>(sent) >= next->iov_len) {
            sent -= static_cast<ssize_t>(next->iov_len);
            ++next;
            --remaining;
        }
        if (remaining > 0) {
            next->iov_base = static_cast<char *>(next->iov_base) + sent;
            next->iov_len -= static_cast<size_t>(sent);
        }
    }
    return true;
}

// Milliseconds left until `deadline` (0 once it has passed), rounded up.
int ms_until(Clock::time_point deadline)
{
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero())
        return 0;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return static_cast<int>(std::min<decltype(ms)>(ms, 1 << 30));
}

// Waits until `fd` has bytes (or its end) to read; false when the deadline
// passes first or polling fails.
bool readable_before(int fd, Clock::time_point deadline)
{
    for (;;) {
        pollfd wanted{fd, POLLIN, 0};
        const int ready = poll(&wanted, 1, ms_until(deadline));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

// The socket as a frame source: every read must be complete by the deadline.
struct SocketSource {
    int fd;
    Clock::time_point deadline;
};

// Takes what has arrived first and waits only when nothing has: a stream of
// replies costs one call per read, not a poll and a read.
bool read_socket(void *source, void *out, size_t length)
{
    const auto *socket_source = static_cast<const SocketSource *>(source);
    auto *at = static_cast<char *>(out);
    while (length > 0) {
        const ssize_t got = recv(socket_source->fd, at, length, MSG_DONTWAIT);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!readable_before(socket_source->fd, socket_source->deadline))
                return false;
            continue;
        }
        if (got <= 0)
            return false;
        at += got;
        length -= static_cast<size_t>(got);
    }
    return true;
}

struct MemorySource {
    const unsigned char *data;
    size_t length;
    size_t offset;
};

bool read_memory(void *source, void *out, size_t length)
{
    auto *memory = static_cast<MemorySource *>(source);
    if (memory->length - memory->offset < length)
        return false;
    memcpy(out, memory->data + memory->offset, length);
    memory->offset += length;
    return true;
}

// Reads one whole frame from `source`; false at the end of the stream, at a
// frame cut short, or at a header with a wrong magic or an oversized payload.
bool read_frame(MsgReadFn read, void *source, unsigned char (&header)[kMsgHeaderSize], PayloadBuffer &payload)
{
    MsgHeader fields{};
    payload.size = 0;
    if (!read(source, header, sizeof header) || msg_header_decode(header, sizeof header, &fields) != 0)
        return false;
    while (payload.size < fields.size) {
        if (payload.size == payload.capacity && !grow(payload, fields.size))
            return false;
        const size_t step = std::min<size_t>(fields.size, payload.capacity) - payload.size;
        if (!read(source, payload.data + payload.size, step))
            return false;
        payload.size += step;
    }
    return true;
}

const char *payload_text(const PayloadBuffer &payload)
{
    return payload.size == 0 ? kEmptyPayload : payload.data;
}

} // namespace

size_t msg_read_frames(MsgReadFn read, void *source, zq_sock_callback callback, void *context)
{
    if (read == nullptr)
        return 0;
    size_t delivered = 0;
    unsigned char header[kMsgHeaderSize];
    PayloadBuffer payload;
    while (read_frame(read, source, header, payload)) {
        if (callback != nullptr)
            callback(context, reinterpret_cast<const char *>(header), payload_text(payload));
        ++delivered;
    }
    release(payload);
    return delivered;
}

size_t msg_parse_frames(const unsigned char *data, size_t length, zq_sock_callback callback, void *context)
{
    if (data == nullptr)
        return 0;
    MemorySource source{data, length, 0};
    return msg_read_frames(read_memory, &source, callback, context);
}

int zq_sock_init(zq_sock_callback callback, int, int, const char *device_path)
{
    if (callback == nullptr || device_path == nullptr || g_channel.in_callback)
        return -1;
    zq_sock_uninit();
    g_channel.callback = callback;
    nvr_path(g_channel.path, sizeof g_channel.path, device_path);
    // The daemon may not be up yet: every send retries the connection.
    g_channel.fd = open_connection(g_channel.path);
    return 0;
}

int zq_sock_send_msg(int, int code, const void *payload, int length, int, int)
{
    return zq_sock_send_msg_flags(code, payload, length, 0);
}

int zq_sock_send_msg_flags(int code, const void *payload, int length, uint32_t flags)
{
    if (length < 0 || (length > 0 && payload == nullptr) || static_cast<uint32_t>(length) > kMsgMaxPayload)
        return -1;
    if (g_channel.callback == nullptr)
        return -1;
    if (g_channel.fd < 0)
        g_channel.fd = open_connection(g_channel.path);
    if (g_channel.fd < 0)
        return -1;
    const MsgHeader header{++g_channel.last_seq, flags, code, static_cast<uint32_t>(length)};
    unsigned char bytes[kMsgHeaderSize];
    msg_header_encode(header, bytes);
    if (write_frame(g_channel.fd, bytes, payload, static_cast<size_t>(length)))
        return 0;
    // A frame that is cut short leaves the stream out of step: the
    // connection is given up and the next send opens a new one.
    close_connection();
    return -1;
}

size_t zq_sock_wait(int timeout_ms, bool (*done)())
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(timeout_ms, 0));
    size_t delivered = 0;
    unsigned char header[kMsgHeaderSize];
    PayloadBuffer &payload = g_channel.payload;
    while (done == nullptr || !done()) {
        if (g_channel.fd < 0 || g_channel.callback == nullptr) {
            // Nothing can come any more; the wait still takes its time, as
            // it would for a daemon that does not answer.
            std::this_thread::sleep_until(deadline);
            break;
        }
        if (!readable_before(g_channel.fd, deadline))
            break;
        SocketSource source{g_channel.fd, deadline};
        if (!read_frame(read_socket, &source, header, payload)) {
            close_connection();
            continue;
        }
        g_channel.in_callback = true;
        g_channel.callback(nullptr, reinterpret_cast<const char *>(header), payload_text(payload));
        g_channel.in_callback = false;
        ++delivered;
    }
    return delivered;
}

int zq_sock_uninit()
{
    if (g_channel.in_callback)
        return -1;
    close_connection();
    release(g_channel.payload);
    g_channel.callback = nullptr;
    return 0;
}
