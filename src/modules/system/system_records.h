// Wire records and codes of the system module's core messages and operation
// log entries.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kMsgMailLogin = 3504;      // the mail link's token; reply 8504
constexpr int kReplyMailLogin = 8504;    // one int32, 0 = accepted
constexpr int kMsgUsersChanged = 3505;   // no payload, or the int32 account id
constexpr int kMsgPoeCameraPwd = 3265;   // no payload; reply 8265
constexpr int kReplyPoeCameraPwd = 8265; // one int32 result
constexpr int kMsgUserNotify = 3267;     // no payload

// Operation log entries of the system module (main type 4).
constexpr int kLogSubLogin = 201;
constexpr int kLogSubUserLog = 202;
constexpr int kLogSubUserAccount = 204;
constexpr int kLogParamUser = 900;
constexpr int kLogParamUserAdded = 921;
constexpr int kLogParamUserDeleted = 922;

constexpr size_t kMailTokenSize = 256;

#pragma pack(push, 1)
struct mail_login_request {
    char token[kMailTokenSize];
};
#pragma pack(pop)
static_assert(sizeof(mail_login_request) == 256);
