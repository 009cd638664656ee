// Each channel's recording setting in the configuration database, read by
// the recording pages and by the system pages that set every channel's
// record mode at once; and the column setter that changes one field of
// many channel records in one go.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kRecordChannels = 64;
constexpr int kRecordModeMax = 2;

// Core message: a channel's recording setting changed (payload: int32 channel).
constexpr int kMsgRecordSettingChanged = 1407;

#pragma pack(push, 1)
struct record_setting {
    int32_t id;
    int32_t mode; // 0..2, the core daemon's record modes
    int32_t reserved0[7];
    int32_t audioEnable;
    int32_t reserved1[2];
    int32_t prevRecordOn;
    int32_t prevRecordDuration;
    int32_t postRecordOn;
    int32_t postRecordDuration;
    int32_t recordExpDate;
    int32_t reserved2;
};
#pragma pack(pop)
static_assert(sizeof(record_setting) == 72);
static_assert(offsetof(record_setting, mode) == 4);
static_assert(offsetof(record_setting, audioEnable) == 36);
static_assert(offsetof(record_setting, prevRecordOn) == 48);
static_assert(offsetof(record_setting, prevRecordDuration) == 52);
static_assert(offsetof(record_setting, postRecordOn) == 56);
static_assert(offsetof(record_setting, postRecordDuration) == 60);
static_assert(offsetof(record_setting, recordExpDate) == 64);

// Every channel has its setting: one never stored reads as zeros with its
// own channel as id. read_record gives kRecFound, kRecAbsent or -1 (record
// zeroed, id set); read_records fills records[0..63] by channel and stores
// 64 in `count`, 0 or -1 (array zeroed, count 0).
int read_record(const char *db, record_setting *record, int chnid);
int read_records(const char *db, record_setting records[kRecordChannels], int *count);
// write_record stores the record under its own id (0..63, else -1);
// write_records stores records[n] for every bit n of the mask, each under
// its channel whatever its id field says, in one transaction. 0 or -1.
int write_record(const char *db, const record_setting *record);
int write_records(const char *db, const record_setting records[kRecordChannels], uint32_t mask_low,
                  uint32_t mask_high);

// Sets integer column `column` of table `table` to `value` in the rows
// whose `key` column ("id") has its bit set in the mask, in one
// transaction. The columns known are camera "anr" and "record_stream" and
// record "mode". 0, or -1 for an unknown column or a failed write.
int copy_table_column_int(const char *db, const char *table, const char *column, int value, uint32_t mask_low,
                          uint32_t mask_high, const char *key);
