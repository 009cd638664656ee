#include "platform/sysutil/zq_std.h"

#include <cstdlib>
#include <unistd.h>

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
