// CGI header lines written before a response body: a redirect and a cookie.
#pragma once

#include <cstddef>
#include <ctime>

// Writes "Location: <url>" and the blank line that ends the header.
void cgiHeaderLocation(const char *url);

// Writes one Set-Cookie line that expires `seconds` from now.
void cgiHeaderCookieSetString(const char *name, const char *value, int seconds, const char *path,
                              const char *domain);

// The cookie expiry form of `when` in UTC, "Thu, 01-Jan-1970 00:00:00 GMT",
// with English day and month names whatever the locale.
void cgi_cookie_expiry(time_t when, char *out, size_t size);
