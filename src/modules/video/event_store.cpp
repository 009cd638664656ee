// Saving and reading the actions of an event kept in the smart event
// record layout.
#include "modules/video/event_store.h"

#include "codecs/channel_mask.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/schedule.h"
#include "platform/confdb/confdb.h"

namespace {

using Rec = smart_event_record;

// The record's keys in one table, ordered so that each layout below is a
// run of it: answers read the head in this order.
constexpr WireField kFieldList[] = {
    WIRE_INT("chnid", Rec, chnid),
    WIRE_INT("enable", Rec, enable),
    WIRE_INT("triAlarms", Rec, tri_alarms),
    WIRE_INT("interval", Rec, interval),
    WIRE_INT("email_interval", Rec, email_interval),
    WIRE_INT("email_pic_enable", Rec, email_pic_enable),
    WIRE_TEXT("tri_channels_pic", Rec, tri_channels_pic),
    WIRE_INT("ptz_interval", Rec, ptz_interval),
    WIRE_INT("alarmout_interval", Rec, alarmout_interval),
    WIRE_INT("white_interval", Rec, white_interval),
    WIRE_INT("audioId", Rec, audio_id),
    WIRE_INT("http_notification_interval", Rec, http_notification_interval),
};

constexpr WireLayout fields(size_t first, size_t count)
{
    return WireLayout{kFieldList + first, count, sizeof(Rec)};
}

constexpr const char *kScheduleKeys[kStoreSchedules] = {"effective", "audible", "email", "ptz"};

// 0, or -1 when a write failed.
int save_schedules(json_object *request, const EventActionStore &store, bool effective)
{
    static schedule_record schedule;
    for (int slot = 0; slot < kStoreSchedules; ++slot) {
        if ((slot == kStoreEffective && !effective) || store.schedule_kinds[slot] == 0)
            continue;
        if (get_schedule_by_json(request, kScheduleKeys[slot], &schedule) == 0 &&
            confdb_write_record(ZQDB_PATH, store.schedule_kinds[slot], store.id, &schedule,
                                sizeof schedule) != 0)
            return -1;
    }
    return 0;
}

} // namespace

constinit const WireLayout kEventRecordHead = fields(0, 7);
constinit const WireLayout kEventRecordBody = fields(1, 6);
constinit const WireLayout kEventIntervals = fields(7, 3);
constinit const WireLayout kEventPageFields = fields(1, 10);
constinit const WireLayout kEventDialogFields = fields(2, 10);

void event_set_tri_channels(Rec *record, const char *text)
{
    fill_field_text(record->tri_channels, sizeof record->tri_channels, text);
    record->tri_channel_mask =
        static_cast<int32_t>(channel_mask_low(channel_mask_from_text(record->tri_channels)));
}

int event_store_save(json_object *request, const EventActionStore &store, int chnid,
                     const EventStoreSave &how)
{
    Rec record;
    if (save_schedules(request, store, how.effective) != 0 ||
        confdb_read_record(ZQDB_PATH, store.record_kind, store.id, &record, sizeof record) < 0)
        return -1;
    record.chnid = chnid;
    EventActionTables tables = store.tables;
    if (!how.with_http)
        tables.http_schedule = tables.http_params = nullptr;
    const EventActionFields fields{record.chn_alarmout0, record.chn_alarmout1, record.audio_id, nullptr};
    const int actions = event_actions_save(request, tables, chnid, fields, how.with_http);
    if (actions < 0)
        return -1;
    const int ptz = how.with_ptz ? event_actions_save_ptz(request) : 0;
    size_t fields_set = wire_update(request, *how.fields, &record);
    if (const char *text = json_value_text(json_get_member(request, "triChannels"))) {
        event_set_tri_channels(&record, text);
        ++fields_set;
    }
    if (how.enable != nullptr) {
        record.enable = *how.enable;
        ++fields_set;
    }
    const bool changed = fields_set > 0 || actions > 0 || ptz > 0;
    if (changed && confdb_write_record(ZQDB_PATH, store.record_kind, store.id, &record, sizeof record) != 0)
        return -1;
    return (changed ? 1 : 0) + ptz;
}

void event_store_add_schedules(json_object *reply, const EventActionStore &store)
{
    static schedule_record schedule;
    for (int slot = 0; slot < kStoreSchedules; ++slot) {
        confdb_read_record(ZQDB_PATH, store.schedule_kinds[slot], store.id, &schedule, sizeof schedule);
        json_object_object_add(reply, kScheduleKeys[slot], get_schedule_json_object(&schedule));
    }
}
