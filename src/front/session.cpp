#include "front/session.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/sysutil/nvr_path.h"

namespace {

constexpr size_t kUserMax = 64;
constexpr size_t kAddrMax = 46;
constexpr int kMaxCreateAttempts = 4;
// Sessions one pass over the store looks at; the store stays small in practice.
constexpr int kMaxSweep = 4096;
constexpr char kMagic[4] = {'N', 'V', 'S', '1'};

#pragma pack(push, 1)
struct SessionFile {
    char magic[4];
    int32_t account_id;
    int32_t type;
    int32_t idle_limit;
    char address[kAddrMax];
    char user[kUserMax];
    SessionAccess access;
};
#pragma pack(pop)

struct Current {
    bool valid = false;
    char id[kSessionIdDigits + 1] = {};
    char user[kUserMax] = {};
    SessionAccess access = {};
};
Current g_current;

bool is_session_id(const char *text)
{
    size_t n = 0;
    for (; text[n] != '\0'; ++n) {
        if (text[n] < '0' || text[n] > '9')
            return false;
    }
    return n == kSessionIdDigits;
}

void session_file(char *out, size_t size, const char *id)
{
    char device_path[128];
    snprintf(device_path, sizeof device_path, "%s/%s", kSessionDir, id);
    nvr_path(out, size, device_path);
}

bool terminated(const char *field, size_t size) { return memchr(field, '\0', size) != nullptr; }

// A whole record with its texts terminated and a usable idle limit.
bool sound_record(const SessionFile &record)
{
    return memcmp(record.magic, kMagic, sizeof kMagic) == 0 && record.idle_limit > 0 &&
           terminated(record.address, sizeof record.address) && terminated(record.user, sizeof record.user) &&
           terminated(record.access.liveview, sizeof record.access.liveview) &&
           terminated(record.access.playback, sizeof record.access.playback);
}

// Reads the record of an open session file and its last use.
bool read_record(int fd, SessionFile *out, struct timespec *last_use)
{
    struct stat info {};
    if (fstat(fd, &info) != 0 || info.st_size != static_cast<off_t>(sizeof *out))
        return false;
    if (read(fd, out, sizeof *out) != static_cast<ssize_t>(sizeof *out))
        return false;
    *last_use = info.st_mtim;
    return sound_record(*out);
}

bool read_session(const char *path, SessionFile *out, struct timespec *last_use)
{
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool read_whole = read_record(fd, out, last_use);
    close(fd);
    return read_whole;
}

bool is_expired(const SessionFile &record, const struct timespec &last_use, time_t now)
{
    return now - last_use.tv_sec > record.idle_limit;
}

// A complete new file beside `path` (same folder), its last use set to
// `last_use` (null: now); its name goes to `temp`. False (nothing left
// behind) when it cannot be written.
bool write_temp(const char *path, const SessionFile &record, const struct timespec *last_use, char *temp,
                size_t temp_size)
{
    snprintf(temp, temp_size, "%s.XXXXXX", path);
    const int fd = mkstemp(temp);
    if (fd < 0)
        return false;
    bool written = write(fd, &record, sizeof record) == static_cast<ssize_t>(sizeof record);
    if (written && last_use != nullptr) {
        const struct timespec times[2] = {*last_use, *last_use};
        written = futimens(fd, times) == 0;
    }
    if (close(fd) != 0 || !written) {
        unlink(temp);
        return false;
    }
    return true;
}

// Calls `visit(path, record, last_use)` for every sound session file of the
// store (at most kMaxSweep); -1 when the store cannot be opened.
template <typename Visit> int for_each_session(Visit visit)
{
    const NvrPath dir_path(kSessionDir);
    DIR *dir = opendir(dir_path.c_str());
    if (dir == nullptr)
        return errno == ENOENT ? 0 : -1;
    int seen = 0;
    while (const dirent *entry = readdir(dir)) {
        if (!is_session_id(entry->d_name))
            continue;
        if (++seen > kMaxSweep)
            break;
        char path[kNvrPathMax];
        session_file(path, sizeof path, entry->d_name);
        SessionFile record;
        struct timespec last_use {};
        if (read_session(path, &record, &last_use))
            visit(path, entry->d_name, record, last_use);
    }
    closedir(dir);
    return 0;
}

// Removes the sessions idle past their limits.
void sweep(time_t now)
{
    for_each_session(
        [now](const char *path, const char *, const SessionFile &record, const struct timespec &last_use) {
            if (is_expired(record, last_use, now))
                unlink(path);
        });
}

// The value of cookie `name` (exact name, first occurrence) into `out`;
// false when there is none or it does not fit.
bool cookie_value(const char *cookie, const char *name, char *out, size_t size)
{
    const size_t name_length = strlen(name);
    for (const char *at = cookie; *at != '\0';) {
        while (*at == ' ' || *at == ';')
            ++at;
        const size_t length = strcspn(at, ";");
        if (length > name_length && strncmp(at, name, name_length) == 0 && at[name_length] == '=') {
            const size_t value_length = length - name_length - 1;
            if (value_length >= size)
                return false;
            memcpy(out, at + name_length + 1, value_length);
            out[value_length] = '\0';
            return true;
        }
        at += length;
    }
    return false;
}

// The record of a new login; false when a text does not fit its field.
bool login_record(const SessionLogin &login, SessionFile *record)
{
    if (login.user == nullptr || login.address == nullptr || strlen(login.user) >= kUserMax ||
        login.idle_limit <= 0)
        return false;
    *record = SessionFile{};
    memcpy(record->magic, kMagic, sizeof kMagic);
    record->account_id = login.account_id;
    record->type = login.type;
    record->idle_limit = login.idle_limit;
    snprintf(record->address, sizeof record->address, "%s", login.address);
    snprintf(record->user, sizeof record->user, "%s", login.user);
    record->access = login.access;
    record->access.liveview[kSessionChannels - 1] = '\0';
    record->access.playback[kSessionChannels - 1] = '\0';
    return true;
}

} // namespace

