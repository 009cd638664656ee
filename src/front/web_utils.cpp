#include "front/web_utils.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "front/cgi_env.h"
#include "front/session.h"
#include "platform/netutil/netutil.h"
#include "platform/sysutil/nvr_path.h"
#include "platform/sysutil/zq_std.h"

extern char **environ;

namespace {

constexpr const char *kDebugLogPath = "/mnt/nand/cgi_log.txt";
constexpr size_t kLogLineMax = 2048;
constexpr size_t kDownloadChunk = 4095;
constexpr size_t kUserNameMax = 64;

const char *header_of_kind(int kind)
{
    switch (kind) {
    case kRespText:
        return "Content-type: text/plain\r\n\r\n";
    case kRespJson:
        return "Content-type: application/json\r\n\r\n";
    default:
        return "";
    }
}

// Copies at most size - 1 characters and always terminates.
void copy_text(char *to, size_t size, const char *from) { snprintf(to, size, "%s", from); }

// Waits for `pid`; 0 only for exit code 0.
int wait_exit(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : -1;
}

// Reads `fd` to its end, keeping at most size - 1 bytes in `out`.
void read_to_end(int fd, char *out, size_t size)
{
    size_t kept = 0;
    char scrap[512];
    for (;;) {
        const bool room = size > 0 && kept < size - 1;
        char *into = room ? out + kept : scrap;
        const size_t want = room ? size - 1 - kept : sizeof scrap;
        const ssize_t got = read(fd, into, want);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        if (room)
            kept += static_cast<size_t>(got);
    }
    if (size > 0)
        out[kept] = '\0';
}

} // namespace

int cgi_writeback_webserver(int kind, const char *text)
{
    if (text == nullptr)
        return -1;
    FILE *out = cgiOut != nullptr ? cgiOut : stdout;
    fputs(header_of_kind(kind), out);
    fputs(text, out);
    fflush(out);
    return 0;
}

void cgi_send_download(FILE *file, const char *name)
{
    FILE *out = cgiOut != nullptr ? cgiOut : stdout;
    fputs("Content-Type:application/octet-stream\r\n", out);
    fprintf(out, "Content-Disposition: attachment; filename= %s\r\n\r\n", name);
    char chunk[kDownloadChunk];
    size_t got = 0;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        fwrite(chunk, 1, got, out);
    fflush(out);
}

int cgi_error_to_webserver(int kind)
{
    if (kind == kRespText)
        cgi_writeback_webserver(kRespText, "CGI ERROR");
    else if (kind == kRespJson)
        cgi_writeback_webserver(kRespJson, "{status:\"CGI ERROR\"}");
    return 0;
}

int cgi_log(const char *source, int line, const char *function, const char *format, ...)
{
    char message[kLogLineMax];
    va_list args;
    va_start(args, format);
    vsnprintf(message, sizeof message, format, args);
    va_end(args);

    const time_t now = time(nullptr);
    struct tm local {};
    localtime_r(&now, &local);
    char stamp[64];
    snprintf(stamp, sizeof stamp, "%4d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
             local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);

    char text[kLogLineMax];
    snprintf(text, sizeof text, "[vorn debug] %s  %s:%d in %s: %s\n", stamp, source, line, function, message);

    const NvrPath path(kDebugLogPath);
    FILE *file = fopen(path.c_str(), "a+");
    if (file == nullptr)
        return -1;
    fputs(text, file);
    fflush(file);
    fclose(file);
    return 0;
}

int cgi_init_log_info(LogRecord *record)
{
    if (record == nullptr)
        return -1;
    memset(record, 0, sizeof *record);
    record->main_type = kLogMainOperation;
    record->remote = 1;
    // The name of the checked session, never the client's own cookie.
    if (const char *user = session_user())
        copy_text(record->user_name, sizeof record->user_name, user);
    copy_text(record->client_addr, sizeof record->client_addr, cgiRemoteAddr);
    return 0;
}

int get_current_username(char *buffer)
{
    if (buffer == nullptr)
        return -1;
    const char *start = strstr(cgiCookie, "userName=");
    if (start == nullptr)
        return -1;
    start += strlen("userName=");
    size_t length = strcspn(start, ";");
    if (length > kUserNameMax - 1)
        length = kUserNameMax - 1;
    char value[kUserNameMax];
    memcpy(value, start, length);
    value[length] = '\0';
    const char *equals = strchr(value, '=');
    copy_text(buffer, kUserNameMax, equals != nullptr ? equals + 1 : value);
    return 0;
}

int web_system(const char *command)
{
    if (command == nullptr)
        return -1;
    const char *const argv[] = {"sh", "-c", command, nullptr};
    return zq_spawn_wait("/bin/sh", argv, false);
}

int web_run_argv(const char *const argv[])
{
    if (argv == nullptr || argv[0] == nullptr)
        return -1;
    return zq_spawn_wait(argv[0], argv, true);
}

