// Online firmware upgrade of the recorder (look for an image on the update
// service, download it, install it) and the camera firmware upgrade (an
// uploaded or downloaded image pushed to one camera, and the lookup of new
// camera firmware).
#pragma once

#include <cstdint>

#include "core/reply_reader.h"

int on_upgrade_camera(char *text);
int on_start_upgrade_camera(char *text);
int on_stop_upgrade_camera(char *text);
int on_get_online_upgrade(char *text);
int on_del_online_upgrade(char *text);
int on_check_nvr_online_upgrade(char *text);
int on_nvr_online_upgrade(char *text);
int on_check_ipc_online_upgrade(char *text);

// The reply callback of these resources and its decoders. Decoders that
// answer the browser write {status:"CGI ERROR"} for a reply without a whole
// record and end the wait.
int on_upgrade_ipc_callback(void *context, const char *header, const char *payload);
int on_start_upgrade_camera_cb(const ReplyReader &reply);
int on_check_nvr_online_upgrade_cb(const ReplyReader &reply);
int on_check_ipc_online_upgrade_cb(const ReplyReader &reply);
int on_online_upgrade_res_cb(const ReplyReader &reply);

// The channels of a text mask: bit i for a '1' at position i, read up to
// the first character that is neither '0' nor '1' (at most 64).
uint64_t upgrade_channel_mask(const char *text);
