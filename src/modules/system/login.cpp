// Logins: the browser's login with name and password digest, the login of
// a notification mail's link, and the user log entry.
#include <strings.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/cgi_env.h"
#include "front/cgi_header.h"
#include "front/session.h"
#include "front/web_utils.h"
#include "modules/system/login_throttle.h"
#include "modules/system/system.h"
#include "modules/system/system_records.h"
#include "modules/system/user_db.h"
#include "modules/system/user_fields.h"
#include "platform/confdb/confdb.h"
#include "platform/sysutil/nvr_path.h"

namespace {

constexpr int kLoginRefused = -1;
constexpr int kLoginNotHere = -2;
constexpr int kMailCookieSeconds = 600;
constexpr size_t kCookieDomainMax = 50;

// The certificate folders that later requests write into.
void config_ssl_params()
{
    for (const char *dir : {"/mnt/nand/ssl", "/mnt/nand/ssl/tmp"}) {
        const NvrPath path(dir);
        if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST)
            cgi_log("login", __LINE__, "", "cannot create %s", path.c_str());
    }
}

// The user type of the account `name` when `md5` is its digest (letter case
// aside), else kLoginRefused. Empty credentials never match, and deleted
// slots are never found. `user` receives the account when there is one.
int check_login(const char *name, const char *md5, UserRecord *user)
{
    if (name[0] == '\0' || read_user_by_name(ZQDB_PATH, user, name) != 0 || user->enable == 0)
        return kLoginRefused;
    char stored[sizeof user->password + 1];
    copy_field_text(stored, sizeof stored, user->password, sizeof user->password);
    if (md5[0] == '\0' || stored[0] == '\0' || strcasecmp(stored, md5) != 0)
        return kLoginRefused;
    return user->type;
}

void add_setting_text(json_object *object, const char *key, const char *setting, int size,
                      const char *fallback)
{
    char text[256];
    get_param_value(ZQDB_PATH, setting, text, size < 256 ? size : 256, fallback);
    json_add_string(object, key, text);
}

// The answer of a successful login, keys in the browser's order.
JsonPtr login_answer(const UserRecord &user, const char *session_id)
{
    JsonPtr object = json_new_object();
    json_object *o = object.get();
    json_add_int(o, "type", user.type);
    user_add_text(o, "userName", user.name, sizeof user.name);
    user_add_access(o, user, "remotePermisson");
    json_add_string(o, "sessionId", session_id);
    json_add_int(o, "failoverMode", get_param_int(ZQDB_PATH, "failover_mode", 0));
    json_add_int(o, "sameChannel", get_param_int(ZQDB_PATH, "same_channel_exist", 0) == 2 ? 1 : 0);
    add_setting_text(o, "hardwareVersion", "hardware_version", 32, "V1.1");
    add_setting_text(o, "softwareVersion", "software_version", 256, "7x.7.0.9");
    add_setting_text(o, "model", "model", 256, "");
    return object;
}

int session_idle_limit()
{
    const int limit = get_param_int(ZQDB_PATH, kSessionIdleKey, kSessionIdleDefault);
    return limit > 0 ? limit : kSessionIdleDefault;
}

// Records the session of a checked account with its remote rights and
// channel lists.
int create_account_session(const UserRecord &user, const char *name, char *session_id)
{
    const SessionLogin login{name,      cgiRemoteAddr,        user.id,
                             user.type, session_idle_limit(), user_session_access(user)};
    return session_create(login, session_id);
}

// The mail link's temporary user may watch the event it was sent for: live
// view and playback of every channel, nothing else.
int create_mail_session(char *session_id)
{
    SessionLogin login{"temp", cgiRemoteAddr, -1, 2, session_idle_limit(), SessionAccess{}};
    login.access.rights[0] = login.access.rights[1] = 1;
    memset(login.access.liveview, '1', kSessionChannels - 1);
    memset(login.access.playback, '1', kSessionChannels - 1);
    return session_create(login, session_id);
}

