#include "platform/sysutil/zq_std.h"

#include <spawn.h>
#include <sys/sendfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

extern char **environ;

void *__zq_malloc(size_t size, const char * /*unit*/, int /*line*/) { return malloc(size == 0 ? 1 : size); }

void *__zq_calloc(size_t count, size_t size, const char * /*unit*/, int /*line*/)
{
    return calloc(count == 0 ? 1 : count, size == 0 ? 1 : size);
}

void __zq_free(void *ptr) { free(ptr); }

int zq_check_file_exist(const char *path)
{
    if (path == nullptr || path[0] == '\0')
        return -1;
    return access(path, F_OK) == 0 ? 0 : -1;
}

int zq_spawn_wait(const char *path, const char *const argv[], bool search_path)
{
    if (path == nullptr || argv == nullptr)
        return -1;
    pid_t pid = 0;
    auto *args = const_cast<char *const *>(argv);
    const int started = search_path ? posix_spawnp(&pid, path, nullptr, nullptr, args, environ)
                                    : posix_spawn(&pid, path, nullptr, nullptr, args, environ);
    if (started != 0)
        return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : -1;
}

namespace {

constexpr size_t kCopyChunk = 64 * 1024;

bool write_all(int fd, const char *data, size_t length)
{
    while (length > 0) {
        const ssize_t written = write(fd, data, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        length -= static_cast<size_t>(written);
    }
    return true;
}

int copy_through_buffer(int fd_in, int fd_out)
{
    char buffer[kCopyChunk];
    for (;;) {
        const ssize_t got = read(fd_in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            return 0;
        if (!write_all(fd_out, buffer, static_cast<size_t>(got)))
            return -1;
    }
}

} // namespace

int zq_spliced_copy_ex(int fd_in, int fd_out)
{
    if (fd_in < 0 || fd_out < 0)
        return -1;
    bool sent_any = false;
    for (;;) {
        const ssize_t sent = sendfile(fd_out, fd_in, nullptr, kCopyChunk);
        if (sent > 0) {
            sent_any = true;
            continue;
        }
        if (sent == 0)
            return 0;
        if (errno == EINTR)
            continue;
        // Descriptors sendfile cannot serve (a pipe as the input, say)
        // are copied the plain way, unless part went out already.
        if (!sent_any && (errno == EINVAL || errno == ENOSYS))
            return copy_through_buffer(fd_in, fd_out);
        return -1;
    }
}
