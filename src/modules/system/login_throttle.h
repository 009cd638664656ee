// Login throttling: failed logins are counted per user name and per client
// address; past the limit within the window, that name or address is locked
// out for a while and its logins are refused without checking the digest.
//
// The counters live beside the sessions (RAM-backed, gone with a restart)
// in one file of fixed size: each kind of key has its own bounded pool, and
// a new key takes a free entry or the one least recently failed, so a flood
// of addresses can neither fill the store nor push the names out.
#pragma once

#include <ctime>

struct LoginLimits {
    int name_failures;    // "web_login_max_failures", 5
    int address_failures; // "web_login_max_address_failures", 10
    int window_s;         // failures older than this (600 s) are forgotten
    int lockout_s;        // "web_login_lockout_s", 300
};

// The limits of the configuration database's keys (defaults for a missing
// key or a value below 1).
LoginLimits login_limits();

// True while `name` or `address` is locked out.
bool login_locked_out(const char *name, const char *address, time_t now);
// Counts a failed login of `name` from `address`; a key that reaches its
// limit is locked out and the debug log says so.
void login_failed(const char *name, const char *address, time_t now, const LoginLimits &limits);
// A successful login of `name`: its count starts again.
void login_succeeded(const char *name);
