#include "platform/sysutil/zq_std.h"

#include <spawn.h>
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
