// Camera image part of the demo device: each channel's image enhancement,
// display, page parameters, day/night image schedule, regions, weekly
// schedules and motion detection, as the cameras keep them. Setters change
// them and getters read them back for as long as coresim runs.
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <tuple>

#include "codecs/channel_mask.h"
#include "codecs/ipc_common_param.h"
#include "demo.h"
#include "modules/camera/camera_records.h"

namespace {

constexpr int32_t kStatusOk = 0;
constexpr int32_t kStatusOffline = 1;
constexpr const char *kSdkVersion = "SDK 3.2.7";

bool channel_ok(int32_t chnid) { return chnid >= 0 && chnid < kCameraChannels; }

// Everything a camera keeps of its image.
struct CameraImage {
    ipc_image_enhancement enhancement;
    ipc_image_display display;
    ipc_image_sche_entry schedule[kImageScheEntries];
    ipc_area_info areas;
    schedule_day sche10[kScheduleIpcDays];
    schedule_day sche12[kScheduleIpcDays];
    ipc_exposure_day exposure[kScheduleIpcDays];
    ipc_motion_info motion;
};

std::map<int32_t, CameraImage> g_images; // by channel
// Page parameters by channel, page, HTTP name and key.
std::map<std::tuple<int32_t, std::string, std::string, std::string>, std::string> g_params;

void set_time(char *field, int hour, int minute)
{
    snprintf(field, kScheduleTimeSize, "%02d:%02d", hour, minute);
}

void default_enhancement(ipc_image_enhancement *e)
{
    e->smartir = 1;
    e->wdrlevel = 50;
    e->wdrstarthour = 8, e->wdrstophour = 18;
    e->hlclevel = 50;
    e->redgain = e->bluegain = 50;
    e->defoglevel = 3;
    e->exposetime = 40;
    e->exposegain = 30;
    e->aflevel = 2;
    e->lensType = 1;
    snprintf(e->exposeregion, sizeof e->exposeregion, "0,0,1920,1080");
    snprintf(e->sdkversion, sizeof e->sdkversion, "%s", kSdkVersion);
}

void put_text(int32_t *words, int index, size_t size, const char *text)
{
    snprintf(reinterpret_cast<char *>(words + index), size, "%s", text);
}

void default_display(int32_t chnid, ipc_image_display *display)
{
    int32_t *w = display->word;
    w[0] = chnid;
    w[2] = 6, w[4] = 18;            // day mode from 06:00 to 18:00
    w[7] = 1, w[10] = 3, w[11] = 3; // IR light, IR-cut delays
    w[16] = 1, w[17] = w[18] = w[19] = 60;
    w[39] = w[40] = w[41] = 50;
    w[65] = 50;
    w[77] = w[78] = 4;
    const DemoCameraInfo camera = demo_camera_info(chnid);
    put_text(w, 23, 64, "MIPI");
    put_text(w, 44, 16, "IMX335");
    put_text(w, 48, 32, camera.model);
    put_text(w, 56, 32, camera.fwVersion);
    put_text(w, 67, 32, kSdkVersion);
}

// Day and night: colour by day, black and white with IR at night.
void default_image_schedule(ipc_image_sche_entry *entries)
{
    entries[0] = {1, 1, 6, 0, 18, 0, 50, 1, 30, 40, 3, 1, 0, 1};
    entries[1] = {1, 1, 18, 0, 6, 0, 70, 1, 25, 80, 3, 0, 1, 0};
}

void default_areas(int32_t chnid, ipc_area_info *areas)
{
    areas->channel = chnid;
    areas->enable = 1;
    snprintf(areas->sdkversion, sizeof areas->sdkversion, "%s", kSdkVersion);
    areas->areas[0] = {1, 120, 80, 900, 620};
}

// Workdays from 08:00 to 18:00 with action 1.
template <typename Day> void default_week(Day *days)
{
    for (int day = 1; day <= 5; ++day) {
        set_time(days[day].sections[0].start_time, 8, 0);
        set_time(days[day].sections[0].end_time, 18, 0);
        days[day].sections[0].action_type = 1;
    }
}

void default_motion(int32_t chnid, ipc_motion_params *motion)
{
    motion->chnid = chnid;
    motion->enable = 1;
    motion->sensitivity = 3;
    motion->minsize = 2;
    motion->mintime = 1;
    motion->adaptability = 1;
    // A 20 by 14 grid, the whole picture watched.
    memset(motion->map_mask, '1', 20 * 14);
    for (int day = 0; day < kScheduleIpcDays; ++day) {
        schedule_day &week_day = motion->schedule.days[day];
        week_day.day_enable = 1;
        set_time(week_day.sections[0].start_time, 0, 0);
        set_time(week_day.sections[0].end_time, 23, 59);
    }
}

CameraImage &image_of(int32_t chnid)
{
    auto found = g_images.find(chnid);
    if (found != g_images.end())
        return found->second;
    static CameraImage fresh;
    memset(&fresh, 0, sizeof fresh);
    default_enhancement(&fresh.enhancement);
    default_display(chnid, &fresh.display);
    default_image_schedule(fresh.schedule);
    default_areas(chnid, &fresh.areas);
    default_week(fresh.sche10);
    default_week(fresh.sche12);
    default_week(fresh.exposure);
    for (int day = 1; day <= 5; ++day)
        fresh.exposure[day].sections[0].exposureTime = 40, fresh.exposure[day].sections[0].gainLevel = 30;
    default_motion(chnid, &fresh.motion.params);
    return g_images.emplace(chnid, fresh).first->second;
}

// The channel of a getter; false for a short payload or no channel.
bool requested_channel(const CoreMessage &request, int32_t *chnid)
{
    return demo_payload_as(request, chnid) && channel_ok(*chnid);
}

void reply(Answer &answer, const CoreMessage &request, const std::string &payload)
{
    answer.push_back(AnswerStep::reply(request.code + kReplyOffset, payload));
}

void reply_status(Answer &answer, const CoreMessage &request, int32_t chnid)
{
    reply(answer, request, demo_int32s({demo_camera_info(chnid).online ? kStatusOk : kStatusOffline}));
}

// ---- Enhancement and display ---------------------------------------------

void on_get_enhancement(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = -1;
    if (!requested_channel(request, &chnid))
        return;
    const ipc_image_enhancement_info info{chnid, image_of(chnid).enhancement};
    reply(answer, request, demo_bytes(&info, sizeof info));
}

// The camera keeps what the setter does not send.
void on_set_enhancement(const CoreMessage &request, Answer &)
{
    static ipc_image_enhancement_setting setting;
    if (!demo_payload_as(request, &setting))
        return;
    for (const int32_t chnid : setting.channels) {
        if (!channel_ok(chnid))
            continue;
        ipc_image_enhancement &kept = image_of(chnid).enhancement;
        ipc_image_enhancement sent = setting.block;
        sent.dismode = kept.dismode;
        sent.exposurectrl = kept.exposurectrl;
        memcpy(sent.sdkversion, kept.sdkversion, sizeof sent.sdkversion);
        kept = sent;
    }
}

void on_get_display(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = -1;
    if (!requested_channel(request, &chnid))
        return;
    const ipc_image_display &display = image_of(chnid).display;
    reply(answer, request, demo_bytes(&display, sizeof display));
}

// Texts are the camera's own; the rest is taken as sent.
void on_set_display(const CoreMessage &request, Answer &answer)
{
    ipc_image_display sent;
    if (!demo_payload_as(request, &sent) || !channel_ok(sent.word[0]))
        return;
    ipc_image_display &kept = image_of(sent.word[0]).display;
    const struct {
        int first, last;
    } texts[] = {{23, 38}, {44, 63}, {67, 74}};
    for (const auto &text : texts)
        for (int index = text.first; index <= text.last; ++index)
            sent.word[index] = kept.word[index];
    kept = sent;
    reply_status(answer, request, sent.word[0]);
}

// ---- Page parameters -------------------------------------------------------

// Values a camera's pages hold before anything was set.
std::string default_param(const std::string &key)
{
    static const std::map<std::string, std::string> kDefaults = {
        {"ratecontrol1", "1"}, {"ratecontrol2", "1"}, {"brightness", "50"}, {"contrast", "50"},
        {"saturation", "50"},  {"sharpness", "50"},   {"ptzspeed", "5"},    {"language", "en"},
    };
    const auto found = kDefaults.find(key);
    return found != kDefaults.end() ? found->second : "0";
}

auto param_key(const ipc_common_param &param)
{
    auto text = [](const char *field, size_t size) { return std::string(field, strnlen(field, size)); };
    return std::make_tuple(param.channel, text(param.pagename, sizeof param.pagename),
                           text(param.httpname, sizeof param.httpname), text(param.key, sizeof param.key));
}

void on_get_param(const CoreMessage &request, Answer &answer)
{
    ipc_common_param param;
    if (!demo_payload_as(request, &param))
        return;
    const auto key = param_key(param);
    const auto found = g_params.find(key);
    ipc_common_param_reply out{};
    out.channel = param.channel;
    memcpy(out.pagename, param.pagename, sizeof out.pagename);
    memcpy(out.httpname, param.httpname, sizeof out.httpname);
    memcpy(out.key, param.key, sizeof out.key);
    const std::string value = found != g_params.end() ? found->second : default_param(std::get<3>(key));
    snprintf(out.value, sizeof out.value, "%s", value.c_str());
    reply(answer, request, demo_bytes(&out, sizeof out));
}

void on_set_param(const CoreMessage &request, Answer &answer)
{
    ipc_common_param param;
    if (!demo_payload_as(request, &param))
        return;
    g_params[param_key(param)] = std::string(param.value, strnlen(param.value, sizeof param.value));
    reply_status(answer, request, param.channel);
}

// ---- Image schedule and regions --------------------------------------------

void on_get_image_schedule(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = -1;
    if (!requested_channel(request, &chnid))
        return;
    ipc_image_schedule out{};
    out.channel = chnid;
    memcpy(out.entries, image_of(chnid).schedule, sizeof out.entries);
    reply(answer, request, demo_bytes(&out, offsetof(ipc_image_schedule, hasSche)));
}

// Only the entries the request marks valid change.
void on_set_image_schedule(const CoreMessage &request, Answer &)
{
    ipc_image_schedule sent;
    if (!demo_payload_as(request, &sent) || !channel_ok(sent.channel))
        return;
    ipc_image_sche_entry *kept = image_of(sent.channel).schedule;
    for (int index = 0; index < kImageScheEntries; ++index)
        if (sent.entries[index].valid == 1)
            kept[index] = sent.entries[index];
}

void on_get_areas(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = -1;
    if (!requested_channel(request, &chnid))
        return;
    const ipc_area_info &areas = image_of(chnid).areas;
    reply(answer, request, demo_bytes(&areas, sizeof areas));
}

void on_set_areas(const CoreMessage &request, Answer &)
{
    ipc_area_setting sent;
    if (!demo_payload_as(request, &sent))
        return;
    for (int index = 0; index < sent.channel_count && index < kCameraChannels; ++index) {
        if (!channel_ok(sent.channels[index]))
            continue;
        ipc_area_info &kept = image_of(sent.channels[index]).areas;
        kept.enable = sent.enable;
        memcpy(kept.areas, sent.areas, sizeof kept.areas);
    }
}

void accept(const CoreMessage &, Answer &) {}

// ---- Weekly schedules --------------------------------------------------------

// Where each weekly schedule lives in the model.
template <typename Day> using WeekOf = Day *(*)(CameraImage &);
schedule_day *sche10_of(CameraImage &image) { return image.sche10; }
schedule_day *sche12_of(CameraImage &image) { return image.sche12; }
ipc_exposure_day *exposure_of(CameraImage &image) { return image.exposure; }

// The channel, then eight days (the last one empty).
template <typename Day, WeekOf<Day> week> void on_get_week(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = -1;
    if (!requested_channel(request, &chnid))
        return;
    std::string out = demo_int32s({chnid});
    out += demo_bytes(week(image_of(chnid)), kScheduleIpcDays * sizeof(Day));
    out.append(sizeof(Day), '\0');
    reply(answer, request, out);
}

template <typename Setting, typename Day, WeekOf<Day> week>
void on_set_week(const CoreMessage &request, Answer &)
{
    static Setting sent;
    if (!demo_payload_as(request, &sent))
        return;
    for (const int32_t chnid : sent.channels)
        if (channel_ok(chnid))
            memcpy(week(image_of(chnid)), sent.days, sizeof sent.days);
}

// ---- Motion detection and event texts ---------------------------------------

void on_get_motion(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = -1;
    if (!requested_channel(request, &chnid))
        return;
    const ipc_motion_info &motion = image_of(chnid).motion;
    reply(answer, request, demo_bytes(&motion, sizeof motion));
}

// Every channel of the mask takes the setting; the reply's result is 0.
void on_set_motion(const CoreMessage &request, Answer &answer)
{
    static ipc_motion_setting sent;
    if (!demo_payload_as(request, &sent))
        return;
    const uint64_t mask = sent.copy_mask[0] | uint64_t{sent.copy_mask[1]} << 32;
    for (int32_t chnid = 0; chnid < kCameraChannels; ++chnid) {
        if ((mask >> chnid & 1u) == 0)
            continue;
        ipc_motion_params &kept = image_of(chnid).motion.params;
        kept = sent.params;
        kept.chnid = chnid;
    }
    reply(answer, request, demo_int32s({kStatusOk}));
}

void on_event_text(const CoreMessage &request, Answer &answer)
{
    ipc_event_text_query query;
    if (!demo_payload_as(request, &query) || !channel_ok(query.chnid))
        return;
    query.time[sizeof query.time - 1] = '\0';
    char text[160];
    const int length = snprintf(text, sizeof text, "CAM%d event %d.%d at %s: motion in area 1",
                                query.chnid + 1, query.mainType, query.subType, query.time);
    reply(answer, request, std::string(text, static_cast<size_t>(length) + 1));
}

const DemoRow kCameraImageRows[] = {
    {kMsgGetImageEnhancement, on_get_enhancement},
    {kMsgSetImageEnhancement, on_set_enhancement},
    {kMsgGetImageDisplay, on_get_display},
    {kMsgSetImageDisplay, on_set_display},
    {kMsgGetIpcCommonParam, on_get_param},
    {kMsgSetIpcCommonParam, on_set_param},
    {kMsgGetImageSchedule, on_get_image_schedule},
    {kMsgSetImageSchedule, on_set_image_schedule},
    {kMsgGetAreaParam, on_get_areas},
    {kMsgSetAreaParam, on_set_areas},
    {kMsgSetAreaId, accept},
    {kMsgGetSche10, on_get_week<schedule_day, sche10_of>},
    {kMsgSetSche10, on_set_week<ipc_sche_setting, schedule_day, sche10_of>},
    {kMsgGetSche12, on_get_week<schedule_day, sche12_of>},
    {kMsgSetSche12, on_set_week<ipc_sche_setting, schedule_day, sche12_of>},
    {kMsgGetExposureSche, on_get_week<ipc_exposure_day, exposure_of>},
    {kMsgSetExposureSche, on_set_week<ipc_exposure_sche_setting, ipc_exposure_day, exposure_of>},
    {kMsgGetIpcMotion, on_get_motion},
    {kMsgSetIpcMotion, on_set_motion},
    {kMsgGetEventText, on_event_text},
};

} // namespace

NVR_DEMO_ROWS(kCameraImageRows)
