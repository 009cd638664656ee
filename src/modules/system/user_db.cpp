#include "modules/system/user_db.h"

#include <cstring>
#include <vector>

#include "front/web_utils.h"
#include "platform/confdb/confdb.h"
#include "platform/sysutil/nvr_path.h"

namespace {

constexpr const char *kUserLockPath = "/dev/shm/nvrweb_users.lock";

bool valid_id(int id) { return id >= 0 && id < kUserMaxAccounts; }

} // namespace

int read_user(const char *db, UserRecord *record, int id)
{
    if (record == nullptr)
        return -1;
    if (!valid_id(id)) {
        memset(record, 0, sizeof *record);
        return -1;
    }
    return confdb_read_record(db, kRecUser, id, record, sizeof *record);
}

int read_users(const char *db, UserRecord *array, int *count)
{
    if (array == nullptr || count == nullptr)
        return -1;
    int ids[kUserMaxAccounts];
    const int read = confdb_read_records(db, kRecUser, array, sizeof(UserRecord), kUserMaxAccounts, ids);
    *count = read > 0 ? read : 0;
    for (int i = 0; i < *count; ++i)
        array[i].id = ids[i];
    return read < 0 ? -1 : 0;
}

int write_user(const char *db, const UserRecord *record)
{
    if (record == nullptr || !valid_id(record->id))
        return -1;
    return confdb_write_record(db, kRecUser, record->id, record, sizeof *record);
}

int add_user(const char *db, UserRecord *record)
{
    if (record == nullptr)
        return -1;
    std::vector<UserRecord> users(kUserMaxAccounts);
    int count = 0;
    if (read_users(db, users.data(), &count) != 0)
        return -1;
    bool used[kUserMaxAccounts] = {};
    for (int i = 0; i < count; ++i) {
        if (users[i].enable != 0 && valid_id(users[i].id))
            used[users[i].id] = true;
    }
    int id = 0;
    while (id < kUserMaxAccounts && used[id])
        ++id;
    if (id == kUserMaxAccounts)
        return -1;
    UserRecord stored = *record;
    stored.id = id;
    if (write_user(db, &stored) != 0)
        return -1;
    record->id = id;
    return 0;
}

int read_user_by_name(const char *db, UserRecord *record, const char *name)
{
    if (record == nullptr || name == nullptr)
        return -1;
    std::vector<UserRecord> users(kUserMaxAccounts);
    int count = 0;
    if (read_users(db, users.data(), &count) != 0)
        return -1;
    for (int i = 0; i < count; ++i) {
        if (users[i].enable != 0 && strncmp(users[i].name, name, sizeof users[i].name) == 0 &&
            strlen(name) < sizeof users[i].name) {
            *record = users[i];
            return 0;
        }
    }
    return -1;
}

int read_user_count(const char *db)
{
    std::vector<UserRecord> users(kUserMaxAccounts);
    int count = 0;
    if (read_users(db, users.data(), &count) != 0)
        return -1;
    int in_use = 0;
    for (int i = 0; i < count; ++i)
        in_use += users[i].enable != 0 ? 1 : 0;
    return in_use;
}

int read_users_oem(const char *db, OemUserRecord *array, int capacity)
{
    if (array == nullptr || capacity <= 0)
        return -1;
    return confdb_read_records(db, kRecUser, array, sizeof(OemUserRecord), capacity, nullptr);
}

UserLock::UserLock() : fd_(file_lock(NvrPath(kUserLockPath).c_str())) {}

UserLock::~UserLock() { file_unlock(fd_); }
