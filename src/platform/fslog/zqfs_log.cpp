#include "platform/fslog/zqfs_log.h"

#include <cstdint>
#include <cstring>

#include "platform/fslog/log_record.h"

namespace {

void put_le32(char *out, int32_t value)
{
    const auto bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<char>(bits >> (8 * i));
}

} // namespace

int zqfs_log_pack_detail(LogRecord *record, int kind, const void *data, int length)
{
    if (record == nullptr || length < 0 || (length > 0 && data == nullptr) ||
        static_cast<size_t>(length) > sizeof record->detail - kLogDetailHeader)
        return -1;
    memset(record->detail, 0, sizeof record->detail);
    put_le32(record->detail, kind);
    put_le32(record->detail + 4, length);
    if (length > 0)
        memcpy(record->detail + kLogDetailHeader, data, static_cast<size_t>(length));
    record->detail_size = static_cast<int32_t>(kLogDetailHeader) + length;
    return 0;
}

int log_channo_is_disk(int main_type, int64_t sub_type)
{
    constexpr int kMainOperation = 4;
    constexpr int kMainException = 32;
    if (main_type == kMainOperation)
        return sub_type == 207 ? 1 : 0;
    if (main_type == kMainException)
        return sub_type >= 400 && sub_type <= 403 ? 1 : 0;
    return 0;
}
