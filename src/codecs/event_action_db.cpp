// Typed access to the event action records of the configuration database.
#include "codecs/event_action_db.h"

#include <cstdio>
#include <cstring>

#include "codecs/keyed_copy.h"
#include "platform/confdb/confdb.h"

namespace {

// Stored in record ids: append new names, never reorder.
const char *const kEventTables[] = {
    "motion_white_led_params",
    "motion_whiteled_esche",
    "motion_http_notification_sche",
    "motion_http_notification_params",
    "video_loss_white_led_params",
    "videoloss_whiteled_esche",
    "videoloss_http_notification_sche",
    "videoloss_http_notification_params",
    "alarm_in_white_led_params",
    "alarmin_whiteled_esche",
    "alarmin_http_notification_sche",
    "alarmin_http_notification_params",
    "lpr_black_white_led_params",
    "lpr_black_whiteled_esche",
    "lpr_black_mode_http_notification_sche",
    "lpr_black_mode_http_notification_params",
    "lpr_white_white_led_params",
    "lpr_white_whiteled_esche",
    "lpr_white_mode_http_notification_sche",
    "lpr_white_mode_http_notification_params",
    "lpr_vistor_white_led_params",
    "lpr_vistor_whiteled_esche",
    "lpr_visitor_mode_http_notification_sche",
    "lpr_visitor_mode_http_notification_params",
    "regional_pcnt_whiteled_params",
    "regional_pcnt1_whiteled_params",
    "regional_pcnt2_whiteled_params",
    "regional_pcnt3_whiteled_params",
    "regional_pcnt_http_notification_params",
    "regional_pcnt1_http_notification_params",
    "regional_pcnt2_http_notification_params",
    "regional_pcnt3_http_notification_params",
    "people_cnt_http_notification_sche",
    "people_cnt_http_notification_params",
    "pos_whiteled_params",
    "pos_http_notification_sche",
    "pos_http_notification_params",
    "face_whiteled_params",
    "face_http_notification_sche",
    "face_http_notification_params",
    "except_http_notification_params",
    "people_cnt_white_led_params", // the people-counting white LED calls
    // Camera alarm inputs 0 to 3.
    "alarm_chnIn0_white_led_params",
    "alarm_chnIn0_whiteled_esche",
    "alarm_chnIn0_http_notification_sche",
    "alarm_chnIn0_http_notification_params",
    "alarm_chnIn1_white_led_params",
    "alarm_chnIn1_whiteled_esche",
    "alarm_chnIn1_http_notification_sche",
    "alarm_chnIn1_http_notification_params",
    "alarm_chnIn2_white_led_params",
    "alarm_chnIn2_whiteled_esche",
    "alarm_chnIn2_http_notification_sche",
    "alarm_chnIn2_http_notification_params",
    "alarm_chnIn3_white_led_params",
    "alarm_chnIn3_whiteled_esche",
    "alarm_chnIn3_http_notification_sche",
    "alarm_chnIn3_http_notification_params",
    // Smart events 0..8, four tables each in the order of kVcaTableKinds.
    "vca_region_entrance_white_led_params",
    "vca_region_entrance_whiteled_esche",
    "vca_region_entrance_http_notification_sche",
    "vca_region_entrance_http_notification_params",
    "vca_region_exit_white_led_params",
    "vca_region_exit_whiteled_esche",
    "vca_region_exit_http_notification_sche",
    "vca_region_exit_http_notification_params",
    "vca_advanced_motion_white_led_params",
    "vca_advanced_motion_whiteled_esche",
    "vca_advanced_motion_http_notification_sche",
    "vca_advanced_motion_http_notification_params",
    "vca_tamper_white_led_params",
    "vca_tamper_whiteled_esche",
    "vca_tamper_http_notification_sche",
    "vca_tamper_http_notification_params",
    "vca_line_crossing_white_led_params",
    "vca_line_crossing_whiteled_esche",
    "vca_line_crossing_http_notification_sche",
    "vca_line_crossing_http_notification_params",
    "vca_loitering_white_led_params",
    "vca_loitering_whiteled_esche",
    "vca_loitering_http_notification_sche",
    "vca_loitering_http_notification_params",
    "vca_human_white_led_params",
    "vca_human_whiteled_esche",
    "vca_human_http_notification_sche",
    "vca_human_http_notification_params",
    "vca_people_count_white_led_params",
    "vca_people_count_whiteled_esche",
    "vca_people_count_http_notification_sche",
    "vca_people_count_http_notification_params",
    "vca_left_remove_white_led_params",
    "vca_left_remove_whiteled_esche",
    "vca_left_remove_http_notification_sche",
    "vca_left_remove_http_notification_params",
    // The white LED schedules of people counting, POS and face detection.
    "people_cnt_whiteled_esche",
    "pos_whiteled_esche",
    "face_whiteled_esche",
};

constexpr int kVcaFirstSlot = 58;
constexpr int kVcaTableKinds = 4; // white LED row, white LED schedule, HTTP schedule, HTTP parameters
constexpr int kVcaEvents = 9;
static_assert(kVcaFirstSlot + kVcaTableKinds * kVcaEvents <= sizeof kEventTables / sizeof kEventTables[0]);

constexpr int kOwnerLimit = 256;
constexpr int kChannels = 64;
constexpr const char *kPeopleCntWhiteLed = "people_cnt_white_led_params";

// The record id of (table, owner); -1 when either is out of range.
int table_record_id(const char *table, int owner)
{
    const int slot = event_table_slot(table);
    if (slot < 0 || owner < 0 || owner >= kOwnerLimit)
        return -1;
    return slot * kOwnerLimit + owner;
}

int ptz_record_id(int type, int owner)
{
    if (type < 0 || type >= kOwnerLimit || owner < 0 || owner >= kOwnerLimit)
        return -1;
    return type * kOwnerLimit + owner;
}

int read_keyed(const char *db, int kind, int id, void *record, size_t size)
{
    memset(record, 0, size);
    if (id < 0)
        return -1;
    return confdb_read_record(db, kind, id, record, size) < 0 ? -1 : 0;
}

int write_keyed(const char *db, int kind, int id, const void *record, size_t size)
{
    return id < 0 ? -1 : confdb_write_record(db, kind, id, record, size);
}

// Copies the record of `source` of a table to the masked channels.
template <typename Record, typename Adopt = void (*)(Record *, int)>
int copy_to_mask(const char *db, int kind, int from_id, int source, uint64_t mask,
                 Adopt adopt = keep_as_is<Record>)
{
    return copy_keyed_record<Record>(db, kind, from_id, source, mask, kChannels, adopt);
}

struct WhiteLedRow {
    whiteled_params entries[kWhiteLedMax];
};

struct PtzList {
    ptz_params entries[kPtzActionMax];
};

int whiteled_count(const WhiteLedRow &row)
{
    static const whiteled_params kEmpty{};
    int count = 0;
    for (int index = 0; index < kWhiteLedMax; ++index)
        if (memcmp(&row.entries[index], &kEmpty, sizeof kEmpty) != 0)
            count = index + 1;
    return count;
}

int read_whiteled_row(const char *db, whiteled_params *row, int id, int *count)
{
    WhiteLedRow stored;
    const int result = read_keyed(db, kRecWhiteLedParams, id, &stored, sizeof stored);
    memcpy(row, stored.entries, sizeof stored.entries);
    if (count != nullptr)
        *count = whiteled_count(stored);
    return result;
}

int read_ptz_list(const char *db, ptz_params *list, int capacity, int type, int owner, int *count)
{
    PtzList stored;
    const int result = read_keyed(db, kRecPtzActions, ptz_record_id(type, owner), &stored, sizeof stored);
    memcpy(list, stored.entries, sizeof(ptz_params) * capacity);
    if (count != nullptr)
        *count = result == 0 ? capacity : 0;
    return result;
}

int write_ptz_list(const char *db, const ptz_params *list, int capacity, int type, int owner)
{
    PtzList stored{};
    memcpy(stored.entries, list, sizeof(ptz_params) * capacity);
    return write_keyed(db, kRecPtzActions, ptz_record_id(type, owner), &stored, sizeof stored);
}

int ptz_capacity(int type) { return type == kPtzTypePeopleCnt ? kPeopleCntPtzMax : kPtzActionMax; }

// The entry of camera `camera` in `list`, or -1.
int find_ptz_camera(const PtzList &list, int capacity, int camera)
{
    for (int index = 0; index < capacity; ++index)
        if (list.entries[index].acto_ptz_channel > 0 && list.entries[index].acto_ptz_channel == camera)
            return index;
    return -1;
}

int find_ptz_free(const PtzList &list, int capacity)
{
    for (int index = 0; index < capacity; ++index)
        if (list.entries[index].acto_ptz_channel <= 0)
            return index;
    return -1;
}

} // namespace

