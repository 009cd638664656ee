// The JSON keys of the user record's rights and channel lists, and the
// conversions between request objects and user records that the account
// resources share.
#pragma once

#include <json-c/json.h>

#include "modules/system/user_record.h"

extern const char *const kUserLocalRightKeys[kUserRights];
extern const char *const kUserRemoteRightKeys[kUserRights];

// The bits of a channel list: bit i set when character i is '1' (first 32).
uint32_t user_channel_bits(const char *list);

// Copies each right and channel list present in `request` into `user`
// (lists cut to 64 characters) and recomputes the bits of every list that
// changed.
void user_apply_rights(json_object *request, UserRecord *user);

// Appends the list object of one account ("/6070").
void user_add_list_entry(json_object *array, const UserRecord &user);
