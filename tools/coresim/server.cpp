#include "server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <deque>

#include "payload_text.h"
#include "platform/msgsock/msgsock.h"

namespace {

using Clock = std::chrono::steady_clock;

// More connections than this wait in the listen backlog.
constexpr size_t kMaxConnections = 256;
constexpr size_t kReadChunk = 64 * 1024;

volatile sig_atomic_t g_stop = 0;
int g_wake_pipe[2] = {-1, -1};

void on_stop_signal(int)
{
    g_stop = 1;
    const ssize_t ignored = write(g_wake_pipe[1], "x", 1);
    (void)ignored;
}

struct PendingReply {
    Clock::time_point due;
    std::string frame;
};

struct Connection {
    int fd = -1;
    unsigned id = 0;
    std::string in;                   // bytes of the frame being read
    std::deque<PendingReply> pending; // replies in sending order, due times rising
    std::string out;                  // bytes being written
    Clock::time_point last_due;       // a later request's replies never overtake
    bool peer_closed = false;         // the client sends nothing more
    bool dead = false;
};

std::string encode_frame(uint32_t seq, int32_t code, const std::string &payload)
{
    unsigned char header[kMsgHeaderSize];
    msg_header_encode(MsgHeader{seq, 0, code, static_cast<uint32_t>(payload.size())}, header);
    std::string frame(reinterpret_cast<const char *>(header), sizeof header);
    return frame + payload;
}

class Server {
public:
    Server(const ServerOptions &options, const Responder &responder)
        : options_(options), responder_(responder)
    {
    }
    ~Server();
    Server(const Server &) = delete;
    Server &operator=(const Server &) = delete;

    bool start();
    void serve();
    void drain();

private:
    bool open_listener();
    void accept_clients(bool draining);
    void read_available(Connection &conn, bool draining);
    bool take_frames(Connection &conn, bool draining);
    void handle(Connection &conn, const CoreMessage &message, bool draining);
    void send_due(Connection &conn, Clock::time_point now);
    int poll_timeout_ms(Clock::time_point now) const;

    const ServerOptions &options_;
    const Responder &responder_;
    int listen_fd_ = -1;
    bool own_socket_file_ = false;
    FILE *record_ = nullptr;
    std::vector<Connection> conns_;
    unsigned next_id_ = 1;
    Clock::time_point accept_resume_;
};

Server::~Server()
{
    for (Connection &conn : conns_)
        close(conn.fd);
    if (listen_fd_ >= 0)
        close(listen_fd_);
    if (own_socket_file_)
        unlink(options_.socket_path.c_str());
    if (!options_.ready_path.empty())
        unlink(options_.ready_path.c_str());
    if (record_ != nullptr)
        fclose(record_);
}

bool Server::open_listener()
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (options_.socket_path.empty() || options_.socket_path.size() >= sizeof address.sun_path) {
        fprintf(stderr, "coresim: socket path empty or too long: %s\n", options_.socket_path.c_str());
        return false;
    }
    memcpy(address.sun_path, options_.socket_path.c_str(), options_.socket_path.size() + 1);

    // A socket file left by a daemon that is gone is replaced; a live daemon
    // or a file of another kind is left alone.
    struct stat info {};
    if (lstat(options_.socket_path.c_str(), &info) == 0) {
        const int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const bool live = probe >= 0 && S_ISSOCK(info.st_mode) &&
                          connect(probe, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        if (probe >= 0)
            close(probe);
        if (!S_ISSOCK(info.st_mode) || live) {
            fprintf(stderr, "coresim: %s is in use\n", options_.socket_path.c_str());
            return false;
        }
        unlink(options_.socket_path.c_str());
    }

    listen_fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listen_fd_ < 0 || bind(listen_fd_, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        fprintf(stderr, "coresim: cannot bind %s: %s\n", options_.socket_path.c_str(), strerror(errno));
        return false;
    }
    own_socket_file_ = true;
    if (listen(listen_fd_, 128) != 0) {
        fprintf(stderr, "coresim: cannot listen on %s: %s\n", options_.socket_path.c_str(), strerror(errno));
        return false;
    }
    return true;
}

bool Server::start()
{
    if (pipe2(g_wake_pipe, O_NONBLOCK | O_CLOEXEC) != 0)
        return false;
    struct sigaction action {};
    action.sa_handler = on_stop_signal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);

    if (!options_.record_path.empty()) {
        record_ = fopen(options_.record_path.c_str(), "a");
        if (record_ == nullptr) {
            fprintf(stderr, "coresim: cannot open %s: %s\n", options_.record_path.c_str(), strerror(errno));
            return false;
        }
    }
    if (!open_listener())
        return false;
    if (!options_.ready_path.empty()) {
        FILE *ready = fopen(options_.ready_path.c_str(), "w");
        if (ready == nullptr) {
            fprintf(stderr, "coresim: cannot create %s: %s\n", options_.ready_path.c_str(), strerror(errno));
            return false;
        }
        fprintf(ready, "%d\n", static_cast<int>(getpid()));
        fclose(ready);
    }
    printf("coresim: listening on %s\n", options_.socket_path.c_str());
    fflush(stdout);
    return true;
}

void Server::accept_clients(bool draining)
{
    while (draining || conns_.size() < kMaxConnections) {
        const int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            // Out of descriptors: try again a little later instead of spinning.
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                accept_resume_ = Clock::now() + std::chrono::milliseconds(100);
            return;
        }
        Connection conn;
        conn.fd = fd;
        conn.id = next_id_++;
        conns_.push_back(std::move(conn));
    }
}

