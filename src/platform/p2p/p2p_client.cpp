#include "platform/p2p/p2p_client.h"

#include <netdb.h>
#include <poll.h>
#include <sys/random.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kWaitMs = 5000;
constexpr int kRsaBlockPlain = 117;
constexpr int kRsaBlockCipher = 128;
constexpr int kMaxHandles = 4;
constexpr size_t kKeySize = 16;

// One session key per open handle; the key only marks that a session
// was set up, the service and the stand-in agree on plain bodies.
struct Session {
    int fd = -1;
    bool has_key = false;
    unsigned char key[kKeySize] = {};
};
Session g_sessions[kMaxHandles];

Session *session_of(int handle)
{
    return handle >= 0 && handle < kMaxHandles && g_sessions[handle].fd >= 0 ? &g_sessions[handle] : nullptr;
}

bool wait_ready(int fd, short events)
{
    pollfd entry{fd, events, 0};
    int ready = 0;
    do
        ready = poll(&entry, 1, kWaitMs);
    while (ready < 0 && errno == EINTR);
    return ready == 1 && (entry.revents & (events | POLLHUP)) != 0;
}

// A connect that gives up after kWaitMs.
bool connect_within(int fd, const addrinfo &address)
{
    if (connect(fd, address.ai_addr, address.ai_addrlen) == 0)
        return true;
    if (errno != EINPROGRESS || !wait_ready(fd, POLLOUT))
        return false;
    int error = 0;
    socklen_t size = sizeof error;
    return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

} // namespace

int socket_create()
{
    for (int handle = 0; handle < kMaxHandles; ++handle) {
        if (g_sessions[handle].fd >= 0)
            continue;
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0)
            return -1;
        g_sessions[handle] = Session{};
        g_sessions[handle].fd = fd;
        return handle;
    }
    return -1;
}

int socket_connect(int handle, const char *host, int port)
{
    Session *session = session_of(handle);
    if (session == nullptr || host == nullptr || host[0] == '\0' || port <= 0 || port > 65535)
        return -1;
    char service[8];
    snprintf(service, sizeof service, "%d", port);
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    if (getaddrinfo(host, service, &hints, &found) != 0 || found == nullptr)
        return -1;
    const bool connected = connect_within(session->fd, *found);
    freeaddrinfo(found);
    return connected ? 0 : -1;
}

void socket_destroy(int handle)
{
    if (Session *session = session_of(handle)) {
        close(session->fd);
        *session = Session{};
    }
}

int p2p_create_keyfile(int handle)
{
    Session *session = session_of(handle);
    if (session == nullptr || getrandom(session->key, sizeof session->key, 0) != sizeof session->key)
        return -1;
    session->has_key = true;
    return 0;
}

int p2p_cli_switch_keyfile(int handle)
{
    const Session *session = session_of(handle);
    return session != nullptr && session->has_key ? 0 : -1;
}

int p2p_send(int handle, const void *data, size_t length)
{
    const Session *session = session_of(handle);
    if (session == nullptr || data == nullptr)
        return -1;
    const auto *bytes = static_cast<const unsigned char *>(data);
    for (size_t sent = 0; sent < length;) {
        if (!wait_ready(session->fd, POLLOUT))
            return -1;
        const ssize_t written = send(session->fd, bytes + sent, length - sent, MSG_NOSIGNAL);
        if (written < 0 && errno != EAGAIN && errno != EINTR)
            return -1;
        sent += written > 0 ? static_cast<size_t>(written) : 0;
    }
    return 0;
}

int p2p_recv(int handle, void *data, size_t length)
{
    const Session *session = session_of(handle);
    if (session == nullptr || data == nullptr)
        return -1;
    auto *bytes = static_cast<unsigned char *>(data);
    for (size_t got = 0; got < length;) {
        if (!wait_ready(session->fd, POLLIN))
            return -1;
        const ssize_t read_now = recv(session->fd, bytes + got, length - got, 0);
        if (read_now == 0 || (read_now < 0 && errno != EAGAIN && errno != EINTR))
            return -1;
        got += read_now > 0 ? static_cast<size_t>(read_now) : 0;
    }
    return 0;
}

int rsa_cal_ensize(int length)
{
    if (length <= 0)
        return 0;
    return (length + kRsaBlockPlain - 1) / kRsaBlockPlain * kRsaBlockCipher;
}

namespace {

void put_le32(unsigned char *at, int32_t value)
{
    const auto bits = static_cast<uint32_t>(value);
    for (int byte = 0; byte < 4; ++byte)
        at[byte] = static_cast<unsigned char>(bits >> (8 * byte));
}

int32_t get_le32(const unsigned char *at)
{
    return static_cast<int32_t>(static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
                                static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24);
}

int register_on(int handle, const char *host, int port, const void *record, size_t size, char *answer)
{
    constexpr size_t kStatusAt = 12;
    if (socket_connect(handle, host, port) != 0)
        return kP2pRegisterNoLink;
    if (p2p_create_keyfile(handle) != 0 || p2p_cli_switch_keyfile(handle) != 0)
        return kP2pRegisterKeyFailed;
    unsigned char header[kP2pHeaderSize] = {};
    put_le32(header, 2);
    put_le32(header + 8, rsa_cal_ensize(static_cast<int>(size)));
    put_le32(header + 16, 1);
    if (p2p_send(handle, header, sizeof header) != 0 || p2p_send(handle, record, size) != 0 ||
        p2p_recv(handle, header, sizeof header) != 0)
        return kP2pRegisterNoLink;
    const int32_t status = get_le32(header + kStatusAt);
    if (status == kP2pRegisterRefused)
        return kP2pRegisterRefused;
    if (status != 0 || p2p_recv(handle, answer, kP2pAnswerSize) != 0)
        return kP2pRegisterNoLink;
    answer[kP2pAnswerSize - 1] = '\0';
    return kP2pRegisterDone;
}

} // namespace

int p2p_register_device(const char *host, int port, const void *record, size_t size, char *answer)
{
    if (answer == nullptr || record == nullptr)
        return kP2pRegisterNoLink;
    memset(answer, 0, kP2pAnswerSize);
    const int handle = socket_create();
    if (handle < 0)
        return kP2pRegisterNoLink;
    const int result = register_on(handle, host, port, record, size, answer);
    socket_destroy(handle);
    if (result != kP2pRegisterDone)
        memset(answer, 0, kP2pAnswerSize);
    return result;
}
