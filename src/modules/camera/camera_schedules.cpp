// Schedules kept on the camera: the day/night image schedule with its
// seven entries, and the weekly schedules of 10 or 12 entries a day (one of
// them with exposure values).
#include <cstring>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "front/web_utils.h"
#include "modules/camera/camera.h"

namespace {

// ---- Image schedule ------------------------------------------------------

using Entry = ipc_image_sche_entry;

// An entry of a request, marked valid, in the order of the record.
const WireField kImageEntrySetFields[] = {
    WIRE_CONST(Entry, valid, 1),
    WIRE_INT("enable", Entry, enable),
    WIRE_INT("startHour", Entry, startHour),
    WIRE_INT("startMinute", Entry, startMinute),
    WIRE_INT("endHour", Entry, endHour),
    WIRE_INT("endMinute", Entry, endMinute),
    WIRE_INT("exposureLevel", Entry, exposureLevel),
    WIRE_INT("minShutter", Entry, minShutter),
    WIRE_INT("maxShutter", Entry, maxShutter),
    WIRE_INT("gainLevel", Entry, gainLevel),
    WIRE_INT("irCutLatency", Entry, irCutLatency),
    WIRE_INT("irCutState", Entry, irCutState),
    WIRE_INT("irLedState", Entry, irLedState),
    WIRE_INT("colorMode", Entry, colorMode),
};
// An entry of reply 8278, in the order the page has always read.
const WireField kImageEntryReplyFields[] = {
    WIRE_INT("enable", Entry, enable),           WIRE_INT("startHour", Entry, startHour),
    WIRE_INT("startMinute", Entry, startMinute), WIRE_INT("endHour", Entry, endHour),
    WIRE_INT("endMinute", Entry, endMinute),     WIRE_INT("exposureLevel", Entry, exposureLevel),
    WIRE_INT("maxShutter", Entry, maxShutter),   WIRE_INT("minShutter", Entry, minShutter),
    WIRE_INT("gainLevel", Entry, gainLevel),     WIRE_INT("irCutLatency", Entry, irCutLatency),
    WIRE_INT("irCutState", Entry, irCutState),   WIRE_INT("irLedState", Entry, irLedState),
    WIRE_INT("colorMode", Entry, colorMode),
};
const WireField kEffectiveFields[] = {
    WIRE_TEXT("startTime", ipc_image_sche_effective, startTime),
    WIRE_TEXT("endTime", ipc_image_sche_effective, endTime),
    WIRE_INT("templateId", ipc_image_sche_effective, templateId),
};

constexpr WireLayout kImageEntrySet = wire_layout(kImageEntrySetFields, sizeof(Entry));
constexpr WireList kImageEntries = {kImageEntrySet, offsetof(ipc_image_schedule, entries), kImageScheEntries,
                                    sizeof(Entry)};
constexpr WireList kImageEntriesReply = {wire_layout(kImageEntryReplyFields, sizeof(Entry)),
                                         offsetof(ipc_image_schedule, entries), kImageScheEntries,
                                         sizeof(Entry)};
constexpr WireList kEffectiveEntries = {wire_layout(kEffectiveFields, sizeof(ipc_image_sche_effective)),
                                        offsetof(ipc_image_schedule, effective), kImageScheEffective,
                                        sizeof(ipc_image_sche_effective)};
static_assert(wire_list_end(kEffectiveEntries) <= sizeof(ipc_image_schedule));

// The entry index of "/2038", and its channel, checked.
bool image_entry_request(json_object *request, int *channel, int *entry)
{
    *channel = json_member_int(request, "channel", -1);
    *entry = json_member_int(request, "id", -1);
    return camera_channel_valid(*channel) && *entry >= 0 && *entry < kImageScheEntries;
}

// ---- Weekly camera schedules --------------------------------------------

// The entries of a day: times and an action, and for the exposure schedule
// the exposure time and gain too.
const WireField kSectionFields[] = {
    WIRE_TEXT("startTime", schedule_section, start_time),
    WIRE_TEXT("endTime", schedule_section, end_time),
    WIRE_INT("actionType", schedule_section, action_type),
};
const WireField kExposureSectionFields[] = {
    WIRE_TEXT("startTime", ipc_exposure_section, start_time),
    WIRE_TEXT("endTime", ipc_exposure_section, end_time),
    WIRE_INT("actionType", ipc_exposure_section, action_type),
    WIRE_INT("exposureTime", ipc_exposure_section, exposureTime),
    WIRE_INT("gainLevel", ipc_exposure_section, gainLevel),
};
constexpr WireLayout kSection = wire_layout(kSectionFields, sizeof(schedule_section));
constexpr WireLayout kExposureSection = wire_layout(kExposureSectionFields, sizeof(ipc_exposure_section));

// Seven days of `entries` each, from byte `base`.
constexpr WireGrid section_days(size_t base, int entries)
{
    return WireGrid{{kSection, 0, static_cast<size_t>(entries), sizeof(schedule_section)},
                    base,
                    kScheduleIpcDays,
                    sizeof(schedule_day)};
}
constexpr WireGrid exposure_days(size_t base, int entries)
{
    return WireGrid{{kExposureSection, 0, static_cast<size_t>(entries), sizeof(ipc_exposure_section)},
                    base,
                    kScheduleIpcDays,
                    sizeof(ipc_exposure_day)};
}

// Replies carry the channel before the days; requests the 64 channel slots.
constexpr size_t kReplyDays = 4;
constexpr size_t kRequestDays = offsetof(ipc_sche_setting, days);
static_assert(offsetof(ipc_exposure_sche_setting, days) == kRequestDays);

constexpr WireGrid kSche10Reply = section_days(kReplyDays, 10);
constexpr WireGrid kSche12Reply = section_days(kReplyDays, kScheduleWebSections);
constexpr WireGrid kExposureReply = exposure_days(kReplyDays, kScheduleWebSections);
// The 12-entry pages save all 12 entries a day they show.
constexpr WireGrid kSche10Request = section_days(kRequestDays, 10);
constexpr WireGrid kSche12Request = section_days(kRequestDays, kScheduleWebSections);
constexpr WireGrid kExposureRequest = exposure_days(kRequestDays, kScheduleWebSections);
static_assert(wire_grid_end(kSche12Request) <= sizeof(ipc_sche_setting));
static_assert(wire_grid_end(kExposureRequest) <= sizeof(ipc_exposure_sche_setting));

// {"schedule": the days of `grid`}; a reply too short for them is none.
int answer_schedule(const ReplyReader &reply, const WireGrid &grid)
{
    JsonPtr days(wire_grid_json(reply, grid));
    if (!days)
        return -1;
    const JsonPtr answer = json_new_object();
    json_object_object_add(answer.get(), "schedule", days.release());
    return relay_answer_json(answer.get());
}

// Sends the channels and days of a request from a zeroed `Setting`; a text
// that does not parse, or lacks the channel or schedule arrays, gets the
// text error.
template <typename Setting> int send_schedule(const char *text, const WireGrid &grid, int code)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    json_object *channels = json_value_array(json_get_member(request.get(), "channel"));
    json_object *days = json_value_array(json_get_member(request.get(), "schedule"));
    if (channels == nullptr || days == nullptr)
        return cgi_error_to_webserver(kRespText);
    static Setting setting;
    memset(&setting, 0, sizeof setting);
    relay_channel_list(channels, kCameraChannels, setting.channels, -1);
    wire_grid_fill(days, grid, WireForm::kPositional, &setting);
    relay_notify(code, &setting, sizeof setting);
    return cgi_writeback_webserver(kRespText, "OK");
}

} // namespace

