// Video loss and exception records of the configuration database.
#include <cstdio>
#include <cstring>

#include "codecs/channel_db.h"
#include "core/reply_reader.h"
#include "modules/video/videoloss_records.h"
#include "platform/confdb/confdb.h"

namespace {

// Exception numbers 8 and 9 are not used.
const char *const kExceptionNames[kExceptionNumbers] = {
    "diskFull",
    "diskError",
    "noDisk",
    "networkDisconnected",
    "ipConflict",
    "illegalAccess",
    "recordFailed",
    "raidDegraded",
    "",
    "",
};

} // namespace

int read_video_lost(const char *db, video_lost_record *record, int chnid)
{
    if (!camera_channel_valid(chnid)) {
        memset(record, 0, sizeof *record);
        return kRecAbsent;
    }
    const int found = confdb_read_record(db, kRecVideoLoss, chnid, record, sizeof *record);
    record->camId = chnid;
    // The texts end within their fields, whatever was stored.
    terminate_field_text(record->chn_alarmout0);
    terminate_field_text(record->chn_alarmout1);
    return found;
}

int write_video_lost(const char *db, const video_lost_record *record)
{
    if (!camera_channel_valid(record->camId))
        return -1;
    return confdb_write_record(db, kRecVideoLoss, record->camId, record, sizeof *record);
}

int read_video_losts(const char *db, video_lost_record *list)
{
    for (int chnid = 0; chnid < kCameraChannels; ++chnid)
        if (read_video_lost(db, &list[chnid], chnid) < 0)
            return -1;
    return 0;
}

int write_video_losts(const char *db, const video_lost_record *list, uint64_t mask)
{
    return confdb_write_masked(db, kRecVideoLoss, list, sizeof *list, sizeof *list, mask);
}

int copy_video_losts(const char *db, const video_lost_record &record, uint64_t mask)
{
    static video_lost_record list[kCameraChannels];
    for (int chnid = 0; chnid < kCameraChannels; ++chnid) {
        list[chnid] = record;
        list[chnid].camId = chnid;
    }
    if (camera_channel_valid(record.camId))
        mask &= ~(uint64_t{1} << record.camId);
    return write_video_losts(db, list, mask);
}

int write_video_loss_schedule(const char *db, const schedule_record *schedule, int chnid)
{
    if (!camera_channel_valid(chnid))
        return -1;
    return confdb_write_record(db, kRecVideoLossSchedule, chnid, schedule, sizeof *schedule);
}

int read_trigger_alarms(const char *db, trigger_alarm_record *record)
{
    return confdb_read_record(db, kRecTriggerAlarms, 0, record, sizeof *record);
}

int write_trigger_alarms(const char *db, const trigger_alarm_record *record)
{
    return confdb_write_record(db, kRecTriggerAlarms, 0, record, sizeof *record);
}

void get_exception_name(int number, char *buffer, size_t size)
{
    if (size == 0)
        return;
    const char *name = number >= 0 && number < kExceptionNumbers ? kExceptionNames[number] : "";
    snprintf(buffer, size, "%s", name);
}
