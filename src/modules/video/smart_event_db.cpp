// Smart event records and schedules of the configuration database, keyed by
// channel and event index, and the copy of one channel's actions of an
// event to other channels.
#include <cstring>

#include "codecs/channel_db.h"
#include "codecs/channel_mask.h"
#include "codecs/event_action_db.h"
#include "codecs/event_actions.h"
#include "codecs/event_schedule_db.h"
#include "core/reply_reader.h"
#include "modules/video/vca.h"
#include "modules/video/video_records.h"
#include "platform/confdb/confdb.h"

namespace {

bool smart_event_valid(int chnid, int index)
{
    return camera_channel_valid(chnid) && index >= 0 && index < kSmartEventCount;
}

int smart_event_id(int chnid, int index) { return index << 8 | chnid; }

// The kinds kept per (channel, event) besides the record: the schedules.
constexpr int kScheduleKinds[] = {kRecSmartEventEffectiveSchedule, kRecSmartEventAudibleSchedule,
                                  kRecSmartEventMailSchedule, kRecSmartEventPtzSchedule};

// Record (kind, id of chnid) onto every other masked channel; a source
// never stored leaves the targets never stored as well.
template <typename Record> int copy_keyed(int kind, int index, int chnid, uint64_t mask, Record *record)
{
    const int found =
        confdb_read_record(ZQDB_PATH, kind, smart_event_id(chnid, index), record, sizeof *record);
    if (found < 0)
        return -1;
    for (int target = 0; target < kVideoChannels; ++target) {
        if (target == chnid || (mask >> target & 1u) == 0)
            continue;
        const int id = smart_event_id(target, index);
        const int result = found == kRecAbsent
                               ? confdb_delete_record(ZQDB_PATH, kind, id)
                               : confdb_write_record(ZQDB_PATH, kind, id, record, sizeof *record);
        if (result != 0)
            return -1;
    }
    return 0;
}

int copy_event_record(int index, int chnid, uint64_t mask)
{
    smart_event_record record;
    if (read_smart_event(ZQDB_PATH, &record, chnid, index) < 0)
        return -1;
    for (int target = 0; target < kVideoChannels; ++target) {
        if (target == chnid || (mask >> target & 1u) == 0)
            continue;
        smart_event_record copy = record;
        copy.chnid = target;
        if (write_smart_event(ZQDB_PATH, &copy, index) != 0)
            return -1;
    }
    return 0;
}

} // namespace

int read_smart_event(const char *db, smart_event_record *record, int chnid, int index)
{
    if (!smart_event_valid(chnid, index)) {
        memset(record, 0, sizeof *record);
        return -1;
    }
    const int found =
        confdb_read_record(db, kRecSmartEvent, smart_event_id(chnid, index), record, sizeof *record);
    // The texts end within their fields, whatever was stored.
    terminate_event_action_texts(record);
    return found;
}

int write_smart_event(const char *db, const smart_event_record *record, int index)
{
    if (!smart_event_valid(record->chnid, index))
        return -1;
    return confdb_write_record(db, kRecSmartEvent, smart_event_id(record->chnid, index), record,
                               sizeof *record);
}

int read_smart_event_schedule(const char *db, int kind, schedule_record *schedule, int chnid, int index)
{
    if (!smart_event_valid(chnid, index)) {
        memset(schedule, 0, sizeof *schedule);
        return -1;
    }
    return confdb_read_record(db, kind, smart_event_id(chnid, index), schedule, sizeof *schedule);
}

int write_smart_event_schedule(const char *db, int kind, const schedule_record *schedule, int chnid,
                               int index)
{
    if (!smart_event_valid(chnid, index))
        return -1;
    return confdb_write_record(db, kind, smart_event_id(chnid, index), schedule, sizeof *schedule);
}

int copy_smart_event_action(int index, int chnid, uint32_t mask_low, uint32_t mask_high, int /*reserved*/)
{
    const uint64_t mask = channel_mask_of(mask_low, mask_high);
    if (!smart_event_valid(chnid, index) || copy_event_record(index, chnid, mask) != 0)
        return -1;
    static schedule_record schedule;
    for (const int kind : kScheduleKinds)
        if (copy_keyed(kind, index, chnid, mask, &schedule) != 0)
            return -1;
    char white_schedule[64], white_params[64], http_schedule[64], http_params[64];
    get_vca_white_table_name(0, index, white_schedule, sizeof white_schedule);
    get_vca_white_table_name(1, index, white_params, sizeof white_params);
    get_vca_http_table_name(0, index, http_schedule, sizeof http_schedule);
    get_vca_http_table_name(1, index, http_params, sizeof http_params);
    const bool failed = copy_whiteled_effective_schedules(ZQDB_PATH, white_schedule, chnid, mask) != 0 ||
                        copy_http_notification_schedules(ZQDB_PATH, http_schedule, chnid, mask) != 0 ||
                        copy_whiteled_params(ZQDB_PATH, white_params, chnid, mask) != 0 ||
                        copy_http_notification_params(ZQDB_PATH, http_params, chnid, mask) != 0 ||
                        copy_ptz_params_all(ZQDB_PATH, get_smart_event_ptz_type(index), chnid, mask) != 0;
    return failed ? -1 : 0;
}
