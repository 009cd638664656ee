// Detail blocks of operation log records, in the file-system log library's
// format: int32 detail kind, int32 data length, then the data bytes. The
// record's detail size counts the whole block (8 + data length).
#pragma once

#include <cstddef>

struct LogRecord;

constexpr size_t kLogDetailHeader = 8;

// Packs `length` bytes of `data` as a detail block of `kind` into `record`.
// -1 (record unchanged) for a null record, null data with a positive
// length, a negative length or one that leaves no room for the header.
int zqfs_log_pack_detail(LogRecord *record, int kind, const void *data, int length);