void write_login_type(int type)
{
    JsonPtr object = json_new_object();
    json_add_int(object.get(), "type", type);
    cgi_write_json(kRespText, object.get());
}

// The cookie domain: the Host header up to its port, used only when it is a
// plain host name or IPv4 address; otherwise empty (a host-only cookie).
void cookie_domain(char *out, size_t size)
{
    snprintf(out, size, "%.*s", static_cast<int>(strcspn(cgiServerAddr, ":")), cgiServerAddr);
    for (const char *at = out; *at != '\0'; ++at) {
        const bool plain = (*at >= 'a' && *at <= 'z') || (*at >= 'A' && *at <= 'Z') ||
                           (*at >= '0' && *at <= '9') || *at == '.' || *at == '-';
        if (!plain) {
            out[0] = '\0';
            return;
        }
    }
}

} // namespace

int on_user_login(char *text)
{
    if (text == nullptr)
        return 0;
    JsonPtr request(get_request_tokener_json_object(text));
    if (request == nullptr)
        return 0;
    config_ssl_params();
    char name[256] = "";
    char md5[33] = "";
    on_cgi_get_string_from_json(request.get(), "userName", name, sizeof name);
    on_cgi_get_string_from_json(request.get(), "md5", md5, sizeof md5);
    // A locked-out name or address is refused before its digest is looked at.
    const time_t now = time(nullptr);
    if (login_locked_out(name, cgiRemoteAddr, now)) {
        write_login_type(kLoginRefused);
        return 0;
    }
    // No account change comes between the check and the session it issues.
    const UserLock lock;
    UserRecord user{};
    const int result = check_login(name, md5, &user);
    if (user.enable != 0 && user.type == kUserTypeNoLogin) {
        write_login_type(kLoginNotHere);
        return 0;
    }
    if (result == kLoginRefused) {
        login_failed(name, cgiRemoteAddr, now, login_limits());
        write_login_type(kLoginRefused);
        return 0;
    }
    login_succeeded(name);
    char session_id[kSessionIdDigits + 1];
    if (create_account_session(user, name, session_id) != 0) {
        cgi_error_to_webserver(kRespText);
        return 0;
    }
    JsonPtr answer = login_answer(user, session_id);
    system_send_log(kLogSubLogin, kLogParamUser, name);
    cgi_write_json(kRespText, answer.get());
    return 0;
}

int on_user_login_from_mail(char *text)
{
    if (text == nullptr)
        return 0;
    mail_login_request request{};
    snprintf(request.token, sizeof request.token, "%s", text);
    cgi_ipc_request(on_system_ipc_callback, kMsgMailLogin, sizeof request, &request, kRespText);
    return 0;
}

// An accepted link gets a session of the temporary user and its cookies;
// a refused one (or one whose session cannot be recorded) the home page.
int on_user_login_from_mail_cb(const ReplyReader &reply)
{
    if (reply.size() < sizeof(int32_t))
        return -1;
    char session_id[kSessionIdDigits + 1];
    if (reply.int32_at(0) != 0 || create_mail_session(session_id) != 0) {
        cgiHeaderLocation("../../html/home.html");
        cgi_set_callback_done(1);
        return 0;
    }
    char domain[kCookieDomainMax];
    cookie_domain(domain, sizeof domain);
    FILE *out = cgiOut != nullptr ? cgiOut : stdout;
    fputs("Location: ../../html/index.html\r\n", out);
    const char *const cookies[][2] = {{"userName", "temp"},
                                      {"userType", "2"},
                                      {"permission", "0"},
                                      {"sessionId", session_id},
                                      {"language", "en-US"}};
    for (const auto &cookie : cookies)
        cgiHeaderCookieSetString(cookie[0], cookie[1], kMailCookieSeconds, "/", domain);
    fputs("\r\n", out);
    fflush(out);
    cgi_set_callback_done(1);
    return 0;
}

int on_cgi_user_log(char * /*text*/)
{
    system_send_log(kLogSubUserLog, kLogParamUser, nullptr);
    cgi_writeback_webserver(kRespText, "OK");
    return 0;
}
