// Holidays and record schedules of the configuration database, and the
// request helpers the recording handlers share.
#include <cstring>

#include "codecs/channel_db.h"
#include "codecs/channel_mask.h"
#include "codecs/params.h"
#include "modules/record/record.h"
#include "platform/confdb/confdb.h"

int read_holidays(const char *db, holiday_record holidays[kHolidayCount], int *count)
{
    static holiday_record stored[kHolidayCount];
    static int ids[kHolidayCount];
    *count = 0;
    memset(holidays, 0, sizeof(holiday_record) * kHolidayCount);
    const int read = confdb_read_records(db, kRecHoliday, stored, sizeof stored[0], kHolidayCount, ids);
    if (read < 0)
        return -1;
    for (int id = 0; id < kHolidayCount; ++id)
        holidays[id].id = id;
    for (int index = 0; index < read; ++index)
        if (ids[index] >= 0 && ids[index] < kHolidayCount)
            holidays[ids[index]] = stored[index];
    *count = kHolidayCount;
    return 0;
}

int write_holiday(const char *db, const holiday_record *record)
{
    if (record->id < 0 || record->id >= kHolidayCount)
        return -1;
    return confdb_write_record(db, kRecHoliday, record->id, record, sizeof *record);
}

int read_record_schedule(const char *db, record_schedule *schedule, int chnid)
{
    if (!camera_channel_valid(chnid)) {
        memset(schedule, 0, sizeof *schedule);
        return kRecAbsent;
    }
    return confdb_read_record(db, kRecRecordSchedule, chnid, schedule, sizeof *schedule);
}

int copy_record_schedules(const char *db, const record_schedule *schedule, uint32_t mask_low,
                          uint32_t mask_high)
{
    return confdb_write_masked(db, kRecRecordSchedule, schedule, sizeof *schedule, 0,
                               channel_mask_of(mask_low, mask_high));
}

int record_channel_of(const char *text)
{
    int chnid = -1;
    return param_text_int(text, &chnid) && camera_channel_valid(chnid) ? chnid : -1;
}

void record_request_channels(json_object *request, int cnt, RecordChannels *out)
{
    out->count = 0;
    out->last = 0;
    json_object *list = json_value_array(json_get_member(request, "chnid"));
    const size_t limit = static_cast<size_t>(clamp_count(cnt, kRecordChannels));
    for (size_t index = 0; index < limit && index < json_array_size(list); ++index) {
        int chnid = -1;
        if (!json_value_int(json_array_item(list, index), &chnid))
            continue;
        out->last = chnid;
        if (camera_channel_valid(chnid))
            out->channels[out->count++] = chnid;
    }
}
