// A core daemon for unit tests: listens on the core socket under the test's
// NVR_ROOT, records every frame it receives and answers through a responder
// that the test gives. One connection is served at a time, in order.
#pragma once

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/msgsock/msgsock.h"
#include "test_support.h"

struct ReceivedFrame {
    std::string header; // the 24 bytes as sent
    MsgHeader fields;
    std::string payload;
};

struct DaemonReply {
    int delay_ms; // waited before the bytes are written
    std::string bytes;
};

// One encoded frame as the daemon would send it.
inline std::string encode_frame(int code, const std::string &payload, uint32_t seq = 0, uint32_t flags = 0)
{
    unsigned char header[kMsgHeaderSize];
    msg_header_encode(MsgHeader{seq, flags, code, static_cast<uint32_t>(payload.size())}, header);
    return std::string(reinterpret_cast<const char *>(header), sizeof header) + payload;
}

class FakeDaemon {
public:
    using Responder = std::function<std::vector<DaemonReply>(const ReceivedFrame &)>;

    explicit FakeDaemon(const TempRoot &root, Responder responder = {}) : responder_(std::move(responder))
    {
        std::filesystem::create_directories(root / "var/run");
        path_ = root / "var/run/zqsocket";
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        snprintf(address.sun_path, sizeof address.sun_path, "%s", path_.c_str());
        listen_fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (listen_fd_ < 0 || bind(listen_fd_, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
            listen(listen_fd_, 8) != 0 || pipe(wake_) != 0)
            abort();
        thread_ = std::thread([this] { serve(); });
    }

    ~FakeDaemon()
    {
        const char stop = 's';
        (void)!write(wake_[1], &stop, 1);
        thread_.join();
        close(listen_fd_);
        unlink(path_.c_str());
        close(wake_[0]);
        close(wake_[1]);
    }

    FakeDaemon(const FakeDaemon &) = delete;
    FakeDaemon &operator=(const FakeDaemon &) = delete;

    std::vector<ReceivedFrame> frames()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        return frames_;
    }

    // Waits until `count` frames have come in; false after `timeout`.
    bool wait_frames(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5))
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return frames_.size() >= count; });
    }

    // Waits until the client has ended `count` connections.
    bool wait_closed(int count, std::chrono::milliseconds timeout = std::chrono::seconds(5))
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return closed_ >= count; });
    }

    int connections()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        return accepted_;
    }

private:
    // Waits for `fd` to be readable; false when the daemon is being stopped.
    bool wait_readable(int fd, int timeout_ms = -1)
    {
        pollfd polled[2] = {{fd, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        while (true) {
            const int ready = poll(polled, 2, timeout_ms);
            if (ready < 0 && errno == EINTR)
                continue;
            return ready > 0 && (polled[1].revents & POLLIN) == 0;
        }
    }

    bool stopped()
    {
        pollfd polled{wake_[0], POLLIN, 0};
        return poll(&polled, 1, 0) > 0;
    }

    // 1 for the bytes read, 0 at the end of the connection, -1 when stopped.
    int read_exact(int fd, char *out, size_t length)
    {
        while (length > 0) {
            if (!wait_readable(fd))
                return -1;
            const ssize_t got = recv(fd, out, length, 0);
            if (got <= 0)
                return 0;
            out += got;
            length -= static_cast<size_t>(got);
        }
        return 1;
    }

    void serve()
    {
        while (wait_readable(listen_fd_)) {
            const int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0)
                continue;
            {
                const std::lock_guard<std::mutex> lock(mutex_);
                ++accepted_;
            }
            const bool go_on = serve_connection(fd);
            close(fd);
            if (!go_on)
                return;
        }
    }

    // false when the daemon is being stopped.
    bool serve_connection(int fd)
    {
        while (true) {
            ReceivedFrame frame;
            char header[kMsgHeaderSize];
            int got = read_exact(fd, header, sizeof header);
            if (got == 1 && msg_header_decode(reinterpret_cast<unsigned char *>(header), sizeof header,
                                              &frame.fields) != 0)
                got = 0;
            if (got == 1) {
                frame.header.assign(header, sizeof header);
                frame.payload.resize(frame.fields.size);
                got = read_exact(fd, frame.payload.data(), frame.payload.size());
            }
            if (got != 1) {
                const std::lock_guard<std::mutex> lock(mutex_);
                closed_ += got == 0 ? 1 : 0;
                changed_.notify_all();
                return got == 0;
            }
            {
                const std::lock_guard<std::mutex> lock(mutex_);
                frames_.push_back(frame);
                changed_.notify_all();
            }
            if (!responder_)
                continue;
            for (const DaemonReply &reply : responder_(frame)) {
                if (reply.delay_ms > 0) {
                    wait_readable(-1, reply.delay_ms);
                    if (stopped())
                        return false;
                }
                send(fd, reply.bytes.data(), reply.bytes.size(), MSG_NOSIGNAL);
            }
        }
    }

    Responder responder_;
    std::string path_;
    int listen_fd_ = -1;
    int wake_[2] = {-1, -1};
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<ReceivedFrame> frames_;
    int accepted_ = 0;
    int closed_ = 0;
};
