// Licence plate recognition of the demo device: every camera recognises
// plates in a lane across the lower half of a 1920 by 1080 picture, with a
// few wildcard formats. Setters store what they are sent for as long as
// coresim runs.
#include <cstdio>
#include <cstring>
#include <map>

#include "demo.h"
#include "modules/video/anpr_records.h"

namespace {

constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;
// The camera type of the demo's plate cameras (one of our own make).
constexpr int32_t kDemoAiType = 12;

std::map<int32_t, anpr_settings> g_settings;
std::map<int32_t, anpr_wildcards> g_wildcards;

void put_text(char *field, size_t size, const char *text) { snprintf(field, size, "%s", text); }

anpr_settings default_settings(int32_t chnid)
{
    anpr_settings settings{};
    settings.chnid = chnid;
    settings.enable = chnid % 2 == 0 ? 1 : 0;
    settings.resolution_width = kWidth;
    settings.resolution_height = kHeight;
    settings.area_x = 0;
    settings.area_y = kHeight / 2;
    settings.area_width = kWidth;
    settings.area_height = kHeight / 2;
    settings.repeat_check_time_value = 30;
    settings.repeat_check_time_unit = 1;
    settings.post_tcp_port = 8080;
    settings.confidence = 80;
    put_text(settings.post_http_url, sizeof settings.post_http_url, "http://192.168.1.50/plates");
    put_text(settings.region[0], sizeof settings.region[0], "Europe");
    put_text(settings.cur_area, sizeof settings.cur_area, "Europe");
    settings.platecolor_enable = 1;
    settings.vehicletype_enable = 1;
    settings.roi[0] = {"Lane 1", 0, kHeight / 2, kWidth, kHeight};
    settings.night_mode_starthour = 19;
    settings.night_mode_stophour = 6;
    settings.json_support = 1;
    put_text(settings.normal_polygons[0].name, sizeof settings.normal_polygons[0].name, "Lane 1");
    put_text(settings.normal_polygons[0].polygon_x, sizeof settings.normal_polygons[0].polygon_x,
             "0,460,460,0");
    put_text(settings.normal_polygons[0].polygon_y, sizeof settings.normal_polygons[0].polygon_y,
             "130,130,260,260");
    settings.aitype = kDemoAiType;
    return settings;
}

anpr_wildcards default_wildcards(int32_t chnid)
{
    anpr_wildcards wildcards{};
    wildcards.chnid = chnid;
    wildcards.filter = 1;
    wildcards.max_plate_char_num = 8;
    const char *formats[] = {"LLDDDD", "LLLDDD", "DDLLDD"};
    for (int index = 0; index < 3; ++index) {
        wildcards.enable[index] = 1;
        wildcards.cr_count[index] = 6;
        put_text(wildcards.format[index], sizeof wildcards.format[index], formats[index]);
    }
    return wildcards;
}

bool channel_of(const CoreMessage &request, int32_t *chnid)
{
    if (request.payload.size() < sizeof *chnid)
        return false;
    memcpy(chnid, request.payload.data(), sizeof *chnid);
    return *chnid >= 0 && *chnid < 64;
}

template <typename Record>
Record &stored(std::map<int32_t, Record> &store, int32_t chnid, Record (*make)(int32_t))
{
    auto found = store.find(chnid);
    if (found == store.end())
        found = store.emplace(chnid, make(chnid)).first;
    return found->second;
}

// A getter of one camera's record, made on first use.
template <typename Record, std::map<int32_t, Record> *store, Record (*make)(int32_t)>
void on_get(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = 0;
    if (channel_of(request, &chnid)) {
        const Record &record = stored(*store, chnid, make);
        answer.push_back(
            AnswerStep::reply(request.code + kAnprReplyOffset, demo_bytes(&record, sizeof record)));
    }
}

void on_set_settings(const CoreMessage &request, Answer &answer)
{
    anpr_settings settings;
    if (!demo_payload_as(request, &settings) || settings.chnid < 0 || settings.chnid >= 64)
        return;
    // What the camera reports of itself stays the camera's.
    const anpr_settings &old = stored(g_settings, settings.chnid, default_settings);
    settings.json_support = old.json_support;
    settings.aitype = old.aitype;
    g_settings[settings.chnid] = settings;
    answer.push_back(AnswerStep::reply(request.code + kAnprReplyOffset, demo_int32s({0})));
}

void on_set_wildcards(const CoreMessage &request, Answer &answer)
{
    anpr_wildcards wildcards;
    if (!demo_payload_as(request, &wildcards) || wildcards.chnid < 0 || wildcards.chnid >= 64)
        return;
    g_wildcards[wildcards.chnid] = wildcards;
    if ((request.flags & 1u) == 0)
        answer.push_back(AnswerStep::reply(request.code + kAnprReplyOffset, demo_int32s({0})));
}

void on_state(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = 0;
    if (channel_of(request, &chnid))
        answer.push_back(AnswerStep::reply(request.code + kAnprReplyOffset, demo_int32s({chnid, 1, 1})));
}

void on_support(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = 0;
    if (channel_of(request, &chnid))
        answer.push_back(AnswerStep::reply(request.code + kAnprReplyOffset, demo_int32s({1, 2})));
}

void ignore(const CoreMessage &, Answer &) {}

const DemoRow kAnprRows[] = {
    {kMsgGetAnprSettings, on_get<anpr_settings, &g_settings, default_settings>},
    {kMsgSetAnprSettings, on_set_settings},
    {kMsgGetAnprWildcards, on_get<anpr_wildcards, &g_wildcards, default_wildcards>},
    {kMsgSetAnprWildcards, on_set_wildcards},
    {kMsgGetAnprState, on_state},
    {kMsgGetAnprSupport, on_support},
    {kMsgAnprModeChanged, ignore},
};

} // namespace

NVR_DEMO_ROWS(kAnprRows)
