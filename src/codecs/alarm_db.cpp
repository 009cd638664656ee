// Typed access to the alarm records of the configuration database.
#include "codecs/alarm_db.h"

#include <cstdio>
#include <cstring>

#include "codecs/channel_mask.h"
#include "codecs/keyed_copy.h"
#include "core/reply_reader.h"
#include "platform/confdb/confdb.h"

namespace {

// Reads (kind, id) when `valid`, else gives an absent, zeroed record.
template <typename Record> int read_if_valid(const char *db, int kind, int id, bool valid, Record *record)
{
    if (!valid) {
        memset(record, 0, sizeof *record);
        return kRecAbsent;
    }
    return confdb_read_record(db, kind, id, record, sizeof *record);
}

template <typename Record>
int write_if_valid(const char *db, int kind, int id, bool valid, const Record *record)
{
    return valid ? confdb_write_record(db, kind, id, record, sizeof *record) : -1;
}

// Every entry of a list read as its position's record: 0, or -1 after the
// first failed read.
template <typename Record, typename Read> int read_list(Record *list, int count, Read read)
{
    for (int index = 0; index < count; ++index)
        if (read(&list[index], index) < 0)
            return -1;
    return 0;
}

template <typename Record, typename Write>
int write_list(const Record *list, int count, uint64_t mask, Write write)
{
    for (int index = 0; index < count; ++index) {
        if ((mask >> index & 1u) == 0)
            continue;
        Record entry = list[index];
        if (write(&entry, index) != 0)
            return -1;
    }
    return 0;
}

// Text fields read are terminated within their width, whatever was stored.
void terminate_texts(alarm_in_record *record)
{
    terminate_field_text(record->name);
    terminate_field_text(record->tri_snapshot);
    terminate_event_action_texts(record);
}

void terminate_texts(alarm_chnin_event_record *record) { terminate_event_action_texts(record); }

void terminate_texts(alarm_out_record *record) { terminate_field_text(record->name); }
void terminate_texts(alarm_chnin_name_record *record) { terminate_field_text(record->name); }
void terminate_texts(alarm_chnout_name_record *record) { terminate_field_text(record->name); }

// A recorder's input or output record read for `id`.
template <typename Record> int read_own_alarm(const char *db, int kind, Record *record, int id, bool valid)
{
    const int found = read_if_valid(db, kind, id, valid, record);
    if (found != -1 && valid)
        record->id = id;
    terminate_texts(record);
    return found;
}

// A camera's alarm record read for {chnid, alarm_id}.
template <typename Record>
int read_camera_alarm(const char *db, int kind, Record *record, int chnid, int alarm_id, bool valid)
{
    const int found = read_if_valid(db, kind, camera_alarm_key(chnid, alarm_id), valid, record);
    if (found != -1 && valid) {
        record->chnid = chnid;
        record->alarm_id = alarm_id;
    }
    terminate_texts(record);
    return found;
}

int copy_schedule(const char *db, int kind, int from_id, int source, uint64_t mask, int targets)
{
    return copy_keyed_record<schedule_record>(db, kind, from_id, source, mask, targets);
}

bool alarmin_schedule_kind(int kind)
{
    return kind == kRecAlarminEffectiveSchedule || kind == kRecAlarminAudibleSchedule ||
           kind == kRecAlarminEmailSchedule || kind == kRecAlarminPtzSchedule || kind == kRecAlarmInSchedule;
}

bool chnin_schedule_kind(int kind)
{
    return kind == kRecAlarmChnInEffectiveSchedule || kind == kRecAlarmChnInAudibleSchedule ||
           kind == kRecAlarmChnInMailSchedule || kind == kRecAlarmChnInPtzSchedule;
}

} // namespace

bool alarm_in_valid(int id) { return id >= 0 && id < kAlarmInputs; }
bool alarm_out_valid(int id) { return id >= 0 && id < kAlarmOutputs; }

bool camera_alarm_in_valid(int chnid, int alarm_id)
{
    return chnid >= 0 && chnid < kAlarmChannels && alarm_id >= 0 && alarm_id < kCameraAlarmInputs;
}

bool camera_alarm_out_valid(int chnid, int alarm_id)
{
    return chnid >= 0 && chnid < kAlarmChannels && alarm_id >= 0 && alarm_id < kCameraAlarmOutputs;
}

void alarm_in_set_tri_channels(alarm_in_record *record, const char *text)
{
    fill_field_text(record->tri_channels, sizeof record->tri_channels, text);
    // The stored mask holds the first 32 channels.
    const auto mask = static_cast<uint32_t>(channel_mask_from_text(record->tri_channels));
    record->tri_channel_mask = static_cast<int32_t>(mask);
}

