// The JSON keys of the user record's rights and channel lists, and the
// conversions between request objects and user records that the account
// resources share.
#pragma once

#include <json-c/json.h>

#include "modules/system/user_record.h"
#include "modules/system/user_session.h"

extern const char *const kUserLocalRightKeys[kUserRights];
extern const char *const kUserRemoteRightKeys[kUserRights];

// The bits of a channel list: bit i set when character i is '1' (first 32).
uint32_t user_channel_bits(const char *list);

// Copies each right and channel list present in `request` into `user`
// (lists cut to 64 characters) and recomputes the bits of every list that
// changed.
void user_apply_rights(json_object *request, UserRecord *user);

// Adds a fixed-width text field of a record under `key`, read only up to
// the field's end.
void user_add_text(json_object *object, const char *key, const char *field, size_t size);

// Adds the account's access in the browser's order: "permission", the ten
// local rights, the two local lists, the remote permission under
// `remote_permission_key` (the login answer spells it its own way), the ten
// remote rights and the two remote lists.
void user_add_access(json_object *object, const UserRecord &user, const char *remote_permission_key);

// Appends the list object of one account ("/6070").
void user_add_list_entry(json_object *array, const UserRecord &user);