int event_table_slot(const char *table)
{
    if (table == nullptr)
        return -1;
    for (size_t slot = 0; slot < sizeof kEventTables / sizeof kEventTables[0]; ++slot)
        if (strcmp(kEventTables[slot], table) == 0)
            return static_cast<int>(slot);
    return -1;
}

namespace {

// The table of smart event `index`, `kind` being its place among the four.
int vca_table_name(int kind, int index, char *buffer, int size)
{
    if (buffer == nullptr || size <= 0 || index < 0 || index >= kVcaEvents)
        return -1;
    const char *name = kEventTables[kVcaFirstSlot + index * kVcaTableKinds + kind];
    return snprintf(buffer, static_cast<size_t>(size), "%s", name) < size ? 0 : -1;
}

} // namespace

int get_vca_white_table_name(int which, int index, char *buffer, int size)
{
    return which == 0 || which == 1 ? vca_table_name(which == 0 ? 1 : 0, index, buffer, size) : -1;
}

int get_vca_http_table_name(int which, int index, char *buffer, int size)
{
    return which == 0 || which == 1 ? vca_table_name(which == 0 ? 2 : 3, index, buffer, size) : -1;
}

int read_whiteled_params(const char *db, whiteled_params *row, const char *table, int chnid, int *count)
{
    return read_whiteled_row(db, row, table_record_id(table, chnid), count);
}

