// Wire records of the status module's core messages.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kMsgGetUsage = 3306;
constexpr int kReplyUsage = 8306;

#pragma pack(push, 1)
struct usage_record {
    int32_t total;
    int32_t free;
    int32_t used;
};
#pragma pack(pop)
static_assert(sizeof(usage_record) == 12);
static_assert(offsetof(usage_record, free) == 4);
static_assert(offsetof(usage_record, used) == 8);
