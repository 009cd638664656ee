// Event action codecs and the shared reply assembly and save.
#include "codecs/event_actions.h"

#include <cstdio>
#include <cstring>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/schedule.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kSmartEvents = 9;
constexpr int kSmartPtzTypeFirst = 5;

// Copies `text` into a field of `size` bytes, cut and terminated.
void copy_cut(char *field, size_t size, const char *text)
{
    snprintf(field, size, "%s", text != nullptr ? text : "");
}

// The white LED entry of element `item`, by keys or as [chnid, mode, time].
void decode_white_entry(json_object *item, bool by_keys, whiteled_params *entry)
{
    if (by_keys) {
        entry->chnid = json_member_int(item, "chnid");
        entry->mode = json_member_int(item, "mode");
        entry->time = json_member_int(item, "time");
        return;
    }
    int32_t *values[] = {&entry->chnid, &entry->mode, &entry->time};
    for (size_t index = 0; index < 3; ++index) {
        int value = 0;
        json_value_int(json_array_item(item, index), &value);
        *values[index] = value;
    }
}

// Fills up to kWhiteLedMax entries of `row` from the array under `key`.
int decode_white_row(int owner, whiteled_params *row, json_object *request, const char *key)
{
    json_object *array = json_value_array(json_get_member(request, key));
    if (row == nullptr || array == nullptr)
        return -1;
    const bool by_keys = strstr(json_object_to_json_string(array), "chnid") != nullptr;
    const size_t count = json_array_size(array);
    for (size_t index = 0; index < count && index < static_cast<size_t>(kWhiteLedMax); ++index) {
        json_object *item = json_array_item(array, index);
        if (item == nullptr)
            break;
        row[index] = whiteled_params{};
        row[index].owner = owner;
        decode_white_entry(item, by_keys, &row[index]);
    }
    return 0;
}

json_object *white_row_json(const whiteled_params *row, int count)
{
    json_object *array = json_object_new_array();
    for (int index = 0; index < count && index < kWhiteLedMax; ++index) {
        json_object *entry = json_object_new_object();
        json_add_int(entry, "chnid", row[index].chnid);
        json_add_int(entry, "mode", row[index].mode);
        json_add_int(entry, "time", row[index].time);
        json_object_array_add(array, entry);
    }
    return array;
}

json_object *schedule_json(int (*read)(const char *, schedule_record *, const char *, int), const char *table,
                           int chnid)
{
    static schedule_record schedule;
    read(ZQDB_PATH, &schedule, table, chnid);
    return get_schedule_json_object(&schedule);
}

// 1 when the schedule under `key` was stored, 0 when absent, -1 on a failed write.
int save_schedule(json_object *request, const char *key,
                  int (*write)(const char *, const schedule_record *, const char *, int), const char *table,
                  int chnid)
{
    static schedule_record schedule;
    if (get_schedule_by_json(request, key, &schedule) != 0)
        return 0;
    return write(ZQDB_PATH, &schedule, table, chnid) == 0 ? 1 : -1;
}

} // namespace

json_object *get_event_chn_alarmout_object(const char *text0, const char *text1)
{
    json_object *array = json_object_new_array();
    json_object_array_add(array, json_object_new_string(text0 != nullptr ? text0 : ""));
    json_object_array_add(array, json_object_new_string(text1 != nullptr ? text1 : ""));
    return array;
}

int get_event_chn_alarmout_by_object(int chnid, json_object *request, const char *key,
                                     event_chn_alarmout records[2])
{
    json_object *array = json_value_array(json_get_member(request, key));
    if (records == nullptr || array == nullptr)
        return -1;
    for (size_t index = 0; index < 2; ++index) {
        const char *text = json_value_text(json_array_item(array, index));
        if (text == nullptr)
            continue;
        records[index].chnid = chnid;
        records[index].id = static_cast<int32_t>(index);
        copy_cut(records[index].text, sizeof records[index].text, text);
    }
    return 0;
}

json_object *get_white_params_json_object(int chnid, const char *table)
{
    whiteled_params row[kWhiteLedMax] = {};
    int count = 0;
    read_whiteled_params(ZQDB_PATH, row, table, chnid, &count);
    return white_row_json(row, count);
}

int get_white_params_by_json(int chnid, whiteled_params *row, json_object *request, const char *key)
{
    if (row == nullptr || json_value_array(json_get_member(request, key)) == nullptr)
        return -1;
    memset(row, 0, sizeof(whiteled_params) * kWhiteLedMax);
    return decode_white_row(chnid, row, request, key);
}

json_object *get_pcnt_white_params_json_object(int owner)
{
    whiteled_params row[kWhiteLedMax] = {};
    int count = 0;
    read_peoplecnt_wled_params(ZQDB_PATH, row, owner, &count);
    return white_row_json(row, count);
}

