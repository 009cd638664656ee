// Login sessions: the store of the sessions that the logins issue, and the
// gate that admits a request only with the cookies of a live session.
//
// The store is one small file per session in a RAM-backed folder
// (kSessionDir, resolved through nvr_path): it does not survive a restart
// and is never part of a configuration export. A file is named by its
// session id and holds "LAST_USE TYPE\nCLIENT_ADDRESS\nUSER_NAME"; it is
// created through a hard link of a complete temporary file (never replacing
// another) and refreshed through a rename, so concurrent request processes
// only ever see whole files.
#pragma once

#include <cstddef>

constexpr const char *kSessionDir = "/dev/shm/nvrweb_sessions";
constexpr int kSessionIdDigits = 32;
constexpr int kSessionIdleDefault = 1800; // seconds, unless "web_session_idle_s" says otherwise
constexpr const char *kSessionIdleKey = "web_session_idle_s";

// Fills `out` (kSessionIdDigits + 1 bytes) with 32 decimal digits from the
// system's random source. 0, or -1 when the source fails.
int session_new_id(char *out);

// Records a new session of `user` (user type `type`, client `address`) and
// writes its id into `id_out` (kSessionIdDigits + 1 bytes). Sessions idle
// past the limit are removed on the way. 0, or -1 when nothing could be
// recorded.
int session_create(const char *user, int type, const char *address, char *id_out);

// True when the "userName" and "sessionId" cookies of `cookie` name a live
// session; that session's last use is then refreshed and it becomes the
// request's session (session_user). An expired session is removed.
bool session_check_cookie(const char *cookie);

// The user name of the request's checked session; null when it has none.
const char *session_user();
// Forgets the request's session (tests).
void session_reset();

// True for the resources that must work before a login.
bool session_path_is_open(const char *path);

// The gate in front of dispatch: true when the request may go on (a path no
// table registers, an open resource, or a live session); otherwise writes
// the 401 answer and returns false.
bool cgi_session_admits(const char *path);