int write_whiteled_params_all(const char *db, const whiteled_params *row, const char *table, int chnid)
{
    WhiteLedRow stored;
    memcpy(stored.entries, row, sizeof stored.entries);
    return write_keyed(db, kRecWhiteLedParams, table_record_id(table, chnid), &stored, sizeof stored);
}

int copy_whiteled_params(const char *db, const char *table, int chnid, uint64_t mask)
{
    return copy_to_mask<WhiteLedRow>(
        db, kRecWhiteLedParams, table_record_id(table, chnid), chnid, mask, [](WhiteLedRow *row, int target) {
            for (whiteled_params &entry : row->entries)
                if (entry.owner != 0 || entry.chnid != 0 || entry.mode != 0 || entry.time != 0)
                    entry.owner = target;
        });
}

int read_peoplecnt_wled_params(const char *db, whiteled_params *row, int owner, int *count)
{
    return read_whiteled_params(db, row, kPeopleCntWhiteLed, owner, count);
}

int write_peoplecnt_wled_params(const char *db, const whiteled_params *row, int owner)
{
    return write_whiteled_params_all(db, row, kPeopleCntWhiteLed, owner);
}

int read_whiteled_effective_schedule(const char *db, schedule_record *schedule, const char *table, int chnid)
{
    return read_keyed(db, kRecWhiteLedSchedule, table_record_id(table, chnid), schedule, sizeof *schedule);
}

int write_whiteled_effective_schedule(const char *db, const schedule_record *schedule, const char *table,
                                      int chnid)
{
    return write_keyed(db, kRecWhiteLedSchedule, table_record_id(table, chnid), schedule, sizeof *schedule);
}

int copy_whiteled_effective_schedules(const char *db, const char *table, int chnid, uint64_t mask)
{
    return copy_to_mask<schedule_record>(db, kRecWhiteLedSchedule, table_record_id(table, chnid), chnid,
                                         mask);
}

int read_http_notification_schedule(const char *db, schedule_record *schedule, const char *table, int chnid)
{
    return read_keyed(db, kRecHttpSchedule, table_record_id(table, chnid), schedule, sizeof *schedule);
}

int write_http_notification_schedule(const char *db, const schedule_record *schedule, const char *table,
                                     int chnid)
{
    return write_keyed(db, kRecHttpSchedule, table_record_id(table, chnid), schedule, sizeof *schedule);
}

int copy_http_notification_schedules(const char *db, const char *table, int chnid, uint64_t mask)
{
    return copy_to_mask<schedule_record>(db, kRecHttpSchedule, table_record_id(table, chnid), chnid, mask);
}

