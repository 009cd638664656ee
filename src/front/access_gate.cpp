#include "front/access_gate.h"

#include <strings.h>

#include <cstring>

#include "front/cgi_env.h"
#include "front/session.h"
#include "front/web_utils.h"

namespace {

static_assert(kSessionRights == kAccountRights);

constexpr size_t kHostMax = 256;
constexpr int kNoPort = -1;

// The host and port of an authority ("host", "host:port", "[v6]:port").
struct Authority {
    char host[kHostMax] = {};
    int port = kNoPort;
};

// Digits only, 1 to 65535.
bool parse_port(const char *text, int *port)
{
    if (*text == '\0' || strlen(text) > 5)
        return false;
    int value = 0;
    for (; *text != '\0'; ++text) {
        if (*text < '0' || *text > '9')
            return false;
        value = value * 10 + (*text - '0');
    }
    *port = value;
    return value >= 1 && value <= 65535;
}

bool parse_authority(const char *text, int default_port, Authority *out)
{
    const char *host_end = nullptr;
    if (text[0] == '[') {
        const char *close = strchr(text, ']');
        if (close == nullptr)
            return false;
        host_end = close + 1;
    } else {
        host_end = text + strcspn(text, ":");
    }
    const size_t length = static_cast<size_t>(host_end - text);
    if (length == 0 || length >= sizeof out->host || strpbrk(text, "/?#@ ") != nullptr)
        return false;
    memcpy(out->host, text, length);
    out->host[length] = '\0';
    if (*host_end == '\0') {
        out->port = default_port;
        return true;
    }
    return *host_end == ':' && parse_port(host_end + 1, &out->port);
}

// An "Origin" value: "http://" or "https://" and an authority.
bool parse_origin(const char *origin, Authority *out)
{
    if (strncasecmp(origin, "http://", 7) == 0)
        return parse_authority(origin + 7, 80, out);
    if (strncasecmp(origin, "https://", 8) == 0)
        return parse_authority(origin + 8, 443, out);
    return false; // "null" and every other scheme are never the device's own pages
}

bool same_authority(const Authority &a, const Authority &b)
{
    return a.port == b.port && strcasecmp(a.host, b.host) == 0;
}

bool forbid()
{
    cgi_writeback_webserver(kRespRaw, kForbiddenAnswer);
    return false;
}

// True when the session's account holds `right`.
bool session_holds(const SessionAccess &access, WebRight right)
{
    const int flag = web_right_flag(right);
    return flag >= 0 && access.rights[flag] != 0;
}

// The channel list that limits `right`, or null when none does.
const char *channel_list(const SessionAccess &access, WebRight right)
{
    if (right == WebRight::LiveView)
        return access.liveview;
    if (right == WebRight::Playback)
        return access.playback;
    return nullptr;
}

// True when the session's channel list of `right` allows every channel of
// `channels`; rights without a list allow all, no session allows none.
bool channels_listed(WebRight right, uint64_t channels)
{
    const SessionAccess *access = session_access();
    if (access == nullptr)
        return false;
    const char *list = channel_list(*access, right);
    if (list == nullptr)
        return true;
    // The list ends at its terminator: channels past it are not allowed.
    const int listed = static_cast<int>(strnlen(list, kSessionChannels - 1));
    for (int channel = 0; channel < 64; ++channel) {
        const bool wanted = (channels >> channel & 1U) != 0;
        if (wanted && (channel >= listed || list[channel] != '1'))
            return false;
    }
    return true;
}

} // namespace

bool cgi_is_cross_site()
{
    if (strcasecmp(cgiSecFetchSite, "cross-site") == 0)
        return true;
    if (cgiOrigin[0] == '\0')
        return false;
    Authority origin;
    Authority host;
    const int host_default_port = strcasecmp(cgiHttps, "on") == 0 ? 443 : 80;
    if (!parse_origin(cgiOrigin, &origin) || !parse_authority(cgiServerAddr, host_default_port, &host))
        return true;
    return !same_authority(origin, host);
}

bool cgi_request_admits(const char *path)
{
    const WebRes *resource = path != nullptr && path[0] != '\0' ? FindWebRes(path) : nullptr;
    if (resource == nullptr)
        return true;
    if (cgi_is_cross_site())
        return forbid();
    if (resource->right == WebRight::Open)
        return true;
    if (!session_check_cookie(cgiCookie)) {
        cgi_writeback_webserver(kRespRaw, kUnauthorizedAnswer);
        return false;
    }
    if (resource->right == WebRight::Session || session_holds(*session_access(), resource->right))
        return true;
    return forbid();
}

bool cgi_right_admits(WebRight right)
{
    if (right == WebRight::Open || right == WebRight::Session)
        return true;
    const SessionAccess *access = session_access();
    if (access == nullptr || !session_holds(*access, right))
        return forbid();
    return true;
}

bool cgi_channels_admit(WebRight right, uint64_t channels)
{
    return channels_listed(right, channels) || forbid();
}

bool cgi_channel_admits(WebRight right, int channel)
{
    if (channel < 0 || channel > 63)
        return forbid();
    return cgi_channels_admit(right, uint64_t{1} << channel);
}

bool cgi_channel_listed(WebRight right, int channel)
{
    return channel >= 0 && channel <= 63 && channels_listed(right, uint64_t{1} << channel);
}
