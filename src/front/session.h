// The session store: the sessions that the logins issue, each with what
// its account may do, so that the gate in front of dispatch decides from the
// store alone (no database read on a request).
//
// The store is one small file per session in a RAM-backed folder
// (kSessionDir, resolved through nvr_path): it does not survive a restart
// and is never part of a configuration export. A file is named by its
// session id and holds one fixed SessionFile record; its modification time
// is the session's last use. Files are created through a hard link of a
// complete temporary file (never replacing another) and rewritten through a
// rename, so concurrent request processes only ever see whole records; a
// use only touches the file's time.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr const char *kSessionDir = "/dev/shm/nvrweb_sessions";
constexpr int kSessionIdDigits = 32;
constexpr int kSessionIdleDefault = 1800; // seconds, unless "web_session_idle_s" says otherwise
constexpr const char *kSessionIdleKey = "web_session_idle_s";
constexpr int kSessionRights = 10;
constexpr size_t kSessionChannels = 65; // a channel list: 64 characters and the terminator

// What the session's account may do, taken at login: its ten remote right
// flags in the account record's order (live view ... shutdown; non-zero
// allows) and its remote live view and playback channel lists ('1' at
// character i allows channel i).
struct SessionAccess {
    unsigned char rights[kSessionRights];
    char liveview[kSessionChannels];
    char playback[kSessionChannels];
};

// A login to record.
struct SessionLogin {
    const char *user;
    const char *address;
    int account_id; // -1 for a user without an account (the mail link's)
    int type;
    int idle_limit; // seconds of idleness after which the session ends
    SessionAccess access;
};

// Fills `out` (kSessionIdDigits + 1 bytes) with 32 decimal digits from the
// system's random source. 0, or -1 when the source fails.
int session_new_id(char *out);

// Records a new session and writes its id into `id_out` (kSessionIdDigits
// + 1 bytes). Sessions idle past their limit are removed on the way. 0, or
// -1 when nothing could be recorded.
int session_create(const SessionLogin &login, char *id_out);

// True when the "userName" and "sessionId" cookies of `cookie` name a live
// session; that session's last use is then refreshed and it becomes the
// request's session. An expired session is removed.
bool session_check_cookie(const char *cookie);

// The request's checked session: its user name, id and access; null when
// the request has none.
const char *session_user();
const char *session_id();
const SessionAccess *session_access();
// Forgets the request's session (tests).
void session_reset();

// Gives every session of `account_id` the access `access` (its last use is
// kept). The number of sessions changed, or -1 when the store cannot be read.
int session_update_account(int account_id, const SessionAccess &access);
// Ends every session of `account_id` but the one whose id is `keep_id`
// (null: all of them). The number ended, or -1 when the store cannot be read.
int session_end_account(int account_id, const char *keep_id);