int session_new_id(char *out)
{
    if (out == nullptr)
        return -1;
    int filled = 0;
    while (filled < kSessionIdDigits) {
        unsigned char bytes[64];
        const ssize_t got = getrandom(bytes, sizeof bytes, 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        // Bytes of 250 and above are dropped so that every digit is equally likely.
        for (ssize_t i = 0; i < got && filled < kSessionIdDigits; ++i) {
            if (bytes[i] < 250)
                out[filled++] = static_cast<char>('0' + bytes[i] % 10);
        }
    }
    out[kSessionIdDigits] = '\0';
    return 0;
}

int session_create(const SessionLogin &login, char *id_out)
{
    SessionFile record;
    if (id_out == nullptr || !login_record(login, &record))
        return -1;
    const NvrPath dir_path(kSessionDir);
    if (mkdir(dir_path.c_str(), 0700) != 0 && errno != EEXIST)
        return -1;
    sweep(time(nullptr));

    for (int attempt = 0; attempt < kMaxCreateAttempts; ++attempt) {
        char id[kSessionIdDigits + 1];
        if (session_new_id(id) != 0)
            return -1;
        char path[kNvrPathMax];
        session_file(path, sizeof path, id);
        char temp[kNvrPathMax + 8];
        if (!write_temp(path, record, nullptr, temp, sizeof temp))
            return -1;
        // link() never replaces an existing session of the same id.
        const bool linked = link(temp, path) == 0;
        unlink(temp);
        if (linked) {
            memcpy(id_out, id, sizeof id);
            return 0;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

bool session_check_cookie(const char *cookie)
{
    session_reset();
    char user[kUserMax];
    char id[kSessionIdDigits + 2];
    if (cookie == nullptr || !cookie_value(cookie, "userName", user, sizeof user) ||
        !cookie_value(cookie, "sessionId", id, sizeof id) || !is_session_id(id))
        return false;
    char path[kNvrPathMax];
    session_file(path, sizeof path, id);
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    SessionFile record;
    struct timespec last_use {};
    const time_t now = time(nullptr);
    bool live = read_record(fd, &record, &last_use) && strcmp(record.user, user) == 0;
    if (live && is_expired(record, last_use, now)) {
        unlink(path);
        live = false;
    }
    // One use a second is enough to keep the session alive.
    if (live && last_use.tv_sec != now)
        futimens(fd, nullptr);
    close(fd);
    if (!live)
        return false;
    g_current.valid = true;
    memcpy(g_current.id, id, sizeof g_current.id);
    memcpy(g_current.user, record.user, sizeof g_current.user);
    g_current.access = record.access;
    return true;
}

const char *session_user() { return g_current.valid ? g_current.user : nullptr; }

const char *session_id() { return g_current.valid ? g_current.id : nullptr; }

const SessionAccess *session_access() { return g_current.valid ? &g_current.access : nullptr; }

void session_reset() { g_current = Current{}; }

int session_update_account(int account_id, const SessionAccess &access)
{
    int changed = 0;
    const int status = for_each_session(
        [&](const char *path, const char *id, SessionFile record, const struct timespec &last_use) {
            if (record.account_id != account_id)
                return;
            record.access = access;
            record.access.liveview[kSessionChannels - 1] = '\0';
            record.access.playback[kSessionChannels - 1] = '\0';
            char temp[kNvrPathMax + 8];
            if (!write_temp(path, record, &last_use, temp, sizeof temp))
                return;
            if (rename(temp, path) != 0) {
                unlink(temp);
                return;
            }
            ++changed;
            if (g_current.valid && strcmp(g_current.id, id) == 0)
                g_current.access = record.access;
        });
    return status < 0 ? -1 : changed;
}

int session_end_account(int account_id, const char *keep_id)
{
    int ended = 0;
    const int status = for_each_session(
        [&](const char *path, const char *id, const SessionFile &record, const struct timespec &) {
            if (record.account_id != account_id || (keep_id != nullptr && strcmp(id, keep_id) == 0))
                return;
            if (unlink(path) == 0)
                ++ended;
        });
    return status < 0 ? -1 : ended;
}
