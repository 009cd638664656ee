// The operation log record: what the web tells the core daemon's history
// of every operation, and what the file-system log library's detail blocks
// are packed into.
#pragma once

#include <cstddef>
#include <cstdint>

// Payload of core message 3485 (little-endian).
#pragma pack(push, 1)
struct LogRecord {
    int32_t main_type;
    int32_t reserved0;
    int64_t sub_type;
    int32_t reserved1;
    int32_t time;
    int32_t param_code;
    int32_t remote;
    int32_t object;
    char client_addr[46];
    char user_name[64];
    char reserved2[2];
    int32_t detail_size;
    char detail[512];
    char reserved3[8];
};
#pragma pack(pop)
static_assert(sizeof(LogRecord) == 672);
static_assert(offsetof(LogRecord, sub_type) == 8);
static_assert(offsetof(LogRecord, time) == 20);
static_assert(offsetof(LogRecord, param_code) == 24);
static_assert(offsetof(LogRecord, remote) == 28);
static_assert(offsetof(LogRecord, object) == 32);
static_assert(offsetof(LogRecord, client_addr) == 36);
static_assert(offsetof(LogRecord, user_name) == 82);
static_assert(offsetof(LogRecord, detail_size) == 148);
static_assert(offsetof(LogRecord, detail) == 152);
static_assert(offsetof(LogRecord, reserved3) == 664);
