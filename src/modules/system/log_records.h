// Wire records of the log pages: the query of a search or an export, the
// search page, the export reply and the export file's entries.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/fslog/log_record.h"

constexpr int kMsgLogExport = 3494; // log_query; reply 8494, log_export_reply
constexpr int kReplyLogExport = 8494;
constexpr int kMsgLogSearch = 3495; // log_query; reply 8495, log_search_reply
constexpr int kReplyLogSearch = 8495;
constexpr int kMsgLogDetail = 3488; // one LogRecord; reply 8488, the detail text
constexpr int kReplyLogDetail = 8488;

constexpr int kLogQuerySubTypes = 100;
constexpr int kLogPageEntries = 100;
constexpr size_t kLogDetailWords = 128;
constexpr size_t kLogExportPath = 64;
constexpr size_t kLogExportDetail = 4096;

#pragma pack(push, 1)

struct log_query {
    int32_t start_time;
    int32_t end_time;
    int32_t main_type;
    int32_t reserved0;
    int64_t sub_types[kLogQuerySubTypes];
    int32_t sub_type_count;
    int32_t page;
    uint64_t channel_mask;
    int32_t no_channel; // search: "searchNoChn"; export: "na"
    int32_t reserved1;
};
static_assert(sizeof(log_query) == 840);
static_assert(offsetof(log_query, sub_types) == 16);
static_assert(offsetof(log_query, sub_type_count) == 816);
static_assert(offsetof(log_query, channel_mask) == 824);
static_assert(offsetof(log_query, no_channel) == 832);

struct log_search_reply {
    int32_t count; // every match of the query
    int32_t num;   // entries of this page
    LogRecord entries[kLogPageEntries];
};
static_assert(sizeof(log_search_reply) == 67208);

struct log_export_reply {
    int32_t result;
    char path[kLogExportPath]; // the result file the core daemon wrote
};
static_assert(sizeof(log_export_reply) == 68);

// One entry of the export result file, after its int32 entry count.
struct log_export_entry {
    LogRecord entry;
    char detail[kLogExportDetail];
};
static_assert(sizeof(log_export_entry) == 4768);

#pragma pack(pop)
