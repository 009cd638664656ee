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

#include "front/cgi_env.h"
#include "front/dispatchreq.h"
#include "front/web_utils.h"
#include "platform/confdb/confdb.h"
#include "platform/sysutil/nvr_path.h"

namespace {

constexpr size_t kUserMax = 64;
constexpr size_t kAddrMax = 46;
constexpr size_t kFileMax = 256;
constexpr int kMaxCreateAttempts = 4;
// Sessions one login sweep looks at; the store stays small in practice.
constexpr int kMaxSweep = 4096;

// The resources that work without a session: the two logins and the
// restart poll that the browser runs while the device comes back.
constexpr const char *kOpenPaths[] = {"/1000", "/1018", "/1005"};

constexpr const char *kUnauthorized = "Status: 401 Unauthorized\r\nContent-type: text/plain\r\n\r\nCGI ERROR";

struct Session {
    long last_use = 0;
    int type = 0;
    char address[kAddrMax] = {};
    char user[kUserMax] = {};
};

struct Current {
    bool valid = false;
    char user[kUserMax] = {};
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

int idle_limit()
{
    const int limit = get_param_int(ZQDB_PATH, kSessionIdleKey, kSessionIdleDefault);
    return limit > 0 ? limit : kSessionIdleDefault;
}

bool is_expired(const Session &session, long now, int limit) { return now - session.last_use > limit; }

bool parse_session(const char *text, Session *out)
{
    char *end_of_number = nullptr;
    out->last_use = strtol(text, &end_of_number, 10);
    if (end_of_number == text || *end_of_number != ' ')
        return false;
    const char *type_text = end_of_number + 1;
    out->type = static_cast<int>(strtol(type_text, &end_of_number, 10));
    if (end_of_number == type_text || *end_of_number != '\n')
        return false;
    const char *address = end_of_number + 1;
    const char *end = strchr(address, '\n');
    if (end == nullptr || static_cast<size_t>(end - address) >= kAddrMax)
        return false;
    snprintf(out->address, kAddrMax, "%.*s", static_cast<int>(end - address), address);
    if (strlen(end + 1) >= kUserMax)
        return false;
    snprintf(out->user, kUserMax, "%s", end + 1);
    return true;
}

bool read_session(const char *path, Session *out)
{
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char text[kFileMax];
    const ssize_t got = read(fd, text, sizeof text - 1);
    close(fd);
    if (got <= 0)
        return false;
    text[got] = '\0';
    return parse_session(text, out);
}

// A complete new file beside `path` (same folder); its name goes to
// `temp`. False (nothing left behind) when it cannot be written.
bool write_temp(const char *path, const Session &session, char *temp, size_t temp_size)
{
    char text[kFileMax];
    const int length = snprintf(text, sizeof text, "%ld %d\n%s\n%s", session.last_use, session.type,
                                session.address, session.user);
    snprintf(temp, temp_size, "%s.XXXXXX", path);
    const int fd = mkstemp(temp);
    if (fd < 0)
        return false;
    const bool written = length > 0 && write(fd, text, static_cast<size_t>(length)) == length;
    if (close(fd) != 0 || !written) {
        unlink(temp);
        return false;
    }
    return true;
}

void refresh(const char *path, Session session, long now)
{
    session.last_use = now;
    char temp[kNvrPathMax + 8];
    if (write_temp(path, session, temp, sizeof temp) && rename(temp, path) != 0)
        unlink(temp);
}

// Removes the sessions idle past the limit.
void sweep(long now, int limit)
{
    const NvrPath dir_path(kSessionDir);
    DIR *dir = opendir(dir_path.c_str());
    if (dir == nullptr)
        return;
    int seen = 0;
    while (const dirent *entry = readdir(dir)) {
        if (!is_session_id(entry->d_name))
            continue;
        if (++seen > kMaxSweep)
            break;
        char path[kNvrPathMax];
        session_file(path, sizeof path, entry->d_name);
        Session session;
        if (read_session(path, &session) && is_expired(session, now, limit))
            unlink(path);
    }
    closedir(dir);
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

int session_create(const char *user, int type, const char *address, char *id_out)
{
    if (user == nullptr || address == nullptr || id_out == nullptr || strlen(user) >= kUserMax)
        return -1;
    const NvrPath dir_path(kSessionDir);
    if (mkdir(dir_path.c_str(), 0700) != 0 && errno != EEXIST)
        return -1;
    const long now = static_cast<long>(time(nullptr));
    sweep(now, idle_limit());

    Session session;
    session.last_use = now;
    session.type = type;
    snprintf(session.address, sizeof session.address, "%s", address);
    snprintf(session.user, sizeof session.user, "%s", user);
    for (int attempt = 0; attempt < kMaxCreateAttempts; ++attempt) {
        char id[kSessionIdDigits + 1];
        if (session_new_id(id) != 0)
            return -1;
        char path[kNvrPathMax];
        session_file(path, sizeof path, id);
        char temp[kNvrPathMax + 8];
        if (!write_temp(path, session, temp, sizeof temp))
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
    Session session;
    if (!read_session(path, &session) || strcmp(session.user, user) != 0)
        return false;
    const long now = static_cast<long>(time(nullptr));
    if (is_expired(session, now, idle_limit())) {
        unlink(path);
        return false;
    }
    if (session.last_use != now)
        refresh(path, session, now);
    g_current.valid = true;
    snprintf(g_current.user, sizeof g_current.user, "%s", session.user);
    return true;
}

const char *session_user() { return g_current.valid ? g_current.user : nullptr; }

void session_reset() { g_current = Current{}; }

bool session_path_is_open(const char *path)
{
    for (const char *open : kOpenPaths) {
        if (strcmp(path, open) == 0)
            return true;
    }
    return false;
}

bool cgi_session_admits(const char *path)
{
    // Nothing is dispatched without a registered path: such requests stay
    // silent whatever their cookies.
    if (path == nullptr || path[0] == '\0' || FindWebRes(path) == nullptr || session_path_is_open(path))
        return true;
    if (session_check_cookie(cgiCookie))
        return true;
    cgi_writeback_webserver(kRespRaw, kUnauthorized);
    return false;
}
