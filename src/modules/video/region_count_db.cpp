// Regional people counting events of the configuration database, one per
// channel and region, and the action dialog of a region: its record, its
// schedules, its white LED, HTTP notification and PTZ lists.
#include <cstdio>
#include <cstring>

#include "codecs/channel_db.h"
#include "codecs/channel_mask.h"
#include "codecs/event_actions.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "modules/video/region_count.h"
#include "platform/confdb/confdb.h"

namespace {

using Rec = smart_event_record;

bool region_valid(int chnid, int region)
{
    return camera_channel_valid(chnid) && region >= 0 && region < kRegionalRegions;
}

int region_id(int chnid, int region) { return region << 8 | chnid; }

// Record (kind, region << 8 | chnid); an invalid pair reads as zero and
// fails.
int read_region_record(const char *db, int kind, void *record, size_t size, int chnid, int region)
{
    if (!region_valid(chnid, region)) {
        memset(record, 0, size);
        return -1;
    }
    return confdb_read_record(db, kind, region_id(chnid, region), record, size);
}

int write_region_record(const char *db, int kind, const void *record, size_t size, int chnid, int region)
{
    if (!region_valid(chnid, region))
        return -1;
    return confdb_write_record(db, kind, region_id(chnid, region), record, size);
}

struct RegionSchedule {
    const char *key;
    int kind;
};
constexpr RegionSchedule kSchedules[] = {{"audible", kRecRegionalPcntAudibleSchedule},
                                         {"email", kRecRegionalPcntMailSchedule},
                                         {"ptz", kRecRegionalPcntPtzSchedule}};

// The record as the page reads it, in answer order after "chnid" and
// "region".
constexpr WireField kRecordFieldList[] = {
    WIRE_INT("enable", Rec, enable),
    WIRE_INT("triAlarms", Rec, tri_alarms),
    WIRE_INT("interval", Rec, interval),
    WIRE_INT("email_interval", Rec, email_interval),
    WIRE_INT("email_pic_enable", Rec, email_pic_enable),
    WIRE_TEXT("tri_channels_pic", Rec, tri_channels_pic),
    WIRE_INT("ptz_interval", Rec, ptz_interval),
    WIRE_INT("alarmout_interval", Rec, alarmout_interval),
    WIRE_TEXT("triChannels", Rec, tri_channels),
    WIRE_INT("http_notification_interval", Rec, http_notification_interval),
};
constexpr WireLayout kRecordFields = wire_layout(kRecordFieldList, sizeof(Rec));

// The table names of one region's actions: region 0 unnumbered, regions 1
// to 3 with their number after "regional_pcnt".
struct RegionTables {
    char white_params[64];
    char white_schedule[64];
    char http_schedule[64];
    char http_params[64];
    EventActionTables tables;
};

void region_table(char *out, size_t size, int region, const char *suffix)
{
    if (region == 0)
        snprintf(out, size, "regional_pcnt_%s", suffix);
    else
        snprintf(out, size, "regional_pcnt%d_%s", region, suffix);
}

void region_tables(int region, RegionTables *out)
{
    region_table(out->white_params, sizeof out->white_params, region, "whiteled_params");
    region_table(out->white_schedule, sizeof out->white_schedule, region, "whiteled_esche");
    region_table(out->http_schedule, sizeof out->http_schedule, region, "http_notification_sche");
    region_table(out->http_params, sizeof out->http_params, region, "http_notification_params");
    out->tables = {out->white_params, out->white_schedule, out->http_schedule, out->http_params,
                   kPtzTypeRegionalFirst + region};
}

// The record fields of the dialog; true when any was present.
bool apply_record_fields(json_object *dialog, Rec *record)
{
    bool changed = on_cgi_get_int_from_json(dialog, "enable", &record->enable) == 0;
    changed |= event_set_action_fields(dialog, record);
    if (const char *text = json_value_text(json_get_member(dialog, "triChannels"))) {
        fill_field_text(record->tri_channels, sizeof record->tri_channels, text);
        record->tri_channel_mask =
            static_cast<int32_t>(channel_mask_low(channel_mask_from_text(record->tri_channels)));
        changed = true;
    }
    return changed;
}

int save_schedules(json_object *dialog, int chnid, int region)
{
    static schedule_record schedule;
    for (const RegionSchedule &sche : kSchedules)
        if (get_schedule_by_json(dialog, sche.key, &schedule) == 0 &&
            write_regional_pcnt_schedule(ZQDB_PATH, sche.kind, &schedule, chnid, region) != 0)
            return -1;
    return 0;
}

} // namespace

int read_regional_pcnt_event(const char *db, smart_event_record *record, int chnid, int region)
{
    return read_region_record(db, kRecRegionalPcntEvent, record, sizeof *record, chnid, region);
}

int write_regional_pcnt_event(const char *db, const smart_event_record *record, int region)
{
    return write_region_record(db, kRecRegionalPcntEvent, record, sizeof *record, record->chnid, region);
}

int read_regional_pcnt_schedule(const char *db, int kind, schedule_record *schedule, int chnid, int region)
{
    return read_region_record(db, kind, schedule, sizeof *schedule, chnid, region);
}

int write_regional_pcnt_schedule(const char *db, int kind, const schedule_record *schedule, int chnid,
                                 int region)
{
    return write_region_record(db, kind, schedule, sizeof *schedule, chnid, region);
}

json_object *regional_action_json(int chnid, int region)
{
    Rec record;
    read_regional_pcnt_event(ZQDB_PATH, &record, chnid, region);
    record.chnid = chnid;
    json_object *action = json_object_new_object();
    json_add_int(action, "chnid", chnid);
    json_add_int(action, "region", region);
    wire_add_fields(action, &record, kRecordFields);
    static schedule_record schedule;
    for (const RegionSchedule &sche : kSchedules) {
        read_regional_pcnt_schedule(ZQDB_PATH, sche.kind, &schedule, chnid, region);
        json_object_object_add(action, sche.key, get_schedule_json_object(&schedule));
    }
    RegionTables tables;
    region_tables(region, &tables);
    const EventActionFields fields{record.chn_alarmout0, record.chn_alarmout1, record.audio_id,
                                   &record.white_interval};
    event_actions_add_reply(action, tables.tables, chnid, fields);
    return action;
}

// The PTZ list always belongs to this channel and region, whatever owner
// and type the dialog names.
int save_regional_action(json_object *dialog, int chnid, int region)
{
    if (!json_object_is_type(dialog, json_type_object))
        return 0;
    Rec record;
    if (save_schedules(dialog, chnid, region) != 0 ||
        read_regional_pcnt_event(ZQDB_PATH, &record, chnid, region) < 0)
        return -1;
    record.chnid = chnid;
    RegionTables tables;
    region_tables(region, &tables);
    const EventActionFields fields{record.chn_alarmout0, record.chn_alarmout1, record.audio_id, nullptr};
    const int actions = event_actions_save(dialog, tables.tables, chnid, fields, true);
    if (actions < 0)
        return -1;
    const int ptz = set_ptz_params_by_json(chnid, tables.tables.ptz_type,
                                           json_value_array(json_get_member(dialog, "ptzParams")));
    const bool changed = apply_record_fields(dialog, &record) || actions > 0 || ptz > 0;
    if (changed && write_regional_pcnt_event(ZQDB_PATH, &record, region) != 0)
        return -1;
    return (changed ? 1 : 0) + ptz;
}
