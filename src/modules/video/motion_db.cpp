// Motion records and schedules of the configuration database, and the
// helpers the motion handlers share.
#include <cstdio>

#include "modules/video/video.h"
#include "platform/confdb/confdb.h"

int read_motion(const char *db, motion_record *record, int chnid)
{
    return confdb_read_record(db, kRecMotion, chnid, record, sizeof *record);
}

int write_motion(const char *db, const motion_record *record)
{
    if (!video_channel_valid(record->chnid))
        return -1;
    return confdb_write_record(db, kRecMotion, record->chnid, record, sizeof *record);
}

int read_motion_schedule_kind(const char *db, int kind, schedule_record *schedule, int chnid)
{
    return confdb_read_record(db, kind, chnid, schedule, sizeof *schedule);
}

int write_motion_schedule_kind(const char *db, int kind, const schedule_record *schedule, int chnid)
{
    if (!video_channel_valid(chnid))
        return -1;
    return confdb_write_record(db, kind, chnid, schedule, sizeof *schedule);
}

bool video_channel_valid(int chnid) { return chnid >= 0 && chnid < kVideoChannels; }

void motion_set_tri_channels(motion_record *record, const char *text)
{
    snprintf(record->tri_channels, sizeof record->tri_channels, "%s", text != nullptr ? text : "");
    uint32_t mask = 0;
    for (int index = 0; index < 32 && record->tri_channels[index] != '\0'; ++index)
        if (record->tri_channels[index] == '1')
            mask |= 1u << index;
    record->tri_channel_mask = static_cast<int32_t>(mask);
}