// The row is cleared as well: entries of a longer list read before must
// not be stored again after the new ones.
int get_pcnt_white_params_by_json(int owner, whiteled_params *row, json_object *request, const char *key)
{
    return get_white_params_by_json(owner, row, request, key);
}

json_object *get_http_params_json_object(int chnid, const char *table)
{
    http_notification_params record{};
    read_http_notification_params(ZQDB_PATH, &record, table, chnid);
    json_object *object = json_object_new_object();
    json_add_int(object, "chnId", chnid);
    json_add_string(object, "url", record.url);
    json_add_string(object, "username", record.username);
    json_add_string(object, "password", record.password);
    return object;
}

int get_http_params_by_json(int chnid, http_notification_params *record, json_object *request,
                            const char *key)
{
    json_object *object = json_get_member(request, key);
    if (record == nullptr || !json_object_is_type(object, json_type_object))
        return -1;
    *record = http_notification_params{};
    record->id = chnid;
    copy_cut(record->url, sizeof record->url, json_value_text(json_get_member(object, "url")));
    copy_cut(record->username, sizeof record->username, json_value_text(json_get_member(object, "username")));
    copy_cut(record->password, sizeof record->password, json_value_text(json_get_member(object, "password")));
    return 0;
}

json_object *get_ptz_params_json_object(int type, int owner)
{
    ptz_params list[kPtzActionMax] = {};
    int count = 0;
    int capacity = kPtzActionMax;
    if (type == kPtzTypePeopleCnt) {
        read_peoplecnt_ptz_params(ZQDB_PATH, list, owner, &count);
        capacity = kPeopleCntPtzMax;
    } else {
        read_ptz_params(ZQDB_PATH, list, type, owner, &count);
    }
    json_object *array = json_object_new_array();
    for (int index = 0; index < count && index < capacity; ++index) {
        if (list[index].acto_ptz_channel <= 0)
            continue;
        json_object *entry = json_object_new_object();
        json_add_int(entry, "acto_ptz_channel", list[index].acto_ptz_channel);
        json_add_int(entry, "acto_ptz_type", list[index].acto_ptz_type);
        json_add_int(entry, "acto_ptz_preset", list[index].acto_ptz_preset);
        json_add_int(entry, "acto_ptz_patrol", list[index].acto_ptz_patrol);
        json_object_array_add(array, entry);
    }
    return array;
}

int get_ptz_params_by_json(int owner, int /*type*/, json_object *array, ptz_params *list)
{
    if (list == nullptr || json_value_array(array) == nullptr || static_cast<unsigned>(owner) > kPtzOwnerMax)
        return -1;
    ptz_params decoded[kPtzActionMax] = {};
    const size_t count = json_array_size(array);
    for (size_t index = 0; index < count && index < static_cast<size_t>(kPtzActionMax); ++index) {
        json_object *item = json_array_item(array, index);
        ptz_params &entry = decoded[index];
        entry.chn_id = owner;
        entry.acto_ptz_channel = json_member_int(item, "acto_ptz_channel");
        entry.acto_ptz_type = json_member_int(item, "acto_ptz_type");
        entry.acto_ptz_preset = json_member_int(item, "acto_ptz_preset");
        entry.acto_ptz_patrol = json_member_int(item, "acto_ptz_patrol");
        entry.acto_ptz_pattern = json_member_int(item, "acto_ptz_pattern");
    }
    memcpy(list, decoded, sizeof decoded);
    return 0;
}

int set_ptz_params_by_json(int owner, int type, json_object *array)
{
    if (array == nullptr)
        return 0;
    ptz_params list[kPtzActionMax] = {};
    if (get_ptz_params_by_json(owner, type, array, list) != 0)
        return 0;
    const int written = type == kPtzTypePeopleCnt ? write_peoplecnt_ptz_params_ex(ZQDB_PATH, list, owner)
                                                  : write_ptz_params_all(ZQDB_PATH, list, type, owner);
    return written == 0 ? 1 : 0;
}

int get_audio_file_id_mask()
{
    alarm_audio_file table[kAlarmAudioFiles] = {};
    read_alarm_audio_file(ZQDB_PATH, table);
    int mask = 0;
    for (int index = 0; index < kAlarmAudioFiles; ++index)
        if (table[index].present == 1)
            mask |= 1 << index;
    return mask;
}

json_object *get_whiteled_schedule_json_object(int chnid, const char *table)
{
    return schedule_json(read_whiteled_effective_schedule, table, chnid);
}

json_object *get_http_schedule_json_object(int chnid, const char *table)
{
    return schedule_json(read_http_notification_schedule, table, chnid);
}

int get_smart_event_ptz_type(int index)
{
    return index >= 0 && index < kSmartEvents ? kSmartPtzTypeFirst + index : -1;
}

