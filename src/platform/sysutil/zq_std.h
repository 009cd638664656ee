// System support calls used across the program: tagged allocation, small
// file checks and running a program without a shell.
#pragma once

#include <cstddef>

// Allocation tagged with the calling source unit and line (kept for the
// allocation tracing of the device library; here it is plain malloc).
void *__zq_malloc(size_t size, const char *unit, int line);
void *__zq_calloc(size_t count, size_t size, const char *unit, int line);
void __zq_free(void *ptr);

// 0 when `path` names an existing file system entry, -1 otherwise.
int zq_check_file_exist(const char *path);

// Starts `path` (searched on PATH when `search_path` is true) with `argv`,
// no shell involved, and waits for it. 0 only for exit code 0, else -1.
int zq_spawn_wait(const char *path, const char *const argv[], bool search_path);

// Copies everything from `fd_in` (from its current offset to its end) to
// `fd_out`, in the kernel where it can (sendfile), else through a buffer.
// 0 when the whole file went out, -1 otherwise.
int zq_spliced_copy_ex(int fd_in, int fd_out);
