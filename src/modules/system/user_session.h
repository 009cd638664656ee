// What a session of an account may do from the web: the account's remote
// rights and remote channel lists. The logins, the account changes and the
// configuration tool all give sessions their access through this.
#pragma once

#include <cstring>

#include "front/session.h"
#include "modules/system/user_record.h"

inline SessionAccess user_session_access(const UserRecord &user)
{
    static_assert(kUserRights == kSessionRights);
    static_assert(sizeof(SessionAccess::liveview) == sizeof user.remote_liveview);
    SessionAccess access{};
    for (int i = 0; i < kUserRights; ++i)
        access.rights[i] = user.remote_rights[i] != 0 ? 1 : 0;
    memcpy(access.liveview, user.remote_liveview, sizeof access.liveview - 1);
    memcpy(access.playback, user.remote_playback, sizeof access.playback - 1);
    return access;
}
