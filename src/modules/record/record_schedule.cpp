// Record schedules and record modes: one channel's week, a week and mode
// written to several channels, and every channel's record mode.
#include <cstring>

#include "codecs/channel_mask.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "front/web_utils.h"
#include "modules/record/record.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kLogParamSchedule = 907;
constexpr int kLogParamModes = 905;
constexpr int kDefaultMaxCameras = 32;

bool record_mode_valid(int mode) { return mode >= 0 && mode <= kRecordModeMax; }

// The record mode a request sets; false when it is missing or outside 0..2.
bool request_mode(json_object *request, const char *key, int *mode)
{
    return json_value_int(json_get_member(request, key), mode) && record_mode_valid(*mode);
}

// Entry `index` of a mode list, when it names a channel and a valid mode.
bool mode_entry(json_object *entry, int *mode)
{
    int id = -1;
    return json_value_int(json_get_member(entry, "id"), &id) && id >= 0 && id < kRecordChannels &&
           request_mode(entry, "mode", mode);
}

// The object the operation log names: the last channel value read, plus 1.
int last_channel_object(int last) { return static_cast<int>(static_cast<uint32_t>(last) + 1U); }

} // namespace

int on_get_record_info(char *text)
{
    const int chnid = record_channel_of(text);
    if (chnid < 0)
        return -1;
    record_setting record;
    static record_schedule schedule;
    if (read_record(ZQDB_PATH, &record, chnid) < 0 || read_record_schedule(ZQDB_PATH, &schedule, chnid) < 0)
        return cgi_error_to_webserver(kRespJson);
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "id", record.id);
    json_object_object_add(answer.get(), "schedule", get_record_schedule_json_object(&schedule.schedule));
    return cgi_write_json(kRespJson, answer.get());
}

// Every listed channel gets the week; those whose record mode differs get
// the new mode and are announced apart from the schedule.
int on_set_record_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int cnt = 0;
    int mode = 0;
    if (request == nullptr || on_cgi_get_int_from_json(request.get(), "cnt", &cnt) != 0 ||
        !request_mode(request.get(), "recordplanmode", &mode))
        return -1;
    static record_schedule schedule;
    memset(&schedule, 0, sizeof schedule);
    get_record_schedule_by_json(request.get(), "schedule", &schedule.schedule);
    static record_setting records[kRecordChannels];
    int count = 0;
    if (read_records(ZQDB_PATH, records, &count) != 0)
        return cgi_error_to_webserver(kRespText);
    RecordChannels channels;
    record_request_channels(request.get(), cnt, &channels);
    uint64_t schedule_mask = 0;
    uint64_t mode_mask = 0;
    for (int index = 0; index < channels.count; ++index) {
        const int chnid = channels.channels[index];
        schedule_mask |= record_channel_bit(chnid);
        if (records[chnid].mode != mode)
            mode_mask |= record_channel_bit(chnid);
    }
    if (copy_record_schedules(ZQDB_PATH, &schedule, channel_mask_low(schedule_mask),
                              channel_mask_high(schedule_mask)) != 0 ||
        copy_table_column_int(ZQDB_PATH, "record", "mode", mode, channel_mask_low(mode_mask),
                              channel_mask_high(mode_mask), "id") != 0)
        return cgi_error_to_webserver(kRespText);
    record_notify_mask(kMsgRecordModeChanged, mode_mask);
    record_notify_mask(kMsgRecordScheduleChanged, schedule_mask);
    record_send_log(kLogParamSchedule, last_channel_object(channels.last));
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_get_record_mode(char * /*text*/)
{
    static record_setting records[kRecordChannels];
    int count = 0;
    if (read_records(ZQDB_PATH, records, &count) != 0)
        return cgi_error_to_webserver(kRespJson);
    const int shown = clamp_count(get_param_int(ZQDB_PATH, "max_cameras", kDefaultMaxCameras), count);
    json_object *list = json_object_new_array();
    for (int index = 0; index < shown; ++index) {
        json_object *entry = json_object_new_object();
        json_add_int(entry, "id", records[index].id);
        json_add_int(entry, "mode", records[index].mode);
        json_object_array_add(list, entry);
    }
    const JsonPtr answer = json_new_object();
    json_object_object_add(answer.get(), "records", list);
    return cgi_write_json(kRespJson, answer.get());
}

// Entry k of the list sets the mode of channel k, whatever its "id" says.
// Any invalid entry, or more entries than there are channels, changes
// nothing.
int on_set_record_mode(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (request == nullptr)
        return -1;
    json_object *entries = json_value_array(json_get_member(request.get(), "records"));
    const size_t total = json_array_size(entries);
    static record_setting records[kRecordChannels];
    int count = 0;
    if (entries == nullptr || total > kRecordChannels || read_records(ZQDB_PATH, records, &count) != 0)
        return cgi_writeback_webserver(kRespText, "ERROR");
    const int accepted = static_cast<int>(total);
    uint64_t written = 0;
    for (int index = 0; index < accepted; ++index) {
        int mode = 0;
        if (!mode_entry(json_array_item(entries, index), &mode))
            return cgi_writeback_webserver(kRespText, "ERROR");
        records[index].id = index;
        records[index].mode = mode;
        written |= record_channel_bit(index);
    }
    if (write_records(ZQDB_PATH, records, channel_mask_low(written), channel_mask_high(written)) != 0)
        return cgi_writeback_webserver(kRespText, "ERROR");
    record_send_log(kLogParamModes, 0);
    cgi_writeback_webserver(kRespText, "OK");
    for (int chnid = 0; chnid < accepted; ++chnid)
        record_notify_channel(kMsgRecordSettingChanged, chnid);
    return 0;
}
