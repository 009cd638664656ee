// Storage: handlers of the storage table, the module's reply callback and
// its decoders, and the helpers the handlers share.
#pragma once

#include <json-c/json.h>

#include <atomic>

#include "core/reply_reader.h"
#include "modules/storage/storage_records.h"

// Disks and formatting.
int on_get_disk_info(char *text);
int on_set_disk_info(char *text);
int on_format_disk(char *text);
int on_get_format_progress(char *text);

// RAID.
int on_create_raid(char *text);
int on_remove_raid(char *text);
int on_set_hot_space(char *text);
int on_rebuild_raid(char *text);
int on_get_raid_mode(char *text);
int on_set_raid_mode(char *text);

// Network disks and disk removal.
int on_del_disk_nas(char *text);
int on_add_disk_nas(char *text);
int on_search_disk_nas(char *text);
int on_update_disk_nas(char *text);
int on_remove_disk(char *text);

// Recycle mode, SMART, quotas, disk groups, eSATA and backup.
int on_set_recycle_mode(char *text);
int on_get_recycle_mode(char *text);
int on_get_smart_attr(char *text);
int on_get_quota_info(char *text);
int on_set_quota_info(char *text);
int on_set_disk_group(char *text);
int on_get_esata_auto_backup(char *text);
int on_set_esata_auto_backup(char *text);
int on_get_esata_auto_backup_status(char *text);
int on_get_export_disk_info(char *text);
int on_format_esata_disk(char *text);
int on_cgi_get_auto_backup_status(char *text);
int on_cgi_set_auto_backup_stop(char *text);
int on_cgi_get_format_info(char *text);

int on_storage_ipc_callback(void *context, const char *header, const char *payload);
int on_get_storage_info_cb(const ReplyReader &reply);
int on_format_disk_cb(const ReplyReader &reply);
int on_remove_space_cb(const ReplyReader &reply);
int on_rebuild_raid_cb(const ReplyReader &reply);
int on_search_disk_nas_cb(const ReplyReader &reply);
int on_update_disk_nas_cb(const ReplyReader &reply);
int on_set_recycle_cb(const ReplyReader &reply);
int on_get_recycle_mode_cb(const ReplyReader &reply);
int on_get_smart_attr_cb(const ReplyReader &reply);
int on_get_quota_info_cb(const ReplyReader &reply);
int on_get_esata_auto_backup_status_cb(const ReplyReader &reply);
int on_get_export_disk_info_cb(const ReplyReader &reply);
int on_cgi_get_format_info_cb(const ReplyReader &reply);
// {key: the first int32 of the reply}; -1 for a payload without one.
int answer_first_int(const ReplyReader &reply, const char *key);

// The first "num" elements of the request's "port" array that name a disk
// slot (at most 33); elements past the array's end are not read.
nas_port_list requested_disk_ports(json_object *request);

// 1 once the format decoder has seen a successful format; the format
// handler clears it before asking and reads it to log the outcome.
extern std::atomic<int> g_format_succeeded;
