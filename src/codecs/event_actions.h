// Event action codecs: the actions every event kind can trigger (camera
// alarm outputs, white LED lights, HTTP notification, PTZ movement, alarm
// sound) between their database records and the browser's JSON, and the
// reply assembly and save order the event modules share.
//
// `_json_object` functions return a new value the caller owns (usually by
// adding it to its reply). `_by_json` decoders fill the caller's records and
// return 0, or -1 when the key or an argument is absent; values follow the
// rules of codecs/params.h (wrongly typed = absent, integers then 0, texts
// then empty).
#pragma once

#include <json-c/json.h>

#include <cstddef>
#include <cstdint>

#include "codecs/event_action_db.h"

json_object *get_event_chn_alarmout_object(const char *text0, const char *text1);
int get_event_chn_alarmout_by_object(int chnid, json_object *request, const char *key,
                                     event_chn_alarmout records[2]);

json_object *get_white_params_json_object(int chnid, const char *table);
int get_white_params_by_json(int chnid, whiteled_params *row, json_object *request, const char *key);
json_object *get_pcnt_white_params_json_object(int owner);
int get_pcnt_white_params_by_json(int owner, whiteled_params *row, json_object *request, const char *key);

json_object *get_http_params_json_object(int chnid, const char *table);
int get_http_params_by_json(int chnid, http_notification_params *record, json_object *request,
                            const char *key);

json_object *get_ptz_params_json_object(int type, int owner);
// -1 for a null list or array, or an owner outside 0..15.
int get_ptz_params_by_json(int owner, int type, json_object *array, ptz_params *list);
// 1 when a list was decoded and stored; 0 when the array is absent or the
// decoding or the write failed.
int set_ptz_params_by_json(int owner, int type, json_object *array);

int get_audio_file_id_mask();

// The white LED and HTTP notification schedules of `chnid` in a table, in
// the schedule output form.
json_object *get_whiteled_schedule_json_object(int chnid, const char *table);
json_object *get_http_schedule_json_object(int chnid, const char *table);

// PTZ action type of smart event `index` (0..8), else -1.
int get_smart_event_ptz_type(int index);

// The tables and keys of one event kind, for the shared assembly and save.
struct EventActionTables {
    const char *white_led_params;
    const char *white_led_schedule;
    const char *http_schedule;
    const char *http_params;
    int ptz_type;
};

// The action part of an event record, as the shared save sees it.
struct EventActionFields {
    char *alarmout_text0; // kChnAlarmoutTextSize bytes each
    char *alarmout_text1;
    int32_t audio_id;
    // Shown as "white_interval" after "whiteInfo" when set.
    const int32_t *white_interval;
};

// Adds "triChnAlarms", "white", "whiteInfo", "httpSche", "httpParams",
// "audioId", "audioIdMask" and "ptzParams" to `reply`, in that order; an
// HTTP table left null leaves its key out.
void event_actions_add_reply(json_object *reply, const EventActionTables &tables, int chnid,
                             const EventActionFields &fields);
// Stores the action keys of `request` that are present and decodable:
// "white", "whiteInfo", "httpSche" and "httpParams" to their tables
// ("httpSche"/"httpParams" only when `with_http`). "triChnAlarms" replaces
// the texts of `fields`. Returns the number of record changes (1 for the
// alarm-output texts) or -1 when a database write failed.
int event_actions_save(json_object *request, const EventActionTables &tables, int chnid,
                       const EventActionFields &fields, bool with_http);
// The PTZ part of a save: "ptzChnId", "ptzType" and "ptzParams" through
// set_ptz_params_by_json; 1 when a list was stored.
int event_actions_save_ptz(json_object *request);
// The white LED and HTTP schedules and lists and the PTZ list of `owner`
// in a table set onto every other masked owner; 0 or -1.
int copy_event_action_tables(const EventActionTables &tables, int owner, uint64_t mask);

// A schedule of an event dialog: its request key and the kind its
// writer stores it under.
struct EventScheduleKey {
    const char *key;
    int kind;
};
using EventScheduleWriter = int (*)(const char *db, int kind, const schedule_record *schedule, int owner);
// Stores each schedule the request holds under its key with `write`
// (kind, owner); 0, or -1 when a write failed.
int save_event_schedules(json_object *request, const EventScheduleKey *keys, size_t count,
                         EventScheduleWriter write, int owner);

// One integer field of an event record and the request key that sets it
// (a null field is skipped).
struct EventIntKey {
    const char *key;
    int32_t *field;
};
// Sets every field whose key `request` holds; true when any was set.
bool event_set_ints(json_object *request, const EventIntKey *keys, size_t count);
// Sets the text field (`size` bytes, cut to fit) when `request` holds `key`;
// true when it did.
bool event_set_text(json_object *request, const char *key, char *field, size_t size);

// Sets the trigger, interval, audio and picture fields every event dialog
// carries, on any record with members of these names; the HTTP interval
// only `with_http`. True when any was present.
template <typename Record>
bool event_set_action_fields(json_object *request, Record *record, bool with_http = true)
{
    const EventIntKey keys[] = {
        {"triAlarms", &record->tri_alarms},
        {"interval", &record->interval},
        {"audioId", &record->audio_id},
        {"email_interval", &record->email_interval},
        {"email_pic_enable", &record->email_pic_enable},
        {"ptz_interval", &record->ptz_interval},
        {"alarmout_interval", &record->alarmout_interval},
        {"white_interval", &record->white_interval},
        {"http_notification_interval", with_http ? &record->http_notification_interval : nullptr},
    };
    const bool changed = event_set_ints(request, keys, sizeof keys / sizeof keys[0]);
    return event_set_text(request, "tri_channels_pic", record->tri_channels_pic,
                          sizeof record->tri_channels_pic) ||
           changed;
}
