// Pages kept in the recorder's database: the effective schedules of a
// channel's motion and smart events, and a camera's exposure list.
#include <algorithm>
#include <cstring>

#include "codecs/event_schedule_db.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "front/web_utils.h"
#include "modules/camera/camera.h"
#include "platform/confdb/confdb.h"

namespace {

// Event type 0 is motion; types 1 to 8 are the smart events 0 to 7.
const char *const kEventScheduleKeys[] = {
    "schedule_motion",          "schedule_region_entrance",  "schedule_region_exit",
    "schedule_advanced_motion", "schedule_tamper_detection", "schedule_line_crossing",
    "schedule_loitering",       "schedule_human_detection",  "schedule_people_counting",
};
constexpr int kEventTypes = static_cast<int>(std::size(kEventScheduleKeys));

int read_event_schedule(int type, int channel, schedule_record *schedule)
{
    return type == 0 ? read_motion_effective_schedule(ZQDB_PATH, schedule, channel)
                     : read_smart_event_effective_schedule(ZQDB_PATH, schedule, channel, type - 1);
}

int write_event_schedule(int type, int channel, const schedule_record *schedule)
{
    return type == 0 ? write_motion_effective_schedule(ZQDB_PATH, schedule, channel)
                     : write_smart_event_effective_schedule(ZQDB_PATH, schedule, channel, type - 1);
}

// An entry without a start time shows as a whole-day-off entry.
void show_unset_as_midnight(json_object *days)
{
    for (size_t day = 0; day < json_array_size(days); ++day) {
        json_object *sections = json_array_item(days, day);
        for (size_t index = 0; index < json_array_size(sections); ++index) {
            json_object *section = json_array_item(sections, index);
            const char *start = json_member_text(section, "startTime");
            if (start == nullptr || start[0] != '\0')
                continue;
            json_add_string(section, "startTime", "00:00");
            json_add_string(section, "endTime", "00:00");
            json_add_int(section, "actionType", 0);
        }
    }
}

const WireField kExposureFields[] = {
    WIRE_INT("exposureTime", ipc_exposure_entry, exposureTime),
    WIRE_INT("gainLevel", ipc_exposure_entry, gainLevel),
};
constexpr WireList kExposureList = {wire_layout(kExposureFields, sizeof(ipc_exposure_entry)),
                                    offsetof(ipc_exposure_list, entries), kExposureEntries,
                                    sizeof(ipc_exposure_entry)};

} // namespace

// Nothing is answered for a channel out of range or a failed read.
int on_get_ipc_event_schedules(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int channel = -1;
    if (!relay_request_channel(request, "channel", &channel))
        return -1;
    const JsonPtr answer = json_new_object();
    static schedule_record schedule;
    for (int type = 0; type < kEventTypes; ++type) {
        if (read_event_schedule(type, channel, &schedule) < 0)
            return -1;
        json_object *days = get_schedule_json_object(&schedule);
        show_unset_as_midnight(days);
        json_object_object_add(answer.get(), kEventScheduleKeys[type], days);
    }
    return cgi_write_json(kRespJson, answer.get());
}

// Types from "start" to "end" that the request carries a schedule for are
// stored; types outside 0..8 are skipped.
int on_set_ipc_event_schedules(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int channel = -1;
    if (!relay_request_channel(request, "channel", &channel))
        return cgi_error_to_webserver(kRespText);
    const int first = std::max(json_member_int(request.get(), "start"), 0);
    const int last = std::min(json_member_int(request.get(), "end"), kEventTypes - 1);
    static schedule_record schedule;
    for (int type = first; type <= last; ++type) {
        if (get_schedule_by_json(request.get(), kEventScheduleKeys[type], &schedule) != 0)
            continue;
        if (write_event_schedule(type, channel, &schedule) != 0)
            return cgi_error_to_webserver(kRespText);
    }
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_set_ipc_exposure_list(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int channel = -1;
    json_object *entries = request ? json_value_array(json_get_member(request.get(), "exposure")) : nullptr;
    if (!relay_request_channel(request, "channel", &channel) || entries == nullptr)
        return cgi_error_to_webserver(kRespJson);
    ipc_exposure_list list{};
    list.chnid = channel;
    list.count = static_cast<int32_t>(wire_list_fill(entries, kExposureList, WireForm::kKeyed, &list));
    if (write_exposure(ZQDB_PATH, &list) != 0)
        return cgi_error_to_webserver(kRespText);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_get_ipc_exposure_list(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int channel = -1;
    ipc_exposure_list list;
    if (!relay_request_channel(request, "channel", &channel) ||
        read_exposure(ZQDB_PATH, &list, channel) < 0 || list.count <= 0)
        return cgi_error_to_webserver(kRespJson);
    WireList stored = kExposureList;
    stored.count = static_cast<size_t>(clamp_count(list.count, kExposureEntries));
    const ReplyReader record(reinterpret_cast<const char *>(&list), sizeof list);
    const JsonPtr answer = json_new_object();
    json_object_object_add(answer.get(), "exposure", wire_list_json(record, stored));
    return cgi_write_json(kRespJson, answer.get());
}
