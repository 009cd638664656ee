#include "front/cgi_header.h"

#include <cstdio>

#include "front/cgi_env.h"

namespace {

constexpr const char *kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char *kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

FILE *header_out() { return cgiOut != nullptr ? cgiOut : stdout; }

} // namespace

void cgiHeaderLocation(const char *url) { fprintf(header_out(), "Location: %s\r\n\r\n", url); }

void cgiHeaderCookieSetString(const char *name, const char *value, int seconds, const char *path,
                              const char *domain)
{
    char expires[64];
    cgi_cookie_expiry(time(nullptr) + seconds, expires, sizeof expires);
    fprintf(header_out(), "Set-Cookie: %s=%s; domain=%s; expires=%s; path=%s\r\n", name, value, domain,
            expires, path);
}

void cgi_cookie_expiry(time_t when, char *out, size_t size)
{
    struct tm utc {};
    gmtime_r(&when, &utc);
    snprintf(out, size, "%s, %02d-%s-%04d %02d:%02d:%02d GMT", kDays[utc.tm_wday % 7], utc.tm_mday,
             kMonths[utc.tm_mon % 12], utc.tm_year + 1900, utc.tm_hour, utc.tm_min, utc.tm_sec);
}