int read_http_notification_params(const char *db, http_notification_params *record, const char *table,
                                  int chnid)
{
    return read_keyed(db, kRecHttpParams, table_record_id(table, chnid), record, sizeof *record);
}

int write_http_notification_params(const char *db, const http_notification_params *record, const char *table)
{
    return write_keyed(db, kRecHttpParams, table_record_id(table, record->id), record, sizeof *record);
}

int copy_http_notification_params(const char *db, const char *table, int chnid, uint64_t mask)
{
    return copy_to_mask<http_notification_params>(
        db, kRecHttpParams, table_record_id(table, chnid), chnid, mask,
        [](http_notification_params *record, int target) { record->id = target; });
}

int read_http_notification_params_init(const char *db, const char *table, http_notification_params *list,
                                       int count)
{
    for (int owner = 0; owner < count; ++owner)
        if (read_keyed(db, kRecHttpParams, table_record_id(table, owner), &list[owner], sizeof list[owner]) !=
            0)
            return -1;
    return 0;
}

int write_http_notification_params_batch(const char *db, const http_notification_params *list,
                                         const char *table, int count)
{
    for (int owner = 0; owner < count; ++owner)
        if (write_keyed(db, kRecHttpParams, table_record_id(table, owner), &list[owner],
                        sizeof list[owner]) != 0)
            return -1;
    return 0;
}

int read_ptz_params(const char *db, ptz_params *list, int type, int owner, int *count)
{
    return read_ptz_list(db, list, kPtzActionMax, type, owner, count);
}

int write_ptz_params_all(const char *db, const ptz_params *list, int type, int owner)
{
    return write_ptz_list(db, list, kPtzActionMax, type, owner);
}

int copy_ptz_params_all(const char *db, int type, int owner, uint64_t mask)
{
    return copy_to_mask<PtzList>(db, kRecPtzActions, ptz_record_id(type, owner), owner, mask,
                                 [](PtzList *list, int target) {
                                     for (ptz_params &entry : list->entries)
                                         if (entry.acto_ptz_channel > 0)
                                             entry.chn_id = target;
                                 });
}

int read_peoplecnt_ptz_params(const char *db, ptz_params *list, int owner, int *count)
{
    return read_ptz_list(db, list, kPeopleCntPtzMax, kPtzTypePeopleCnt, owner, count);
}

int write_peoplecnt_ptz_params_ex(const char *db, const ptz_params *list, int owner)
{
    return write_ptz_list(db, list, kPeopleCntPtzMax, kPtzTypePeopleCnt, owner);
}

int write_ptz_params(const char *db, const ptz_params *entry, int type)
{
    return update_ptz_params(db, entry, type, entry->acto_ptz_channel);
}

int delete_ptz_params(const char *db, const ptz_params *entry, int type)
{
    const int id = ptz_record_id(type, entry->chn_id);
    PtzList list;
    if (read_keyed(db, kRecPtzActions, id, &list, sizeof list) != 0)
        return -1;
    const int capacity = ptz_capacity(type);
    const int index = find_ptz_camera(list, capacity, entry->acto_ptz_channel);
    if (index < 0)
        return 0;
    list.entries[index] = ptz_params{};
    return write_keyed(db, kRecPtzActions, id, &list, sizeof list);
}

// The entry replaces the one of camera `old_camera` of its owner, else the
// one of its own camera, else takes the first free place; -1 when the list
// is full.
int update_ptz_params(const char *db, const ptz_params *entry, int type, int old_camera)
{
    const int id = ptz_record_id(type, entry->chn_id);
    PtzList list;
    if (entry->acto_ptz_channel <= 0 || read_keyed(db, kRecPtzActions, id, &list, sizeof list) != 0)
        return -1;
    const int capacity = ptz_capacity(type);
    int index = find_ptz_camera(list, capacity, old_camera);
    if (index < 0)
        index = find_ptz_camera(list, capacity, entry->acto_ptz_channel);
    if (index < 0)
        index = find_ptz_free(list, capacity);
    if (index < 0)
        return -1;
    list.entries[index] = *entry;
    list.entries[index].reserved = 0;
    return write_keyed(db, kRecPtzActions, id, &list, sizeof list);
}

int read_alarm_audio_file(const char *db, alarm_audio_file *table)
{
    return read_keyed(db, kRecAlarmAudioFiles, 0, table, sizeof(alarm_audio_file) * kAlarmAudioFiles);
}
