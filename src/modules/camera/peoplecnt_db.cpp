// People-counting, POS, report backup and face records over confdb. Each
// table read fills every slot (a slot never stored reads as zero with its
// own id), so a table written back never moves a record to slot 0.
#include <cstring>

#include "codecs/schedule.h"
#include "modules/camera/peoplecnt_records.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr const char *kPeopleCntWhiteSchedule = "people_cnt_whiteled_esche";
constexpr const char *kPosWhiteSchedule = "pos_whiteled_esche";
constexpr const char *kPosHttpSchedule = "pos_http_notification_sche";
constexpr const char *kFaceWhiteSchedule = "face_whiteled_esche";
constexpr const char *kFaceHttpSchedule = "face_http_notification_sche";

bool in_range(int id, int count) { return id >= 0 && id < count; }

// Reads record (kind, id) zeroed when absent; 0 or -1 (-1 also for an id
// outside 0..count - 1).
int read_one(const char *db, int kind, int id, int count, void *record, size_t size)
{
    memset(record, 0, size);
    if (!in_range(id, count))
        return -1;
    return confdb_read_record(db, kind, id, record, size) < 0 ? -1 : 0;
}

int write_one(const char *db, int kind, int id, int count, const void *record, size_t size)
{
    return in_range(id, count) ? confdb_write_record(db, kind, id, record, size) : -1;
}

int own_id(const void *record)
{
    int32_t id = 0;
    memcpy(&id, record, sizeof id);
    return id;
}

// Records that start with their int32 id: a read gives the record its id
// (also when absent), a write stores it under the id it carries.
template <typename Record> int read_owned(const char *db, int kind, int id, int count, Record *record)
{
    const int result = read_one(db, kind, id, count, record, sizeof *record);
    const int32_t own = id;
    memcpy(record, &own, sizeof own);
    return result;
}

template <typename Record> int write_owned(const char *db, int kind, int count, const Record *record)
{
    return write_one(db, kind, own_id(record), count, record, sizeof *record);
}

// Every slot of a table of such records.
template <typename Record> int read_table(const char *db, int kind, Record *list, int count)
{
    for (int id = 0; id < count; ++id)
        if (read_owned(db, kind, id, count, &list[id]) != 0)
            return -1;
    return 0;
}

template <typename Record> int write_table(const char *db, int kind, const Record *list, int count)
{
    for (int id = 0; id < count; ++id)
        if (write_one(db, kind, id, count, &list[id], sizeof list[id]) != 0)
            return -1;
    return 0;
}

int schedule_id(int kind, int owner) { return kind << 8 | owner; }

// Schedules of an event kind: the white LED and HTTP kinds are the shared
// action schedules of the event's tables, the others its own records.
struct ScheduleFamily {
    int record_kind;
    int owners;
    const char *white_table;
    const char *http_table;
};

const ScheduleFamily kGroupSchedules = {kRecPeopleCntSchedule, kPeopleCntGroups, kPeopleCntWhiteSchedule,
                                        "people_cnt_http_notification_sche"};
const ScheduleFamily kPosSchedules = {kRecPosSchedule, kPosSources, kPosWhiteSchedule, kPosHttpSchedule};
const ScheduleFamily kFaceSchedules = {kRecFaceSchedule, kFaceChannels, kFaceWhiteSchedule,
                                       kFaceHttpSchedule};

bool own_schedule_kind(int kind)
{
    return kind == kScheduleEffective || kind == kScheduleAudible || kind == kScheduleEmail ||
           kind == kSchedulePtz;
}

int read_family_schedule(const char *db, const ScheduleFamily &family, int kind, schedule_record *schedule,
                         int owner)
{
    if (!in_range(owner, family.owners)) {
        memset(schedule, 0, sizeof *schedule);
        return -1;
    }
    if (kind == kScheduleWhite)
        return read_whiteled_effective_schedule(db, schedule, family.white_table, owner);
    if (kind == kScheduleHttp)
        return read_http_notification_schedule(db, schedule, family.http_table, owner);
    if (!own_schedule_kind(kind)) {
        memset(schedule, 0, sizeof *schedule);
        return -1;
    }
    return confdb_read_record(db, family.record_kind, schedule_id(kind, owner), schedule, sizeof *schedule) <
                   0
               ? -1
               : 0;
}

