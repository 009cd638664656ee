// Video: the OSD and privacy mask pages, and their reply decoders.
#pragma once

#include "core/reply_reader.h"
#include "modules/video/osd_records.h"

// The recorder's OSD setting of a channel.
int on_get_osd_info(char *text);
int on_set_osd_info(char *text);
int OnSetOSDName(char *text);
// The camera-side OSD configuration.
int on_get_osdconfig(char *text);
int on_set_osdconfig(char *text);
// Privacy masks.
int on_get_privacy_masks(char *text);
int on_set_privacy_mask(char *text);
int on_get_privacy_mask_ovf(char *text);
int on_get_ipc_model_type(char *text);
int on_delete_privacy_mask(char *text);
int on_cgi_set_privacy_edit(char *text);

int on_get_osdconfig_cb(const ReplyReader &reply);
int on_set_osdconfig_cb(const ReplyReader &reply);
int on_get_ipc_privacy_mask_cb(const ReplyReader &reply);
int on_get_ipc_model_type_cb(const ReplyReader &reply);
