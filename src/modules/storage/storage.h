// Storage: handlers of the storage table, the module's reply callback and
// its decoders, and the helpers the handlers share.
#pragma once

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

int on_storage_ipc_callback(void *context, const char *header, const char *payload);
int on_get_storage_info_cb(const ReplyReader &reply);
int on_format_disk_cb(const ReplyReader &reply);
int on_remove_space_cb(const ReplyReader &reply);
int on_rebuild_raid_cb(const ReplyReader &reply);

// 1 once the format decoder has seen a successful format; the format
// handler clears it before asking and reads it to log the outcome.
extern std::atomic<int> g_format_succeeded;

// Database records of the disk slots (kind kRecDisk, id = port id).
// read_disk: kRecFound, kRecAbsent (record zeroed) or -1.
int read_disk(const char *db, disk_record *record, int id);
int write_disk(const char *db, const disk_record *record);
// Up to `capacity` records in id order; the number read, or -1.
int read_disks(const char *db, disk_record *records, int capacity, int *count);