int write_family_schedule(const char *db, const ScheduleFamily &family, int kind,
                          const schedule_record *schedule, int owner)
{
    if (!in_range(owner, family.owners))
        return -1;
    if (kind == kScheduleWhite)
        return write_whiteled_effective_schedule(db, schedule, family.white_table, owner);
    if (kind == kScheduleHttp)
        return write_http_notification_schedule(db, schedule, family.http_table, owner);
    if (!own_schedule_kind(kind))
        return -1;
    return confdb_write_record(db, family.record_kind, schedule_id(kind, owner), schedule, sizeof *schedule);
}

} // namespace

int read_peoplecnt_settings(const char *db, peoplecnt_group groups[kPeopleCntGroups])
{
    return read_table(db, kRecPeopleCntGroup, groups, kPeopleCntGroups);
}

int write_peoplecnt_settings(const char *db, const peoplecnt_group groups[kPeopleCntGroups])
{
    return write_table(db, kRecPeopleCntGroup, groups, kPeopleCntGroups);
}

int read_peoplecnt_event(const char *db, peoplecnt_event *record, int group)
{
    return read_owned(db, kRecPeopleCntEvent, group, kPeopleCntGroups, record);
}

int write_peoplecnt_event(const char *db, const peoplecnt_event *record)
{
    return write_owned(db, kRecPeopleCntEvent, kPeopleCntGroups, record);
}

int read_peoplecnt_schedule(const char *db, int kind, schedule_record *schedule, int group)
{
    return read_family_schedule(db, kGroupSchedules, kind, schedule, group);
}

int write_peoplecnt_schedule(const char *db, int kind, const schedule_record *schedule, int group)
{
    return write_family_schedule(db, kGroupSchedules, kind, schedule, group);
}

int read_pos_settings(const char *db, pos_setting list[kPosSources])
{
    return read_table(db, kRecPos, list, kPosSources);
}

int read_pos_setting(const char *db, pos_setting *record, int id)
{
    return read_owned(db, kRecPos, id, kPosSources, record);
}

int write_pos_setting(const char *db, const pos_setting *record)
{
    return write_owned(db, kRecPos, kPosSources, record);
}

int read_pos_event(const char *db, pos_event *record, int id)
{
    return read_owned(db, kRecPosEvent, id, kPosSources, record);
}

int write_pos_event(const char *db, const pos_event *record)
{
    return write_owned(db, kRecPosEvent, kPosSources, record);
}

int read_pos_schedule(const char *db, int kind, schedule_record *schedule, int id)
{
    return read_family_schedule(db, kPosSchedules, kind, schedule, id);
}

int write_pos_schedule(const char *db, int kind, const schedule_record *schedule, int id)
{
    return write_family_schedule(db, kPosSchedules, kind, schedule, id);
}

int read_peoplecnt_auto_backup(const char *db, report_backup list[kReportKinds])
{
    for (int id = 0; id < kReportKinds; ++id)
        if (read_one(db, kRecPeopleCntBackup, id, kReportKinds, &list[id], sizeof list[id]) != 0)
            return -1;
    return 0;
}

int write_peoplecnt_auto_backup(const char *db, const report_backup list[kReportKinds])
{
    return write_table(db, kRecPeopleCntBackup, list, kReportKinds);
}

int read_face_event(const char *db, pos_event *record, int chnid)
{
    return read_owned(db, kRecFaceEvent, chnid, kFaceChannels, record);
}

int write_face_event(const char *db, const pos_event *record)
{
    return write_owned(db, kRecFaceEvent, kFaceChannels, record);
}

int read_face_schedule(const char *db, int kind, schedule_record *schedule, int chnid)
{
    return read_family_schedule(db, kFaceSchedules, kind, schedule, chnid);
}

int write_face_schedule(const char *db, int kind, const schedule_record *schedule, int chnid)
{
    return write_family_schedule(db, kFaceSchedules, kind, schedule, chnid);
}