int read_alarm_in(const char *db, alarm_in_record *record, int id)
{
    return read_own_alarm(db, kRecAlarmIn, record, id, alarm_in_valid(id));
}

int write_alarm_in(const char *db, const alarm_in_record *record)
{
    return write_if_valid(db, kRecAlarmIn, record->id, alarm_in_valid(record->id), record);
}

int read_alarm_ins(const char *db, alarm_in_record *list)
{
    return read_list(list, kAlarmInputs,
                     [db](alarm_in_record *record, int id) { return read_alarm_in(db, record, id); });
}

int write_alarm_ins(const char *db, const alarm_in_record *list, uint32_t mask)
{
    return write_list(list, kAlarmInputs, mask, [db](alarm_in_record *record, int id) {
        record->id = id;
        return write_alarm_in(db, record);
    });
}

int read_alarmin_schedule(const char *db, int kind, schedule_record *schedule, int id)
{
    return read_if_valid(db, kind, id, alarmin_schedule_kind(kind) && alarm_in_valid(id), schedule);
}

int write_alarmin_schedule(const char *db, int kind, const schedule_record *schedule, int id)
{
    return write_if_valid(db, kind, id, alarmin_schedule_kind(kind) && alarm_in_valid(id), schedule);
}

int copy_alarmin_schedules(const char *db, int kind, int id, uint32_t mask)
{
    if (!alarmin_schedule_kind(kind) || !alarm_in_valid(id))
        return -1;
    return copy_schedule(db, kind, id, id, mask, kAlarmInputs);
}

int write_alarm_in_schedule(const char *db, const schedule_record *schedule, int id, int action)
{
    static schedule_record stored;
    stored = *schedule;
    for (schedule_day &day : stored.days)
        for (int section = 0; section < kScheduleWebSections; ++section)
            day.sections[section].action_type = action;
    return write_alarmin_schedule(db, kRecAlarmInSchedule, &stored, id);
}

int read_alarm_out(const char *db, alarm_out_record *record, int id)
{
    return read_own_alarm(db, kRecAlarmOut, record, id, alarm_out_valid(id));
}

int write_alarm_out(const char *db, const alarm_out_record *record)
{
    return write_if_valid(db, kRecAlarmOut, record->id, alarm_out_valid(record->id), record);
}

int read_alarm_outs(const char *db, alarm_out_record *list)
{
    return read_list(list, kAlarmOutputs,
                     [db](alarm_out_record *record, int id) { return read_alarm_out(db, record, id); });
}

int write_alarm_outs(const char *db, const alarm_out_record *list, uint32_t mask)
{
    return write_list(list, kAlarmOutputs, mask, [db](alarm_out_record *record, int id) {
        record->id = id;
        return write_alarm_out(db, record);
    });
}

int read_alarm_out_schedule(const char *db, schedule_record *schedule, int id)
{
    return read_if_valid(db, kRecAlarmOutSchedule, id, alarm_out_valid(id), schedule);
}

int write_alarm_out_schedule(const char *db, const schedule_record *schedule, int id)
{
    return write_if_valid(db, kRecAlarmOutSchedule, id, alarm_out_valid(id), schedule);
}

int copy_alarm_out_schedules(const char *db, int id, uint32_t mask)
{
    if (!alarm_out_valid(id))
        return -1;
    return copy_schedule(db, kRecAlarmOutSchedule, id, id, mask, kAlarmOutputs);
}

int read_alarm_chnIn_event(const char *db, alarm_chnin_event_record *record, int chnid, int alarm_id)
{
    return read_camera_alarm(db, kRecAlarmChnInEvent, record, chnid, alarm_id,
                             camera_alarm_in_valid(chnid, alarm_id));
}

int write_alarm_chnIn_event(const char *db, const alarm_chnin_event_record *record)
{
    return write_if_valid(db, kRecAlarmChnInEvent, camera_alarm_key(record->chnid, record->alarm_id),
                          camera_alarm_in_valid(record->chnid, record->alarm_id), record);
}

int copy_alarm_chnIn_events(const char *db, int chnid, int alarm_id, uint64_t mask)
{
    if (!camera_alarm_in_valid(chnid, alarm_id))
        return -1;
    return copy_keyed_record<alarm_chnin_event_record>(
        db, kRecAlarmChnInEvent, camera_alarm_key(chnid, alarm_id), chnid, mask, kAlarmChannels,
        [alarm_id](alarm_chnin_event_record *record, int target) {
            record->chnid = target;
            record->alarm_id = alarm_id;
        });
}