void Server::handle(Connection &conn, const CoreMessage &message, bool draining)
{
    if (record_ != nullptr) {
        fprintf(record_, "%s\n", record_line(message).c_str());
        fflush(record_);
    }
    Answer answer = responder_(message);
    if ((message.flags & kMsgFlagNoReply) != 0 || draining)
        return;
    Clock::time_point due = std::max(Clock::now(), conn.last_due);
    for (AnswerStep &step : answer) {
        if (step.is_pause) {
            due += std::chrono::milliseconds(std::max(step.delay_ms, 0));
            continue;
        }
        conn.pending.push_back({due, encode_frame(message.seq, step.code, step.payload)});
    }
    conn.last_due = due;
}

// Handles every whole frame in the input; false when a header is invalid.
bool Server::take_frames(Connection &conn, bool draining)
{
    size_t used = 0;
    bool valid = true;
    while (conn.in.size() - used >= kMsgHeaderSize) {
        MsgHeader header{};
        if (msg_header_decode(reinterpret_cast<const unsigned char *>(conn.in.data() + used), kMsgHeaderSize,
                              &header) != 0) {
            valid = false;
            break;
        }
        if (conn.in.size() - used - kMsgHeaderSize < header.size)
            break;
        CoreMessage message;
        message.seq = header.seq;
        message.flags = header.flags;
        message.code = header.code;
        message.payload = conn.in.substr(used + kMsgHeaderSize, header.size);
        used += kMsgHeaderSize + header.size;
        handle(conn, message, draining);
    }
    conn.in.erase(0, used);
    return valid;
}

void Server::read_available(Connection &conn, bool draining)
{
    char chunk[kReadChunk];
    while (!conn.dead && !conn.peer_closed) {
        const ssize_t got = read(conn.fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                conn.dead = true;
            return;
        }
        if (got == 0) {
            conn.peer_closed = true;
            return;
        }
        conn.in.append(chunk, static_cast<size_t>(got));
        if (!take_frames(conn, draining)) {
            fprintf(stderr, "coresim: connection %u: bad frame header, closing it\n", conn.id);
            conn.dead = true;
        }
    }
}

void Server::send_due(Connection &conn, Clock::time_point now)
{
    while (!conn.pending.empty() && conn.pending.front().due <= now) {
        conn.out += conn.pending.front().frame;
        conn.pending.pop_front();
    }
    while (!conn.out.empty() && !conn.dead) {
        const ssize_t sent = send(conn.fd, conn.out.data(), conn.out.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                conn.dead = true;
            return;
        }
        conn.out.erase(0, static_cast<size_t>(sent));
    }
}

int Server::poll_timeout_ms(Clock::time_point now) const
{
    Clock::time_point wake = Clock::time_point::max();
    for (const Connection &conn : conns_) {
        if (!conn.pending.empty())
            wake = std::min(wake, conn.pending.front().due);
    }
    if (now < accept_resume_)
        wake = std::min(wake, accept_resume_);
    if (wake == Clock::time_point::max())
        return -1;
    if (wake <= now)
        return 0;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(wake - now).count();
    return static_cast<int>(std::min<long long>(ms, 60000));
}

void Server::serve()
{
    std::vector<pollfd> fds;
    while (g_stop == 0) {
        const Clock::time_point now = Clock::now();
        const bool accepting = conns_.size() < kMaxConnections && now >= accept_resume_;
        fds.clear();
        fds.push_back({g_wake_pipe[0], POLLIN, 0});
        fds.push_back({accepting ? listen_fd_ : -1, POLLIN, 0});
        for (const Connection &conn : conns_) {
            short events = conn.peer_closed ? 0 : POLLIN;
            if (!conn.out.empty())
                events |= POLLOUT;
            fds.push_back({conn.fd, events, 0});
        }
        const size_t polled = conns_.size();
        if (poll(fds.data(), fds.size(), poll_timeout_ms(now)) < 0 && errno != EINTR)
            break;
        if (g_stop != 0)
            break;
        if ((fds[1].revents & POLLIN) != 0)
            accept_clients(false);
        for (size_t i = 0; i < polled; ++i) {
            Connection &conn = conns_[i];
            const short revents = fds[i + 2].revents;
            if ((revents & (POLLIN | POLLHUP | POLLERR)) != 0)
                read_available(conn, false);
            // Nothing more can be delivered to a client that hung up.
            if ((revents & (POLLHUP | POLLERR)) != 0)
                conn.dead = true;
        }
        const Clock::time_point after = Clock::now();
        for (Connection &conn : conns_) {
            if (!conn.dead)
                send_due(conn, after);
            if (conn.peer_closed && conn.pending.empty() && conn.out.empty())
                conn.dead = true;
            if (conn.dead)
                close(conn.fd);
        }
        conns_.erase(std::remove_if(conns_.begin(), conns_.end(), [](const Connection &c) { return c.dead; }),
                     conns_.end());
    }
}

// Reads and records what the clients sent before the stop, so that a
// message written just before the stop is not lost; nothing is answered.
void Server::drain()
{
    accept_clients(true);
    for (Connection &conn : conns_)
        read_available(conn, true);
}

} // namespace

std::string record_line(const CoreMessage &message)
{
    const std::string hex = message.payload.empty() ? "-" : payload_text::to_hex(message.payload);
    return std::to_string(message.code) + " " + std::to_string(message.flags) + " " + hex;
}

int run_server(const ServerOptions &options, const Responder &responder)
{
    Server server(options, responder);
    if (!server.start())
        return 1;
    server.serve();
    server.drain();
    return 0;
}
