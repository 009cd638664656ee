// Motion records and schedules of the configuration database, and the
// helpers the motion handlers share.
#include <cstdio>

#include "codecs/event_action_db.h"
#include "codecs/channel_mask.h"
#include "core/reply_reader.h"
#include "modules/video/video.h"
#include "platform/confdb/confdb.h"

// The texts end within their fields, whatever was stored.
int read_motion(const char *db, motion_record *record, int chnid)
{
    const int found = confdb_read_record(db, kRecMotion, chnid, record, sizeof *record);
    terminate_field_text(record->motion_table);
    terminate_event_action_texts(record);
    return found;
}

int write_motion(const char *db, const motion_record *record)
{
    if (!camera_channel_valid(record->chnid))
        return -1;
    return confdb_write_record(db, kRecMotion, record->chnid, record, sizeof *record);
}

int read_motion_schedule_kind(const char *db, int kind, schedule_record *schedule, int chnid)
{
    return confdb_read_record(db, kind, chnid, schedule, sizeof *schedule);
}

int write_motion_schedule_kind(const char *db, int kind, const schedule_record *schedule, int chnid)
{
    if (!camera_channel_valid(chnid))
        return -1;
    return confdb_write_record(db, kind, chnid, schedule, sizeof *schedule);
}

void motion_set_tri_channels(motion_record *record, const char *text)
{
    snprintf(record->tri_channels, sizeof record->tri_channels, "%s", text != nullptr ? text : "");
    // The stored mask holds the first 32 channels.
    const auto mask = static_cast<uint32_t>(channel_mask_from_text(record->tri_channels));
    record->tri_channel_mask = static_cast<int32_t>(mask);
}

int copy_schedule_kind(int kind, int chnid, uint64_t mask)
{
    static schedule_record schedule;
    const int found = confdb_read_record(ZQDB_PATH, kind, chnid, &schedule, sizeof schedule);
    if (found < 0)
        return -1;
    if (found == kRecFound)
        return confdb_copy_record(ZQDB_PATH, kind, chnid, mask);
    for (int target = 0; target < kVideoChannels; ++target)
        if (target != chnid && (mask >> target & 1u) != 0 &&
            confdb_delete_record(ZQDB_PATH, kind, target) != 0)
            return -1;
    return 0;
}

int copy_motion_setting(const motion_record &record, uint64_t mask)
{
    const int chnid = record.chnid;
    if (!camera_channel_valid(chnid))
        return -1;
    for (int target = 0; target < kVideoChannels; ++target) {
        if (target == chnid || (mask >> target & 1u) == 0)
            continue;
        motion_record copy = record;
        copy.chnid = target;
        if (write_motion(ZQDB_PATH, &copy) != 0)
            return -1;
    }
    const int kinds[] = {kRecMotionEffectiveSchedule, kRecMotionAudibleSchedule, kRecMotionEmailSchedule,
                         kRecMotionPtzSchedule};
    for (const int kind : kinds)
        if (copy_schedule_kind(kind, chnid, mask) != 0)
            return -1;
    return copy_event_action_tables(kMotionActionTables, chnid, mask);
}
