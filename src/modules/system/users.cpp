// User accounts: list, add, change and delete, the OEM account list, and
// the account notifications to the core daemon.
#include <strings.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/session.h"
#include "front/web_utils.h"
#include "modules/system/system.h"
#include "modules/system/system_records.h"
#include "modules/system/user_db.h"
#include "modules/system/user_fields.h"
#include "platform/confdb/confdb.h"
#include "platform/sysutil/nvr_path.h"

namespace {

constexpr int kUserTypeMax = 3;
constexpr size_t kAddNameSize = 64; // "/6071" stores up to 63 characters
constexpr size_t kSetNameSize = 32; // "/6072" stores up to 31 characters
constexpr size_t kDigestSize = 33;

bool in_range(int value, int low, int high) { return value >= low && value <= high; }

// The integer `key` when present and at least `low` (and at most `high`).
bool int_in_range(json_object *request, const char *key, int low, int high, int *out)
{
    return on_cgi_get_int_from_json(request, key, out) == 0 && in_range(*out, low, high);
}

// True when an account in use other than `own_id` holds `name`.
bool name_taken(const char *name, int own_id)
{
    UserRecord found{};
    found.id = -1;
    read_user_by_name(ZQDB_PATH, &found, name);
    return found.id >= 0 && found.id != own_id;
}

void notify_users_changed(const int32_t *id)
{
    cgi_ipc_notify(on_aging_callback, kMsgUsersChanged, id != nullptr ? sizeof *id : 0, id);
}

// The new account of an add request; false when a required value is
// missing or out of range.
bool build_new_user(json_object *request, UserRecord *user)
{
    *user = UserRecord{};
    if (!int_in_range(request, "type", 0, kUserTypeMax, &user->type) ||
        !int_in_range(request, "permission", -1, INT32_MAX, &user->permission) ||
        !int_in_range(request, "remotePermission", -1, INT32_MAX, &user->remote_permission))
        return false;
    user->enable = 1;
    on_cgi_get_string_from_json(request, "name", user->name, kAddNameSize);
    on_cgi_get_string_from_json(request, "password", user->password, kDigestSize);
    user_apply_rights(request, user);
    snprintf(user->created, sizeof user->created, "0");
    return true;
}

// The account that a change or delete request names: "id" present and
// 0..99; false otherwise.
bool request_id(json_object *request, int *id)
{
    return int_in_range(request, "id", 0, kUserMaxAccounts - 1, id);
}

// The live sessions of a changed account follow the change: a new name or
// password ends all but the request's own session, and the rest hold the
// new rights from their next request on.
void apply_to_sessions(const UserRecord &before, const UserRecord &after)
{
    const bool renamed = strncmp(before.name, after.name, sizeof before.name) != 0;
    const bool new_password = strncasecmp(before.password, after.password, sizeof before.password) != 0;
    if (renamed || new_password)
        session_end_account(after.id, session_id());
    session_update_account(after.id, user_session_access(after));
}

} // namespace

int on_get_user_list(char * /*text*/)
{
    std::vector<UserRecord> users(kUserMaxAccounts);
    int count = 0;
    read_users(ZQDB_PATH, users.data(), &count);
    JsonPtr array = json_new_array();
    for (int i = 0; i < count; ++i) {
        if (users[i].enable != 0)
            user_add_list_entry(array.get(), users[i]);
    }
    cgi_write_json(kRespJson, array.get());
    return 0;
}

int on_add_new_user(char *text)
{
    if (text == nullptr)
        return 0;
    // One change of the accounts at a time: the checks and the add belong
    // together.
    const UserLock lock;
    if (read_user_count(ZQDB_PATH) > kUserMaxAccounts - 1) {
        cgi_writeback_webserver(kRespText, "FAILED_FULL");
        return 0;
    }
    JsonPtr request(get_request_tokener_json_object(text));
    UserRecord user;
    if (request == nullptr || !build_new_user(request.get(), &user))
        return 0;
    if (name_taken(user.name, -1)) {
        cgi_writeback_webserver(kRespText, "SAMEUSER");
        return 0;
    }
    user.id = -1;
    if (add_user(ZQDB_PATH, &user) != 0 || user.id < 0)
        return 0;
    notify_users_changed(nullptr);
    system_send_log(kLogSubUserAccount, kLogParamUserAdded, nullptr);
    char answer[10];
    snprintf(answer, sizeof answer, "%s%d", "id=", user.id);
    cgi_writeback_webserver(kRespText, answer);
    return 0;
}