int web_run_argv_output(const char *const argv[], char *out, size_t size)
{
    if (size > 0)
        out[0] = '\0';
    if (argv == nullptr || argv[0] == nullptr || (out == nullptr && size > 0))
        return -1;
    int pipe_fds[2];
    if (pipe2(pipe_fds, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
    pid_t pid = 0;
    auto *args = const_cast<char *const *>(argv);
    const int started = posix_spawnp(&pid, argv[0], &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_fds[1]);
    if (started == 0)
        read_to_end(pipe_fds[0], out, size);
    close(pipe_fds[0]);
    return started == 0 ? wait_exit(pid) : -1;
}

int web_spawn_argv(const char *const argv[])
{
    if (argv == nullptr || argv[0] == nullptr)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY,
                                         0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    auto *args = const_cast<char *const *>(argv);
    const int started = posix_spawnp(&pid, argv[0], &actions, &attributes, args, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return started == 0 ? 0 : -1;
}

int file_lock(const char *path)
{
    if (path == nullptr)
        return -1;
    const int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return -1;
    while (lockf(fd, F_LOCK, 0) < 0) {
        if (errno != EINTR) {
            close(fd);
            return -1;
        }
    }
    return fd;
}

int file_unlock(int fd)
{
    if (fd < 0)
        return fd;
    lockf(fd, F_ULOCK, 0);
    return close(fd);
}

char *zq_get_file_data(const char *path, int *length_out)
{
    if (length_out != nullptr)
        *length_out = 0;
    if (path == nullptr || length_out == nullptr)
        return nullptr;
    FILE *file = fopen(path, "rb");
    if (file == nullptr)
        return nullptr;
    char *data = nullptr;
    if (fseek(file, 0, SEEK_END) == 0) {
        const long size = ftell(file);
        if (size >= 0 && size <= 0x7fffffffL && fseek(file, 0, SEEK_SET) == 0) {
            data = static_cast<char *>(__zq_malloc(static_cast<size_t>(size), "web_utils", __LINE__));
            if (data != nullptr &&
                fread(data, 1, static_cast<size_t>(size), file) == static_cast<size_t>(size)) {
                *length_out = static_cast<int>(size);
            } else {
                __zq_free(data);
                data = nullptr;
            }
        }
    }
    fclose(file);
    return data;
}

int zq_wirte_file_data(const char *path, const char *data, int length)
{
    if (path == nullptr || length < 0 || (data == nullptr && length > 0))
        return -1;
    FILE *file = fopen(path, "w");
    if (file == nullptr)
        return -1;
    const size_t written = length > 0 ? fwrite(data, 1, static_cast<size_t>(length), file) : 0;
    const bool closed = fclose(file) == 0;
    return closed && written == static_cast<size_t>(length) ? 0 : -1;
}

int get_mac_addr(char *mac0, char *mac1) { return if_get_mac_addr(mac0, mac1); }

int time_to_string_local_ex(time_t seconds, char *buffer)
{
    struct tm local {};
    localtime_r(&seconds, &local);
    return snprintf(buffer, 32, "%4d-%02d-%02d_%02d_%02d_%02d", local.tm_year + 1900, local.tm_mon + 1,
                    local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
}

int IsFileExisted(const char *path) { return zq_check_file_exist(path); }

int IsDirExisted(const char *path)
{
    struct stat info {};
    if (path == nullptr || lstat(path, &info) != 0)
        return -1;
    return S_ISDIR(info.st_mode) ? 0 : -1;
}

// Moves a file without a shell, so names with blanks or shell syntax are
// just names. Reports a failed move instead of hiding it.
int RemoveFile(const char *from, const char *to)
{
    if (from == nullptr || to == nullptr)
        return -1;
    return rename(from, to) == 0 ? 0 : -1;
}

int DeleteFile(const char *path)
{
    if (path == nullptr)
        return -1;
    return unlink(path) == 0 ? 0 : -1;
}

int CopyFileSync(const char *from, const char *to)
{
    if (from == nullptr || to == nullptr)
        return -1;
    const int in = open(from, O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (in < 0)
        return -1;
    struct stat info {};
    const int out = fstat(in, &info) == 0 && S_ISREG(info.st_mode)
                        ? open(to, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644)
                        : -1;
    bool copied = out >= 0;
    char buffer[4096];
    while (copied) {
        const ssize_t got = read(in, buffer, sizeof buffer);
        if (got <= 0) {
            copied = got == 0;
            break;
        }
        copied = write(out, buffer, static_cast<size_t>(got)) == got;
    }
    close(in);
    if (out >= 0) {
        copied = copied && fsync(out) == 0;
        copied = close(out) == 0 && copied;
        if (!copied)
            unlink(to);
    }
    return copied ? 0 : -1;
}

int MoveFileSync(const char *from, const char *to)
{
    if (from == nullptr || to == nullptr)
        return -1;
    if (rename(from, to) == 0)
        return 0;
    if (errno != EXDEV || CopyFileSync(from, to) != 0)
        return -1;
    unlink(from);
    return 0;
}