int on_get_ipc_image_schedule(char *text)
{
    return relay_get_channel(text, "id", kMsgGetImageSchedule, kRespJson);
}

int on_get_ipc_image_schedule_cb(const ReplyReader &reply)
{
    JsonPtr entries(wire_list_json(reply, kImageEntriesReply, "id"));
    if (!entries)
        return -1;
    const JsonPtr answer = json_new_object();
    json_object_object_add(answer.get(), "image", entries.release());
    return relay_answer_json(answer.get());
}

int on_set_ipc_image_schedule(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int channel = -1;
    int entry = -1;
    if (!request || !image_entry_request(request.get(), &channel, &entry))
        return cgi_error_to_webserver(kRespJson);
    ipc_image_schedule schedule{};
    schedule.channel = channel;
    wire_fill(request.get(), kImageEntrySet, &schedule.entries[entry]);
    relay_notify(kMsgSetImageSchedule, &schedule, sizeof schedule);
    return cgi_writeback_webserver(kRespText, "OK");
}

// One message per channel; the channels are the first "cnt" elements of
// "chnid" that the array holds.
int on_set_ipc_image_schedule_batch(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    json_object *chnid = json_value_array(json_get_member(request.get(), "chnid"));
    if (chnid == nullptr)
        return cgi_error_to_webserver(kRespText);
    ipc_image_schedule schedule{};
    wire_list_fill(json_get_member(request.get(), "image"), kImageEntries, WireForm::kKeyed, &schedule);
    schedule.hasSche = json_member_int(request.get(), "hasSche");
    wire_list_fill(json_get_member(request.get(), "effective"), kEffectiveEntries, WireForm::kKeyed,
                   &schedule);
    int32_t channels[kCameraChannels];
    const int count = relay_channel_list(
        chnid, static_cast<size_t>(clamp_count(json_member_int(request.get(), "cnt"), kCameraChannels)),
        channels, -1);
    for (int index = 0; index < count; ++index) {
        schedule.channel = channels[index];
        relay_notify(kMsgSetImageSchedule, &schedule, sizeof schedule);
    }
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_get_ipc_sche10(char *text) { return relay_get_channel(text, "id", kMsgGetSche10, kRespJson); }
int on_get_ipc_exposure_sche(char *text)
{
    return relay_get_channel(text, "id", kMsgGetExposureSche, kRespJson);
}
int on_get_ipc_sche12(char *text) { return relay_get_channel(text, "id", kMsgGetSche12, kRespJson); }

int on_get_ipc_sche10_cb(const ReplyReader &reply) { return answer_schedule(reply, kSche10Reply); }
int on_get_ipc_exposure_sche_cb(const ReplyReader &reply) { return answer_schedule(reply, kExposureReply); }
int on_get_ipc_sche12_cb(const ReplyReader &reply) { return answer_schedule(reply, kSche12Reply); }

int on_set_ipc_sche10(char *text)
{
    return send_schedule<ipc_sche_setting>(text, kSche10Request, kMsgSetSche10);
}

int on_set_ipc_exposure_sche(char *text)
{
    return send_schedule<ipc_exposure_sche_setting>(text, kExposureRequest, kMsgSetExposureSche);
}

int on_set_ipc_sche12(char *text)
{
    return send_schedule<ipc_sche_setting>(text, kSche12Request, kMsgSetSche12);
}
