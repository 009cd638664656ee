// The recorder-side actions of one event that keeps the smart event record
// layout: the record, its four schedules (effective, audible, mail, PTZ)
// under one id, and the event's action tables. Smart analytics events and
// the plate list modes store their dialogs and pages through it.
#pragma once

#include <json-c/json.h>

#include <cstdint>

#include "codecs/event_actions.h"
#include "codecs/wire_fields.h"
#include "modules/video/vca_records.h"

enum EventStoreSchedule { kStoreEffective, kStoreAudible, kStoreMail, kStorePtz, kStoreSchedules };

struct EventActionStore {
    int record_kind;
    int schedule_kinds[kStoreSchedules];
    int id;
    EventActionTables tables;
};

// What one save takes from its request.
struct EventStoreSave {
    const WireLayout *fields; // record keys; "triChannels" is always taken (its mask rebuilt)
    bool effective;           // the effective schedule
    bool with_http;           // "httpSche" and "httpParams"
    bool with_ptz;            // "ptzChnId", "ptzType" and "ptzParams"
    const int32_t *enable;    // replaces the record's enable when set
};

// Runs of the record's keys: the head of its answers ("chnid" to
// "tri_channels_pic"; the body is the head without "chnid"), the action intervals ("ptz_interval",
// "alarmout_interval", "white_interval"), what a schedule page sets
// ("enable" to "white_interval" and "audioId") and what every event dialog
// sets ("triAlarms" to "white_interval", "audioId" and
// "http_notification_interval").
extern const WireLayout kEventRecordHead;
extern const WireLayout kEventRecordBody;
extern const WireLayout kEventIntervals;
extern const WireLayout kEventPageFields;
extern const WireLayout kEventDialogFields;

// Stores the schedules, action tables and record fields that `request`
// holds for channel `chnid` (the record is written only when something of
// it changed). The number of changes (record written plus PTZ list
// stored), or -1 when a read or write failed.
int event_store_save(json_object *request, const EventActionStore &store, int chnid,
                     const EventStoreSave &how);
// Adds "effective", "audible", "email" and "ptz" from the store, in that
// order, in the schedule output form.
void event_store_add_schedules(json_object *reply, const EventActionStore &store);
// Stores `text` (cut to fit) and rebuilds the 32-bit trigger mask from it.
void event_set_tri_channels(smart_event_record *record, const char *text);
