// Services every handler uses: the response writer, the debug log, the
// operation log record, command runners, whole-file and lock helpers.
//
// Paths given to these helpers are real paths: callers resolve device paths
// with nvr_path first. Only cgi_log resolves its own fixed file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>

#include "platform/fslog/log_record.h"

// Response kinds of cgi_writeback_webserver.
constexpr int kRespText = 0;
constexpr int kRespJson = 1;
constexpr int kRespRaw = 2;

int cgi_writeback_webserver(int kind, const char *text);
// Writes a download: the header lines "Content-Type:application/octet-stream"
// and "Content-Disposition: attachment; filename= NAME", then the rest of
// `file` in chunks of 4095 bytes, flushed.
void cgi_send_download(FILE *file, const char *name);
int cgi_error_to_webserver(int kind);

// Appends one line to the debug log; callers pass an empty function name.
int cgi_log(const char *source, int line, const char *function, const char *format, ...)
    __attribute__((format(printf, 4, 5)));

constexpr int kLogMainOperation = 4;
constexpr int kCoreMsgOperationLog = 3485;
constexpr int kCoreMsgCopyLog = 3509;

// Zeroes `record` as an operation from the web: main type 4, remote 1, the
// client address and the user name of the request's session (empty when the
// request has none; handlers of the open resources set it themselves).
int cgi_init_log_info(LogRecord *record);

// The user name of the "userName" cookie (at most 63 characters), as the
// client sent it: nothing that is logged or trusted comes from it.
int get_current_username(char *buffer);

// Runs a fixed command line through the shell; 0 only for exit code 0.
// Never give it request text: use web_run_argv for that.
int web_system(const char *command);

// Runs argv[0] (searched on PATH) with the given arguments, no shell
// involved, and waits. 0 only for exit code 0, -1 otherwise.
int web_run_argv(const char *const argv[]);
// As web_run_argv, with the program's standard output read into `out`:
// at most size - 1 bytes are kept and terminated, the rest is read and
// dropped, so the output never reaches the response. `out` may be null
// (with size 0) to drop it all. 0 only for exit code 0, -1 otherwise
// (`out` holds what was read, empty when the program could not start).
int web_run_argv_output(const char *const argv[], char *out, size_t size);

// Starts argv[0] (searched on PATH) in the background, in a session of its
// own, with its standard streams on /dev/null, and does not wait for it.
// 0 when it started, -1 otherwise.
int web_spawn_argv(const char *const argv[]);
int file_lock(const char *path);
int file_unlock(int fd);

// Whole file into a buffer from __zq_malloc (not terminated); null on error.
char *zq_get_file_data(const char *path, int *length_out);
int zq_wirte_file_data(const char *path, const char *data, int length);

int get_mac_addr(char *mac0, char *mac1);
int time_to_string_local_ex(time_t seconds, char *buffer);

int IsFileExisted(const char *path);
int IsDirExisted(const char *path);
int RemoveFile(const char *from, const char *to);
int DeleteFile(const char *path);
// Copies the regular file `from` to `to` (created or replaced, mode 0644)
// and flushes it to storage. 0 or -1 (a partial copy is removed).
int CopyFileSync(const char *from, const char *to);
// Moves `from` to `to`: a rename, or across file systems a flushed copy
// and the removal of `from`. 0 or -1 (`from` is kept on failure).
int MoveFileSync(const char *from, const char *to);
