// Smart analytics of the demo device: each camera keeps one rule of every
// kind, with a plausible region, line or box drawn on a 1920 by 1080 image.
// Setters store the rule they are sent and getters read it back for as long
// as coresim runs.
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "demo.h"
#include "modules/video/vca_records.h"

namespace {

constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;

// One rule kind: its getter and setter codes, its size, and where it keeps
// the camera size (0: nowhere).
struct RuleKind {
    int32_t get_code;
    int32_t set_code;
    size_t size;
    size_t width_offset;
};

constexpr RuleKind kKinds[] = {
    {kMsgGetVcaRegionEntrance, kMsgSetVcaRegionEntrance, sizeof(vca_rule), 0},
    {kMsgGetVcaRegionExit, kMsgSetVcaRegionExit, sizeof(vca_rule), 0},
    {kMsgGetVcaMotion, kMsgSetVcaMotion, sizeof(vca_rule), 0},
    {kMsgGetVcaTamper, kMsgSetVcaTamper, sizeof(vca_rule), 0},
    {kMsgGetVcaLine, kMsgSetVcaLine, sizeof(vca_line_rule), offsetof(vca_line_rule, width)},
    {kMsgGetVcaLoitering, kMsgSetVcaLoitering, sizeof(vca_rule), 0},
    {kMsgGetVcaHuman, kMsgSetVcaHuman, sizeof(vca_rule), 0},
    {kMsgGetVcaPeople, kMsgSetVcaPeople, sizeof(vca_people_rule), offsetof(vca_people_rule, width)},
    {kMsgGetVcaSettings, kMsgSetVcaSettings, sizeof(vca_settings), offsetof(vca_settings, head.width)},
    {kMsgGetVcaLeftRemove, kMsgSetVcaLeftRemove, sizeof(vca_left_remove), 0},
    {kMsgGetVcaLine2, kMsgSetVcaLine2, sizeof(vca_line_rule2), offsetof(vca_line_rule2, width)},
    {kMsgGetVcaSettings2, kMsgSetVcaSettings2, sizeof(vca_settings2), offsetof(vca_settings2, head.width)},
};

std::map<std::pair<int32_t, int32_t>, std::string> g_rules; // by (set code, channel)

const RuleKind *kind_of(int32_t code)
{
    for (const RuleKind &kind : kKinds)
        if (kind.get_code == code || kind.set_code == code)
            return &kind;
    return nullptr;
}

void put_text(char *field, size_t size, const char *text) { snprintf(field, size, "%s", text); }

// A rectangle in the middle of the picture, as region and polygon texts.
template <typename Rule> void default_region(Rule *rule)
{
    put_text(rule->region, sizeof rule->region, "120,60,340,60,340,200,120,200");
    put_text(rule->polygon_x, sizeof rule->polygon_x, "120,340,340,120");
    put_text(rule->polygon_y, sizeof rule->polygon_y, "60,60,200,200");
    rule->region_type = 1;
    char *polygon = reinterpret_cast<char *>(rule->regions[0].bytes) + kVcaRegionPolygons;
    snprintf(polygon, kVcaPolygonTextSize, "%s", rule->polygon_x);
    snprintf(polygon + kVcaPolygonTextSize, kVcaPolygonTextSize, "%s", rule->polygon_y);
    const int32_t enable = 1;
    memcpy(rule->regions[0].bytes, &enable, sizeof enable);
}

template <typename Line> void default_line(Line *line)
{
    line->start_x = kWidth / 4;
    line->start_y = kHeight / 2;
    line->stop_x = kWidth * 3 / 4;
    line->stop_y = kHeight / 2;
}

void default_box(int32_t *values, size_t stride)
{
    const int32_t box[8] = {100, 100, 200, 200, 0, 0, kWidth, kHeight};
    for (size_t index = 0; index < 8; ++index)
        values[index * stride] = box[index];
}

std::string default_rule(const RuleKind &kind, int32_t chnid)
{
    std::string bytes(kind.size, '\0');
    void *at = bytes.data();
    memcpy(at, &chnid, sizeof chnid);
    if (kind.size == sizeof(vca_rule)) {
        auto *rule = static_cast<vca_rule *>(at);
        rule->enable = chnid % 2 == 0 ? 1 : 0;
        rule->sensitivity = 3;
        rule->time = 10;
        rule->size = 2;
        rule->tracks = 1;
        default_region(rule);
    } else if (kind.size == sizeof(vca_left_remove)) {
        auto *rule = static_cast<vca_left_remove *>(at);
        rule->sensitivity = 3;
        rule->left_enable = 1;
        rule->min_time = 30;
        default_region(rule);
    } else if (kind.size == sizeof(vca_line_rule)) {
        auto *rule = static_cast<vca_line_rule *>(at);
        rule->enable = 1;
        default_line(&rule->lines[0]);
    } else if (kind.size == sizeof(vca_line_rule2)) {
        auto *rule = static_cast<vca_line_rule2 *>(at);
        rule->enable = 1;
        rule->lines[0].enable = 1;
        default_line(&rule->lines[0]);
    } else if (kind.size == sizeof(vca_people_rule)) {
        auto *rule = static_cast<vca_people_rule *>(at);
        rule->osd_enable = 1;
        rule->line_num = 1;
        rule->sensitivity = 3;
        rule->lines[0].line_enable = 1;
        default_line(&rule->lines[0]);
    } else if (kind.size == sizeof(vca_settings)) {
        auto *settings = static_cast<vca_settings *>(at);
        settings->head.vca_type = 1;
        settings->head.fps = 10;
        default_box(&settings->box.min_start_x, 1);
    } else if (kind.size == sizeof(vca_settings2)) {
        auto *settings = static_cast<vca_settings2 *>(at);
        settings->head.vca_type = 2;
        settings->head.fps = 10;
        for (int set = 0; set < kVcaPositionSets; ++set)
            default_box(&settings->columns[0][set], kVcaPositionSets);
    }
    return bytes;
}

// The camera size a rule is drawn on stays the camera's.
void keep_camera_size(const RuleKind &kind, std::string *bytes)
{
    if (kind.width_offset == 0)
        return;
    const int32_t size[2] = {kWidth, kHeight};
    memcpy(bytes->data() + kind.width_offset, size, sizeof size);
}

std::string &rule_of(const RuleKind &kind, int32_t chnid)
{
    auto found = g_rules.find({kind.set_code, chnid});
    if (found == g_rules.end()) {
        std::string bytes = default_rule(kind, chnid);
        keep_camera_size(kind, &bytes);
        found = g_rules.emplace(std::make_pair(kind.set_code, chnid), bytes).first;
    }
    return found->second;
}

bool channel_of(const CoreMessage &request, int32_t *chnid)
{
    if (request.payload.size() < sizeof *chnid)
        return false;
    memcpy(chnid, request.payload.data(), sizeof *chnid);
    return *chnid >= 0 && *chnid < 64;
}

void on_get_rule(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = 0;
    const RuleKind *kind = kind_of(request.code);
    if (kind == nullptr || !channel_of(request, &chnid))
        return;
    answer.push_back(AnswerStep::reply(request.code + kVcaReplyOffset, rule_of(*kind, chnid)));
}

void on_set_rule(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = 0;
    const RuleKind *kind = kind_of(request.code);
    if (kind == nullptr || request.payload.size() < kind->size || !channel_of(request, &chnid))
        return;
    std::string bytes = request.payload.substr(0, kind->size);
    keep_camera_size(*kind, &bytes);
    rule_of(*kind, chnid) = bytes;
    answer.push_back(AnswerStep::reply(request.code + kVcaReplyOffset, demo_int32s({0})));
}

void on_support(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = 0;
    if (channel_of(request, &chnid))
        answer.push_back(AnswerStep::reply(request.code + kVcaReplyOffset, demo_int32s({chnid, 1, 1})));
}

void on_reset_count(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = 0;
    if (channel_of(request, &chnid))
        answer.push_back(AnswerStep::reply(request.code + kVcaReplyOffset, demo_int32s({0})));
}

void ignore(const CoreMessage &, Answer &) {}

const DemoRow kVcaRows[] = {
    {kMsgGetVcaRegionEntrance, on_get_rule}, {kMsgSetVcaRegionEntrance, on_set_rule},
    {kMsgGetVcaRegionExit, on_get_rule},     {kMsgSetVcaRegionExit, on_set_rule},
    {kMsgGetVcaMotion, on_get_rule},         {kMsgSetVcaMotion, on_set_rule},
    {kMsgGetVcaTamper, on_get_rule},         {kMsgSetVcaTamper, on_set_rule},
    {kMsgGetVcaLine, on_get_rule},           {kMsgSetVcaLine, on_set_rule},
    {kMsgGetVcaLoitering, on_get_rule},      {kMsgSetVcaLoitering, on_set_rule},
    {kMsgGetVcaHuman, on_get_rule},          {kMsgSetVcaHuman, on_set_rule},
    {kMsgGetVcaPeople, on_get_rule},         {kMsgSetVcaPeople, on_set_rule},
    {kMsgGetVcaSettings, on_get_rule},       {kMsgSetVcaSettings, on_set_rule},
    {kMsgGetVcaLeftRemove, on_get_rule},     {kMsgSetVcaLeftRemove, on_set_rule},
    {kMsgGetVcaLine2, on_get_rule},          {kMsgSetVcaLine2, on_set_rule},
    {kMsgGetVcaSettings2, on_get_rule},      {kMsgSetVcaSettings2, on_set_rule},
    {kMsgGetVcaSupport, on_support},         {kMsgClearPeopleCount, on_reset_count},
    {kMsgSmartEventChanged, ignore},
};

} // namespace

NVR_DEMO_ROWS(kVcaRows)
