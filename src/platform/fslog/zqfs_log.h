// Detail blocks of operation log records, in the file-system log library's
// format: int32 detail kind, int32 data length, then the data bytes. The
// record's detail size counts the whole block (8 + data length).
#pragma once

#include <cstddef>
#include <cstdint>

struct LogRecord;

constexpr size_t kLogDetailHeader = 8;

// Packs `length` bytes of `data` as a detail block of `kind` into `record`.
// -1 (record unchanged) for a null record, null data with a positive
// length, a negative length or one that leaves no room for the header.
int zqfs_log_pack_detail(LogRecord *record, int kind, const void *data, int length);

// Whether the object number of a log entry of `main_type` and `sub_type`
// names a disk rather than a channel: disk formats among the operations
// (4, 207) and the disk exceptions (32, 400 to 403).
int log_channo_is_disk(int main_type, int64_t sub_type);
