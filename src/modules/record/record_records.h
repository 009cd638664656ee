// Wire records of the record module: the holiday and record schedule
// records of the configuration database and the core message payloads of
// the recording pages.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/record_db.h"
#include "codecs/schedule.h"

constexpr int kMsgHolidaysChanged = 1401;
constexpr int kMsgRecordScheduleChanged = 1411;
constexpr int kMsgRecordModeChanged = 1413;
constexpr int kMsgRecordParamChanged = 1310;
constexpr int kMsgSetAnr = 2285;
constexpr int kMsgGetAnrSupport = 2286;
constexpr int kMsgGetRecordStreams = 3218;
constexpr int kReplySetAnr = 7285;
constexpr int kReplyGetAnrSupport = 7286;
constexpr int kReplyGetRecordStreams = 8218;

constexpr int kHolidayCount = 32;
constexpr size_t kHolidayNameSize = 256;

#pragma pack(push, 1)

// One holiday (record kRecHoliday, id 0..31).
struct holiday_record {
    int32_t id;
    char name[kHolidayNameSize];
    int32_t enable;
    int32_t type; // the core daemon's date rules
    int32_t startYear;
    int32_t startMon;
    int32_t startMDay;
    int32_t startMWeek;
    int32_t startWDay;
    int32_t endYear;
    int32_t endMon;
    int32_t endMDay;
    int32_t endMWeek;
    int32_t endWDay;
};

// One channel's record schedule (record kRecRecordSchedule, id = channel):
// the schedule record with each day's whole-day switch and action type.
struct record_schedule {
    schedule_record schedule;
    int32_t reserved;
};

// Payload of 1310: the channels whose recording parameters changed.
struct record_channel_list {
    int32_t channels[kRecordChannels];
    int32_t count;
};

// Payload of 2285: the channels whose ANR flag changes, and the new flag.
struct anr_change {
    int32_t channels[kRecordChannels];
    int32_t count;
    int32_t anr;
};

// Reply 7285: each listed channel's result of the ANR change.
struct anr_change_result {
    int32_t channels[kRecordChannels];
    int32_t results[kRecordChannels];
    int32_t count;
    int32_t anr;
};

// Reply 7286.
struct anr_support {
    int32_t chnid;
    int32_t support;
};

// Reply 8218: each channel's primary and secondary record stream values.
struct record_stream_info {
    int32_t primary[kRecordChannels];
    int32_t secondary[kRecordChannels];
    int32_t count;
};

#pragma pack(pop)

static_assert(sizeof(holiday_record) == 308);
static_assert(offsetof(holiday_record, name) == 4);
static_assert(offsetof(holiday_record, enable) == 260);
static_assert(offsetof(holiday_record, type) == 264);
static_assert(offsetof(holiday_record, startYear) == 268);
static_assert(offsetof(holiday_record, startWDay) == 284);
static_assert(offsetof(holiday_record, endYear) == 288);
static_assert(offsetof(holiday_record, endWDay) == 304);
static_assert(sizeof(record_schedule) == 26180);
static_assert(sizeof(record_channel_list) == 260);
static_assert(sizeof(anr_change) == 264);
static_assert(sizeof(anr_change_result) == 520);
static_assert(offsetof(anr_change_result, results) == 256);
static_assert(offsetof(anr_change_result, count) == 512);
static_assert(offsetof(anr_change_result, anr) == 516);
static_assert(sizeof(anr_support) == 8);
static_assert(sizeof(record_stream_info) == 516);
static_assert(offsetof(record_stream_info, secondary) == 256);
static_assert(offsetof(record_stream_info, count) == 512);
