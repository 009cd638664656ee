#include "modules/system/login_throttle.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "front/session.h"
#include "front/web_utils.h"
#include "platform/confdb/confdb.h"
#include "platform/sysutil/nvr_path.h"

namespace {

constexpr const char *kFailuresFile = "/login_failures";
constexpr int kWindowSeconds = 600;
constexpr size_t kKeyMax = 64;

enum KeyKind : int32_t { kFree = 0, kName = 1, kAddress = 2 };

struct Failures {
    int64_t first;        // the first failure of the current window
    int64_t last;         // the latest failure
    int64_t locked_until; // 0 when not locked
    int32_t count;
    int32_t kind;
    char key[kKeyMax];
};

// Each kind of key has a pool of its own.
constexpr int kNameEntries = 64;
constexpr int kAddressEntries = 192;

struct FailureTable {
    Failures names[kNameEntries];
    Failures addresses[kAddressEntries];
};

struct Pool {
    Failures *first;
    int size;
};

Pool pool_of(FailureTable &table, int32_t kind)
{
    return kind == kName ? Pool{table.names, kNameEntries} : Pool{table.addresses, kAddressEntries};
}

int positive_param(const char *key, int fallback)
{
    const int value = get_param_int(ZQDB_PATH, key, fallback);
    return value > 0 ? value : fallback;
}

// The failure table under its lock for as long as the object lives; a
// missing or unreadable table reads as empty. save() writes it back.
class LockedTable {
public:
    LockedTable()
    {
        const NvrPath dir(kSessionDir);
        if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
            return;
        char path[kNvrPathMax];
        snprintf(path, sizeof path, "%s%s", dir.c_str(), kFailuresFile);
        fd_ = file_lock(path);
        if (fd_ >= 0 && pread(fd_, &table_, sizeof table_, 0) != static_cast<ssize_t>(sizeof table_))
            table_ = FailureTable{};
    }
    ~LockedTable() { file_unlock(fd_); }
    LockedTable(const LockedTable &) = delete;
    LockedTable &operator=(const LockedTable &) = delete;

    bool usable() const { return fd_ >= 0; }
    void save() const
    {
        if (fd_ >= 0 && pwrite(fd_, &table_, sizeof table_, 0) != static_cast<ssize_t>(sizeof table_))
            cgi_log("login_throttle", __LINE__, "", "cannot store the failed logins");
    }

    // The entry of `key`, or null.
    Failures *find(int32_t kind, const char *key)
    {
        const Pool pool = pool_of(table_, kind);
        for (int i = 0; i < pool.size; ++i) {
            Failures &entry = pool.first[i];
            if (entry.kind == kind && strncmp(entry.key, key, kKeyMax - 1) == 0)
                return &entry;
        }
        return nullptr;
    }

    // The entry of `key`, taking a free one or the least recently failed
    // (locked ones last) when it has none.
    Failures *find_or_take(int32_t kind, const char *key, time_t now)
    {
        if (Failures *found = find(kind, key))
            return found;
        const Pool pool = pool_of(table_, kind);
        Failures *victim = &pool.first[0];
        for (int i = 0; i < pool.size; ++i) {
            Failures &entry = pool.first[i];
            if (entry.kind == kFree) {
                victim = &entry;
                break;
            }
            const bool locked = entry.locked_until > now;
            const bool victim_locked = victim->locked_until > now;
            if ((victim_locked && !locked) || (locked == victim_locked && entry.last < victim->last))
                victim = &entry;
        }
        *victim = Failures{};
        victim->kind = kind;
        snprintf(victim->key, sizeof victim->key, "%s", key);
        return victim;
    }

private:
    int fd_ = -1;
    FailureTable table_{};
};

bool locked(const Failures *entry, time_t now) { return entry != nullptr && entry->locked_until > now; }

// A user name as the debug log shows it: printable ASCII only, so that a
// name cannot add lines of its own.
void printable(char *out, size_t size, const char *text)
{
    size_t n = 0;
    for (; text[n] != '\0' && n + 1 < size; ++n)
        out[n] = text[n] >= 0x20 && text[n] < 0x7f ? text[n] : '?';
    out[n] = '\0';
}

void count_failure(LockedTable &table, int32_t kind, const char *key, int limit, time_t now,
                   const LoginLimits &limits)
{
    Failures *entry = table.find_or_take(kind, key, now);
    const bool lock_over = entry->locked_until != 0 && entry->locked_until <= now;
    if (entry->count == 0 || lock_over || now - entry->first >= limits.window_s) {
        entry->count = 0;
        entry->first = now;
        entry->locked_until = 0;
    }
    entry->last = now;
    if (++entry->count < limit || entry->locked_until != 0)
        return;
    entry->locked_until = now + limits.lockout_s;
    char shown[kKeyMax];
    printable(shown, sizeof shown, key);
    cgi_log("login_throttle", __LINE__, "", "logins of %s \"%s\" locked out for %d s after %d failures",
            kind == kName ? "user" : "address", shown, limits.lockout_s, entry->count);
}

} // namespace

LoginLimits login_limits()
{
    return LoginLimits{positive_param("web_login_max_failures", 5),
                       positive_param("web_login_max_address_failures", 10), kWindowSeconds,
                       positive_param("web_login_lockout_s", 300)};
}

bool login_locked_out(const char *name, const char *address, time_t now)
{
    LockedTable table;
    return locked(table.find(kName, name), now) || locked(table.find(kAddress, address), now);
}

void login_failed(const char *name, const char *address, time_t now, const LoginLimits &limits)
{
    LockedTable table;
    if (!table.usable())
        return;
    count_failure(table, kName, name, limits.name_failures, now, limits);
    count_failure(table, kAddress, address, limits.address_failures, now, limits);
    table.save();
}

void login_succeeded(const char *name)
{
    LockedTable table;
    Failures *entry = table.find(kName, name);
    if (entry == nullptr)
        return;
    *entry = Failures{};
    table.save();
}
