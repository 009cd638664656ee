#include "modules/system/user_fields.h"

#include <cstring>

#include "codecs/channel_mask.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/reply_reader.h"

const char *const kUserLocalRightKeys[kUserRights] = {
    "localLiveView", "localPlayback", "localRetrieve", "localSmartAnalysis", "localEvent",
    "localCamera",   "localStorage",  "localSettings", "localStatus",        "localShutdown"};
const char *const kUserRemoteRightKeys[kUserRights] = {
    "remoteLiveView", "remotePlayback", "remoteRetrieve", "remoteSmartAnalysis", "remoteEvent",
    "remoteCamera",   "remoteStorage",  "remoteSettings", "remoteStatus",        "remoteShutdown"};

namespace {

constexpr size_t kListSize = sizeof(UserRecord::local_liveview);

// The four lists; their fields are char[65].
struct ListField {
    const char *key;
    size_t offset;
    size_t bits_offset;
};
const ListField kLists[] = {
    {"localliveview", offsetof(UserRecord, local_liveview), offsetof(UserRecord, local_liveview_bits)},
    {"localplayback", offsetof(UserRecord, local_playback), offsetof(UserRecord, local_playback_bits)},
    {"remoteliveview", offsetof(UserRecord, remote_liveview), offsetof(UserRecord, remote_liveview_bits)},
    {"remoteplayback", offsetof(UserRecord, remote_playback), offsetof(UserRecord, remote_playback_bits)},
};

char *list_of(UserRecord *user, const ListField &field)
{
    return reinterpret_cast<char *>(user) + field.offset;
}

} // namespace

// An account's channel rights cover the first 32 channels.
uint32_t user_channel_bits(const char *list) { return static_cast<uint32_t>(channel_mask_from_text(list)); }

void user_apply_rights(json_object *request, UserRecord *user)
{
    for (int i = 0; i < kUserRights; ++i) {
        on_cgi_get_int_from_json(request, kUserLocalRightKeys[i], &user->local_rights[i]);
        on_cgi_get_int_from_json(request, kUserRemoteRightKeys[i], &user->remote_rights[i]);
    }
    for (const ListField &field : kLists) {
        char list[kListSize];
        if (on_cgi_get_string_from_json(request, field.key, list, sizeof list) != 0)
            continue;
        // The whole field is replaced: no bytes of a longer old list stay behind.
        memset(list_of(user, field), 0, kListSize);
        memcpy(list_of(user, field), list, strlen(list));
        const uint32_t bits = user_channel_bits(list);
        memcpy(reinterpret_cast<char *>(user) + field.bits_offset, &bits, sizeof bits);
    }
}

// The stored password digest is not handed out: it is the login credential.
// The key stays for the browser's edit form, and an empty "password" sent
// back leaves the digest as it is.
void user_add_text(json_object *object, const char *key, const char *field, size_t size)
{
    char text[128];
    copy_field_text(text, sizeof text, field, size);
    json_add_string(object, key, text);
}

void user_add_access(json_object *object, const UserRecord &user, const char *remote_permission_key)
{
    json_add_int(object, "permission", user.permission);
    for (int i = 0; i < kUserRights; ++i)
        json_add_int(object, kUserLocalRightKeys[i], user.local_rights[i]);
    user_add_text(object, "localliveview", user.local_liveview, sizeof user.local_liveview);
    user_add_text(object, "localplayback", user.local_playback, sizeof user.local_playback);
    json_add_int(object, remote_permission_key, user.remote_permission);
    for (int i = 0; i < kUserRights; ++i)
        json_add_int(object, kUserRemoteRightKeys[i], user.remote_rights[i]);
    user_add_text(object, "remoteliveview", user.remote_liveview, sizeof user.remote_liveview);
    user_add_text(object, "remoteplayback", user.remote_playback, sizeof user.remote_playback);
}

void user_add_list_entry(json_object *array, const UserRecord &user)
{
    JsonPtr entry = json_new_object();
    json_object *o = entry.get();
    json_add_int(o, "id", user.id);
    json_add_int(o, "enable", user.enable);
    user_add_text(o, "name", user.name, sizeof user.name);
    json_add_string(o, "password", "");
    json_add_int(o, "type", user.type);
    user_add_access(o, user, "remotePermission");
    json_object_array_add(array, entry.release());
}