int on_set_user_info(char *text)
{
    JsonPtr request(get_request_tokener_json_object(text));
    int id = -1;
    int type = 0;
    if (request == nullptr || !request_id(request.get(), &id))
        return 0;
    const bool has_type = on_cgi_get_int_from_json(request.get(), "type", &type) == 0;
    const UserLock lock;
    UserRecord user{};
    if (read_user(ZQDB_PATH, &user, id) != kRecFound || user.enable == 0 ||
        (has_type && !in_range(type, 0, kUserTypeMax)))
        return 0;
    const UserRecord stored = user;
    char name[kSetNameSize];
    if (on_cgi_get_string_from_json(request.get(), "name", name, sizeof name) == 0) {
        if (name_taken(name, id)) {
            cgi_writeback_webserver(kRespText, "SAMEUSER");
            return 0;
        }
        memset(user.name, 0, sizeof user.name);
        memcpy(user.name, name, strlen(name));
    }
    char digest[kDigestSize];
    if (on_cgi_get_string_from_json(request.get(), "password", digest, sizeof digest) == 0 &&
        digest[0] != '\0') {
        memset(user.password, 0, sizeof user.password);
        memcpy(user.password, digest, strlen(digest));
    }
    if (has_type)
        user.type = type;
    user.id = id;
    user_apply_rights(request.get(), &user);
    if (write_user(ZQDB_PATH, &user) != 0) {
        cgi_error_to_webserver(kRespText);
        return 0;
    }
    apply_to_sessions(stored, user);
    const int32_t changed = id;
    notify_users_changed(&changed);
    cgi_writeback_webserver(kRespText, "OK");
    return 0;
}

int on_del_user_info(char *text)
{
    JsonPtr request(get_request_tokener_json_object(text));
    int id = -1;
    int type = 0;
    if (request == nullptr || !request_id(request.get(), &id) ||
        !int_in_range(request.get(), "type", 0, kUserTypeMax, &type))
        return 0;
    // Under the accounts' lock, so that a change of the same account
    // cannot write the deleted one back.
    const UserLock lock;
    UserRecord freed{};
    freed.id = id;
    if (write_user(ZQDB_PATH, &freed) != 0) {
        cgi_error_to_webserver(kRespText);
        return 0;
    }
    session_end_account(id, nullptr);
    const int32_t changed = id;
    notify_users_changed(&changed);
    system_send_log(kLogSubUserAccount, kLogParamUserDeleted, nullptr);
    cgi_writeback_webserver(kRespText, "OK");
    return 0;
}

int on_get_oem_user_list(char * /*text*/)
{
    if (IsFileExisted(NvrPath(kOemUserDb).c_str()) != 0)
        return 0;
    std::vector<OemUserRecord> users(kUserMaxAccounts);
    const int count = read_users_oem(kOemUserDb, users.data(), kUserMaxAccounts);
    JsonPtr array = json_new_array();
    for (int i = 0; i < count; ++i) {
        const OemUserRecord &user = users[i];
        if (user.enable == 0)
            continue;
        JsonPtr entry = json_new_object();
        char name[sizeof user.name + 1];
        copy_field_text(name, sizeof name, user.name, sizeof user.name);
        json_add_int(entry.get(), "id", user.id);
        json_add_int(entry.get(), "enable", user.enable);
        json_add_string(entry.get(), "name", name);
        json_add_string(entry.get(), "password", ""); // a credential: not handed out
        json_add_int(entry.get(), "type", user.type);
        json_add_int(entry.get(), "permission", user.permission);
        json_add_int(entry.get(), "remotePermission", user.remote_permission);
        json_object_array_add(array.get(), entry.release());
    }
    cgi_write_json(kRespJson, array.get());
    return 0;
}

int on_modify_poe_camera_pwd(char * /*text*/)
{
    cgi_ipc_request(on_system_ipc_callback, kMsgPoeCameraPwd, 0, nullptr, kRespJson);
    return 0;
}

int on_modify_poe_camera_pwd_cb(const ReplyReader &reply)
{
    if (reply.size() < sizeof(int32_t))
        return -1;
    char answer[16];
    snprintf(answer, sizeof answer, "%d", reply.int32_at(0));
    cgi_writeback_webserver(kRespText, answer);
    cgi_set_callback_done(1);
    return 0;
}

int on_cgi_user_notify(char * /*text*/)
{
    cgi_ipc_notify(on_aging_callback, kMsgUserNotify, 0, nullptr);
    cgi_writeback_webserver(kRespText, "OK");
    return 0;
}

int on_cgi_set_user_info(char * /*text*/)
{
    notify_users_changed(nullptr);
    cgi_writeback_webserver(kRespText, "OK");
    return 0;
}
