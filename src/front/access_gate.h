// The gate in front of dispatch: a request reaches a handler only when it
// comes from the device's own pages (not another site), and when the
// resource is open or the request's session may use it.
#pragma once

#include <cstdint>

#include "front/dispatchreq.h"

constexpr const char *kUnauthorizedAnswer =
    "Status: 401 Unauthorized\r\nContent-type: text/plain\r\n\r\nCGI ERROR";
constexpr const char *kForbiddenAnswer = "Status: 403 Forbidden\r\nContent-type: text/plain\r\n\r\nCGI ERROR";

// True when the request may go on to dispatch: a path no table registers
// (dispatch stays silent for it), or a registered one that passes the
// cross-site check and whose right the request holds. Otherwise writes the
// 403 (another site, or a right the account lacks) or the 401 (no live
// session) and returns false. Nothing of the body has been read by then.
bool cgi_request_admits(const char *path);

// True when the request's headers say it was sent by a page of another
// site: "Sec-Fetch-Site: cross-site", or an "Origin" whose host and port
// are not those of "Host".
bool cgi_is_cross_site();

// For a resource whose requests differ in the right they need (one option
// of several): true when the request's session holds `right` (always for
// Open and Session); otherwise writes the 403 and returns false.
bool cgi_right_admits(WebRight right);

// For the live view and playback resources that name their channels: true
// when the session's channel list of `right` allows every channel of
// `channels` (bit n for channel n); otherwise writes the 403 and returns
// false. Other rights are not limited by channel.
bool cgi_channels_admit(WebRight right, uint64_t channels);
bool cgi_channel_admits(WebRight right, int channel);
// The same question without an answer: true when the session's channel
// list of `right` allows `channel` (0..63); writes nothing.
bool cgi_channel_listed(WebRight right, int channel);
