// Client side of the message socket: one Unix stream connection to the core
// daemon, written by the sending thread and read by a receive thread that
// hands every reply to the registered callback.
//
// A connection that fails (the daemon closed it, a write failed, a frame was
// malformed) is retired and a later send opens a new one, so a caller's retry
// loop reaches a daemon that starts or restarts late. Every receive thread
// ever started for the channel is joined by zq_sock_uninit, which is what
// guarantees that no callback runs after it returns.
#include "platform/msgsock/msgsock.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/uio.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "platform/sysutil/nvr_path.h"

namespace {

// Payload bytes read per step: a header that claims a large payload costs
// memory only as the bytes arrive.
constexpr size_t kReadStep = 64 * 1024;
// A write that makes no progress for this long fails, so a daemon that stops
// reading cannot hang a request process for ever.
constexpr time_t kSendStallSeconds = 10;

const char kEmptyPayload[1] = "";

// Set on receive threads: init and uninit would have to join the very thread
// they run on.
thread_local bool t_on_receive_thread = false;

struct Connection {
    Connection(int socket_fd, zq_sock_callback reply_callback) : fd(socket_fd), callback(reply_callback) {}
    ~Connection() { close(fd); }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Ends the connection and waits for its receive thread.
    void stop()
    {
        stopping.store(true);
        shutdown(fd, SHUT_RDWR);
        if (receiver.joinable())
            receiver.join();
    }

    const int fd;
    const zq_sock_callback callback;
    std::mutex write_mutex; // one frame at a time on the wire
    std::atomic<bool> stopping{false};
    std::atomic<bool> ended{false}; // the receive loop has finished
    std::thread receiver;
};

struct Channel {
    std::mutex mutex;
    zq_sock_callback callback = nullptr;
    char path[kNvrPathMax] = "";
    std::shared_ptr<Connection> current;
    // Failed connections whose receive threads are joined at uninit.
    std::vector<std::shared_ptr<Connection>> retired;
    uint32_t last_seq = 0;
};

// Never destroyed: a process that exits with the channel open must not run
// the destructor of a joinable thread.
Channel &channel()
{
    static auto *instance = new Channel;
    return *instance;
}

bool read_socket(void *source, void *out, size_t length)
{
    auto *connection = static_cast<Connection *>(source);
    auto *at = static_cast<char *>(out);
    while (length > 0) {
        if (connection->stopping.load())
            return false;
        const ssize_t got = recv(connection->fd, at, length, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        at += got;
        length -= static_cast<size_t>(got);
    }
    return true;
}

void receive_loop(Connection *connection)
{
    t_on_receive_thread = true;
    msg_read_frames(read_socket, connection, connection->callback, nullptr);
    connection->ended.store(true);
    // Later writes on this connection fail at once instead of sending
    // requests nobody reads the replies of.
    shutdown(connection->fd, SHUT_RDWR);
}

std::shared_ptr<Connection> open_connection(const char *path, zq_sock_callback callback)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const size_t length = strlen(path);
    if (length == 0 || length >= sizeof address.sun_path)
        return nullptr;
    memcpy(address.sun_path, path, length + 1);

    // Non-blocking connect: a daemon whose listen queue is full fails this
    // attempt instead of blocking it; the caller retries.
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return nullptr;
    if (connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        close(fd);
        return nullptr;
    }
    const int status = fcntl(fd, F_GETFL);
    if (status < 0 || fcntl(fd, F_SETFL, status & ~O_NONBLOCK) < 0) {
        close(fd);
        return nullptr;
    }
    const timeval stall{kSendStallSeconds, 0};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &stall, sizeof stall);

    auto connection = std::make_shared<Connection>(fd, callback);
    try {
        connection->receiver = std::thread(receive_loop, connection.get());
    } catch (const std::system_error &) {
        return nullptr;
    }
    return connection;
}

// Moves the current connection to the retired list; caller holds the mutex.
void retire_current(Channel &state)
{
    if (state.current == nullptr)
        return;
    shutdown(state.current->fd, SHUT_RDWR);
    state.retired.push_back(std::move(state.current));
    state.current.reset();
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

} // namespace

size_t msg_read_frames(MsgReadFn read, void *source, zq_sock_callback callback, void *context)
{
    if (read == nullptr)
        return 0;
    size_t delivered = 0;
    unsigned char header[kMsgHeaderSize];
    std::vector<char> payload;
    while (read(source, header, sizeof header)) {
        MsgHeader fields{};
        if (msg_header_decode(header, sizeof header, &fields) != 0)
            break;
        payload.clear();
        size_t got = 0;
        while (got < fields.size) {
            const size_t step = std::min<size_t>(fields.size - got, kReadStep);
            payload.resize(got + step);
            if (!read(source, payload.data() + got, step))
                return delivered;
            got += step;
        }
        if (callback != nullptr)
            callback(context, reinterpret_cast<const char *>(header),
                     got > 0 ? payload.data() : kEmptyPayload);
        ++delivered;
    }
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
    if (callback == nullptr || device_path == nullptr || t_on_receive_thread)
        return -1;
    zq_sock_uninit();
    Channel &state = channel();
    const std::lock_guard<std::mutex> lock(state.mutex);
    state.callback = callback;
    nvr_path(state.path, sizeof state.path, device_path);
    // The daemon may not be up yet: every send retries the connection.
    state.current = open_connection(state.path, callback);
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
    Channel &state = channel();
    std::shared_ptr<Connection> connection;
    MsgHeader header{0, flags, code, static_cast<uint32_t>(length)};
    {
        const std::lock_guard<std::mutex> lock(state.mutex);
        if (state.callback == nullptr)
            return -1;
        if (state.current != nullptr && state.current->ended.load())
            retire_current(state);
        if (state.current == nullptr)
            state.current = open_connection(state.path, state.callback);
        if (state.current == nullptr)
            return -1;
        connection = state.current;
        header.seq = ++state.last_seq;
    }

    unsigned char bytes[kMsgHeaderSize];
    msg_header_encode(header, bytes);
    bool written = false;
    {
        const std::lock_guard<std::mutex> lock(connection->write_mutex);
        written = write_frame(connection->fd, bytes, payload, static_cast<size_t>(length));
    }
    if (written)
        return 0;
    // A frame that is cut short leaves the stream out of step: the
    // connection is given up and the next send opens a new one.
    const std::lock_guard<std::mutex> lock(state.mutex);
    if (state.current == connection)
        retire_current(state);
    return -1;
}

int zq_sock_uninit()
{
    if (t_on_receive_thread)
        return -1;
    Channel &state = channel();
    std::vector<std::shared_ptr<Connection>> ending;
    {
        const std::lock_guard<std::mutex> lock(state.mutex);
        state.callback = nullptr;
        ending = std::move(state.retired);
        state.retired.clear();
        if (state.current != nullptr)
            ending.push_back(std::move(state.current));
        state.current.reset();
    }
    // Joined without the lock held: a callback may itself be sending.
    for (const auto &connection : ending)
        connection->stop();
    return 0;
}