int read_alarm_chnIn_event_name(const char *db, alarm_chnin_name_record *record, int chnid, int alarm_id)
{
    return read_camera_alarm(db, kRecAlarmChnInName, record, chnid, alarm_id,
                             camera_alarm_in_valid(chnid, alarm_id));
}

int write_alarm_chnIn_event_name(const char *db, const alarm_chnin_name_record *record)
{
    return write_if_valid(db, kRecAlarmChnInName, camera_alarm_key(record->chnid, record->alarm_id),
                          camera_alarm_in_valid(record->chnid, record->alarm_id), record);
}

int read_alarm_chnIn_event_names(const char *db, alarm_chnin_name_record *list, int count, int alarm_id)
{
    return read_list(list, clamp_count(count, kAlarmChannels),
                     [db, alarm_id](alarm_chnin_name_record *record, int chnid) {
                         return read_alarm_chnIn_event_name(db, record, chnid, alarm_id);
                     });
}

int read_alarm_chnIn_schedule(const char *db, int kind, schedule_record *schedule, int chnid, int alarm_id)
{
    return read_if_valid(db, kind, camera_alarm_key(chnid, alarm_id),
                         chnin_schedule_kind(kind) && camera_alarm_in_valid(chnid, alarm_id), schedule);
}

int write_alarm_chnIn_schedule(const char *db, int kind, const schedule_record *schedule, int chnid,
                               int alarm_id)
{
    return write_if_valid(db, kind, camera_alarm_key(chnid, alarm_id),
                          chnin_schedule_kind(kind) && camera_alarm_in_valid(chnid, alarm_id), schedule);
}

int copy_alarm_chnIn_schedules(const char *db, int kind, int chnid, int alarm_id, uint64_t mask)
{
    if (!chnin_schedule_kind(kind) || !camera_alarm_in_valid(chnid, alarm_id))
        return -1;
    return copy_schedule(db, kind, camera_alarm_key(chnid, alarm_id), chnid, mask, kAlarmChannels);
}

int read_alarm_chnOut_event_name(const char *db, alarm_chnout_name_record *record, int chnid, int alarm_id)
{
    return read_camera_alarm(db, kRecAlarmChnOutName, record, chnid, alarm_id,
                             camera_alarm_out_valid(chnid, alarm_id));
}

int write_alarm_chnOut_event_name(const char *db, const alarm_chnout_name_record *record)
{
    return write_if_valid(db, kRecAlarmChnOutName, camera_alarm_key(record->chnid, record->alarm_id),
                          camera_alarm_out_valid(record->chnid, record->alarm_id), record);
}

int read_alarm_chnOut_event_names(const char *db, alarm_chnout_name_record *list, int count, int alarm_id)
{
    return read_list(list, clamp_count(count, kAlarmChannels),
                     [db, alarm_id](alarm_chnout_name_record *record, int chnid) {
                         return read_alarm_chnOut_event_name(db, record, chnid, alarm_id);
                     });
}

int write_alarm_chnOut_event_names(const char *db, const alarm_chnout_name_record *list, int count,
                                   int alarm_id, uint64_t mask)
{
    return write_list(list, clamp_count(count, kAlarmChannels), mask,
                      [db, alarm_id](alarm_chnout_name_record *record, int chnid) {
                          record->chnid = chnid;
                          record->alarm_id = alarm_id;
                          return write_alarm_chnOut_event_name(db, record);
                      });
}

int read_alarm_chnOut_effective_schedule(const char *db, schedule_record *schedule, int chnid, int alarm_id)
{
    return read_if_valid(db, kRecAlarmChnOutEffectiveSchedule, camera_alarm_key(chnid, alarm_id),
                         camera_alarm_out_valid(chnid, alarm_id), schedule);
}

int write_alarm_chnOut_effective_schedule(const char *db, const schedule_record *schedule, int chnid,
                                          int alarm_id)
{
    return write_if_valid(db, kRecAlarmChnOutEffectiveSchedule, camera_alarm_key(chnid, alarm_id),
                          camera_alarm_out_valid(chnid, alarm_id), schedule);
}

int copy_alarm_chnOut_effective_schedules(const char *db, int chnid, int alarm_id, uint64_t mask)
{
    if (!camera_alarm_out_valid(chnid, alarm_id))
        return -1;
    return copy_schedule(db, kRecAlarmChnOutEffectiveSchedule, camera_alarm_key(chnid, alarm_id), chnid, mask,
                         kAlarmChannels);
}

int read_disarming(const char *db, disarming_record *record)
{
    return confdb_read_record(db, kRecDisarming, 0, record, sizeof *record);
}

int write_disarming(const char *db, const disarming_record *record)
{
    return confdb_write_record(db, kRecDisarming, 0, record, sizeof *record);
}
