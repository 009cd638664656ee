#include "codecs/event_schedule_db.h"

#include <cstring>

#include "codecs/channel_db.h"
#include "platform/confdb/confdb.h"

namespace {

bool smart_event_valid(int chnid, int index)
{
    return camera_channel_valid(chnid) && index >= 0 && index < kSmartEventCount;
}

int smart_event_id(int chnid, int index) { return index << 8 | chnid; }

} // namespace

int read_motion_effective_schedule(const char *db, schedule_record *schedule, int chnid)
{
    if (!camera_channel_valid(chnid)) {
        memset(schedule, 0, sizeof *schedule);
        return -1;
    }
    return confdb_read_record(db, kRecMotionEffectiveSchedule, chnid, schedule, sizeof *schedule);
}

int write_motion_effective_schedule(const char *db, const schedule_record *schedule, int chnid)
{
    if (!camera_channel_valid(chnid))
        return -1;
    return confdb_write_record(db, kRecMotionEffectiveSchedule, chnid, schedule, sizeof *schedule);
}

int read_smart_event_effective_schedule(const char *db, schedule_record *schedule, int chnid, int index)
{
    if (!smart_event_valid(chnid, index)) {
        memset(schedule, 0, sizeof *schedule);
        return -1;
    }
    return confdb_read_record(db, kRecSmartEventEffectiveSchedule, smart_event_id(chnid, index), schedule,
                              sizeof *schedule);
}

int write_smart_event_effective_schedule(const char *db, const schedule_record *schedule, int chnid,
                                         int index)
{
    if (!smart_event_valid(chnid, index))
        return -1;
    return confdb_write_record(db, kRecSmartEventEffectiveSchedule, smart_event_id(chnid, index), schedule,
                               sizeof *schedule);
}