void event_actions_add_reply(json_object *reply, const EventActionTables &tables, int chnid,
                             const EventActionFields &fields)
{
    json_object_object_add(reply, "triChnAlarms",
                           get_event_chn_alarmout_object(fields.alarmout_text0, fields.alarmout_text1));
    json_object_object_add(reply, "white",
                           get_whiteled_schedule_json_object(chnid, tables.white_led_schedule));
    json_object_object_add(reply, "whiteInfo", get_white_params_json_object(chnid, tables.white_led_params));
    if (fields.white_interval != nullptr)
        json_add_int(reply, "white_interval", *fields.white_interval);
    if (tables.http_schedule != nullptr)
        json_object_object_add(reply, "httpSche", get_http_schedule_json_object(chnid, tables.http_schedule));
    if (tables.http_params != nullptr)
        json_object_object_add(reply, "httpParams", get_http_params_json_object(chnid, tables.http_params));
    json_add_int(reply, "audioId", fields.audio_id);
    json_add_int(reply, "audioIdMask", get_audio_file_id_mask());
    json_object_object_add(reply, "ptzParams", get_ptz_params_json_object(tables.ptz_type, chnid));
}

int event_actions_save(json_object *request, const EventActionTables &tables, int chnid,
                       const EventActionFields &fields, bool with_http)
{
    bool failed = save_schedule(request, "white", write_whiteled_effective_schedule,
                                tables.white_led_schedule, chnid) < 0;
    whiteled_params row[kWhiteLedMax];
    if (get_white_params_by_json(chnid, row, request, "whiteInfo") == 0)
        failed |= write_whiteled_params_all(ZQDB_PATH, row, tables.white_led_params, chnid) != 0;
    if (with_http) {
        failed |= save_schedule(request, "httpSche", write_http_notification_schedule, tables.http_schedule,
                                chnid) < 0;
        http_notification_params http;
        if (get_http_params_by_json(chnid, &http, request, "httpParams") == 0)
            failed |= write_http_notification_params(ZQDB_PATH, &http, tables.http_params) != 0;
    }
    if (failed)
        return -1;
    event_chn_alarmout alarmouts[2] = {};
    copy_cut(alarmouts[0].text, sizeof alarmouts[0].text, fields.alarmout_text0);
    copy_cut(alarmouts[1].text, sizeof alarmouts[1].text, fields.alarmout_text1);
    if (get_event_chn_alarmout_by_object(chnid, request, "triChnAlarms", alarmouts) != 0)
        return 0;
    fill_field_text(fields.alarmout_text0, kChnAlarmoutTextSize, alarmouts[0].text);
    fill_field_text(fields.alarmout_text1, kChnAlarmoutTextSize, alarmouts[1].text);
    return 1;
}

int event_actions_save_ptz(json_object *request)
{
    int owner = 0;
    int type = 0;
    json_value_int(json_get_member(request, "ptzChnId"), &owner);
    json_value_int(json_get_member(request, "ptzType"), &type);
    return set_ptz_params_by_json(owner, type, json_value_array(json_get_member(request, "ptzParams")));
}

int save_event_schedules(json_object *request, const EventScheduleKey *keys, size_t count,
                         EventScheduleWriter write, int owner)
{
    static schedule_record schedule;
    for (size_t index = 0; index < count; ++index)
        if (get_schedule_by_json(request, keys[index].key, &schedule) == 0 &&
            write(ZQDB_PATH, keys[index].kind, &schedule, owner) != 0)
            return -1;
    return 0;
}

bool event_set_ints(json_object *request, const EventIntKey *keys, size_t count)
{
    bool changed = false;
    for (size_t index = 0; index < count; ++index) {
        int value = 0;
        if (keys[index].field != nullptr &&
            json_value_int(json_get_member(request, keys[index].key), &value)) {
            *keys[index].field = value;
            changed = true;
        }
    }
    return changed;
}

bool event_set_text(json_object *request, const char *key, char *field, size_t size)
{
    const char *text = json_value_text(json_get_member(request, key));
    if (text == nullptr)
        return false;
    fill_field_text(field, size, text);
    return true;
}

int copy_event_action_tables(const EventActionTables &tables, int owner, uint64_t mask)
{
    const bool failed =
        copy_whiteled_effective_schedules(ZQDB_PATH, tables.white_led_schedule, owner, mask) != 0 ||
        copy_http_notification_schedules(ZQDB_PATH, tables.http_schedule, owner, mask) != 0 ||
        copy_whiteled_params(ZQDB_PATH, tables.white_led_params, owner, mask) != 0 ||
        copy_http_notification_params(ZQDB_PATH, tables.http_params, owner, mask) != 0 ||
        copy_ptz_params_all(ZQDB_PATH, tables.ptz_type, owner, mask) != 0;
    return failed ? -1 : 0;
}
