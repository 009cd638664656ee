// Smart analytics rules drawn as lines and boxes: line crossing, people
// counting and the analytics settings, of both camera generations. The
// browser draws in canvas units; lines and boxes travel in camera units.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "codecs/channel_db.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "front/web_utils.h"
#include "modules/video/vca.h"
#include "modules/video/vca_coords.h"
#include "modules/video/vca_rule_util.h"
#include "platform/confdb/confdb.h"

namespace {

using LineRule = vca_line_rule;
using LineRule2 = vca_line_rule2;
using People = vca_people_rule;
using PeopleLine = vca_people_line;

constexpr WireField kLineSetList[] = {
    WIRE_INT("chnid", LineRule, chnid), WIRE_INT("enable", LineRule, enable),
    WIRE_INT("objtype", LineRule, objtype), WIRE_TEXT("copyChn", LineRule, copy_channels)};
constexpr WireField kLineReplyList[] = {
    WIRE_INT("enable", LineRule, enable), WIRE_INT("width", LineRule, width),
    WIRE_INT("height", LineRule, height), WIRE_INT("objtype", LineRule, objtype)};
constexpr WireField kLine2SetList[] = {
    WIRE_INT("chnid", LineRule2, chnid),
    WIRE_INT("enable", LineRule2, enable),
    WIRE_INT("width", LineRule2, width),
    WIRE_INT("height", LineRule2, height),
    WIRE_INT("objtype", LineRule2, objtype),
    WIRE_TEXT("copyChn", LineRule2, copy_channels),
    WIRE_INT("sensitivity", LineRule2, sensitivity),
    WIRE_INT("lineType", LineRule2, line_type),
    WIRE_INT("lineScene", LineRule2, line_scene),
};
constexpr WireField kLine2ReplyList[] = {
    WIRE_INT("enable", LineRule2, enable),           WIRE_INT("width", LineRule2, width),
    WIRE_INT("height", LineRule2, height),           WIRE_INT("objtype", LineRule2, objtype),
    WIRE_INT("sensitivity", LineRule2, sensitivity), WIRE_INT("lineType", LineRule2, line_type),
    WIRE_INT("lineScene", LineRule2, line_scene),
};

constexpr WireField kPeopleSetList[] = {
    WIRE_INT("chnid", People, chnid),
    WIRE_INT("width", People, width),
    WIRE_INT("height", People, height),
    WIRE_INT("osdEnable", People, osd_enable),
    WIRE_INT("osdFontSize", People, osd_font_size),
    WIRE_INT("osdTextPos", People, osd_text_pos),
    WIRE_INT("osdType", People, osd_type),
    WIRE_INT("sensitivity", People, sensitivity),
    WIRE_INT("lineNum", People, line_num),
    WIRE_INT("triggerType", People, trigger_type),
    WIRE_INT("triggerEnable", People, trigger_enable),
    WIRE_INT("totalAlarmEnable", People, total_alarm_enable),
    WIRE_TEXT("copyChn", People, copy_channels),
};
constexpr WireField kPeopleReplyList[] = {
    WIRE_INT("width", People, width),
    WIRE_INT("height", People, height),
    WIRE_INT("osdEnable", People, osd_enable),
    WIRE_INT("osdFontSize", People, osd_font_size),
    WIRE_INT("osdTextPos", People, osd_text_pos),
    WIRE_INT("osdType", People, osd_type),
    WIRE_INT("sensitivity", People, sensitivity),
    WIRE_INT("lineNum", People, line_num),
};
// Per-line values, exchanged as one array per key over the four lines.
#define VCA_PEOPLE_LINE_HEAD                                                                                 \
    WIRE_INT8("lineEnable", PeopleLine, line_enable),                                                        \
        WIRE_INT8("autoResetEnable", PeopleLine, auto_reset_enable),                                         \
        WIRE_INT8("direction", PeopleLine, direction),                                                       \
        WIRE_INT8("showCntEnable", PeopleLine, show_cnt_enable)
#define VCA_PEOPLE_LINE_RESET                                                                                \
    WIRE_INT("autoResetWeekday", PeopleLine, auto_reset_weekday),                                            \
        WIRE_INT("autoResetHour", PeopleLine, auto_reset_hour),                                              \
        WIRE_INT("autoResetMin", PeopleLine, auto_reset_min),                                                \
        WIRE_INT("autoResetSec", PeopleLine, auto_reset_sec)
constexpr WireField kPeopleLineSetList[] = {VCA_PEOPLE_LINE_HEAD, VCA_PEOPLE_LINE_RESET,
                                            WIRE_INT("alarmEnable", PeopleLine, alarm_enable)};
constexpr WireField kPeopleLineReplyList[] = {VCA_PEOPLE_LINE_HEAD,
                                              WIRE_INT("startX", PeopleLine, start_x),
                                              WIRE_INT("startY", PeopleLine, start_y),
                                              WIRE_INT("stopX", PeopleLine, stop_x),
                                              WIRE_INT("stopY", PeopleLine, stop_y),
                                              VCA_PEOPLE_LINE_RESET};

// The head the settings of both generations start with.
using SettingsHead = vca_settings_head;
constexpr WireField kSettingsList[] = {
    WIRE_INT("chnid", SettingsHead, chnid),       WIRE_INT("fps", SettingsHead, fps),
    WIRE_INT("mode", SettingsHead, mode),         WIRE_INT("installation", SettingsHead, installation),
    WIRE_INT("analysis", SettingsHead, analysis), WIRE_INT("width", SettingsHead, width),
    WIRE_INT("height", SettingsHead, height),     WIRE_INT("vcaType", SettingsHead, vca_type),
};
static_assert(offsetof(vca_settings, head) == 0 && offsetof(vca_settings2, head) == 0);
constexpr WireLayout kSettingsSet = WireLayout{kSettingsList, 7, sizeof(SettingsHead)};
constexpr WireLayout kSettingsReply = WireLayout{kSettingsList + 1, 7, sizeof(SettingsHead)};

// The eight values of a box in storage order: which camera axis each
// follows and whether it is a start value (at least 1 on the canvas).
struct BoxValue {
    const char *key;
    bool horizontal;
    bool start;
};
constexpr BoxValue kBoxValues[] = {
    {"minStartX", true, true},   {"minStartY", false, true},  {"minWidth", true, false},
    {"minHeight", false, false}, {"maxStartX", true, true},   {"maxStartY", false, true},
    {"maxWidth", true, false},   {"maxHeight", false, false},
};
constexpr size_t kBoxSize = sizeof kBoxValues / sizeof kBoxValues[0];

struct CameraSize {
    int32_t width;
    int32_t height;
};

int32_t to_camera(int32_t value, bool horizontal, CameraSize size)
{
    return horizontal ? vca_canvas_to_camera(value, size.width, kVcaCanvasWidth)
                      : vca_canvas_to_camera(value, size.height, kVcaCanvasHeight);
}

// A camera of unknown size (either side 0) shows everything at 0.
int32_t to_canvas(int32_t value, bool horizontal, CameraSize size)
{
    if (size.width == 0 || size.height == 0)
        return 0;
    return horizontal ? vca_camera_to_canvas(value, size.width, kVcaCanvasWidth)
                      : vca_camera_to_canvas(value, size.height, kVcaCanvasHeight);
}

// Four numbers startX, startY, stopX, stopY of a line in camera units.
struct LinePoints {
    int32_t values[4];
};

LinePoints line_to_camera(const LinePoints &canvas, CameraSize size)
{
    LinePoints camera{};
    for (int index = 0; index < 4; ++index)
        camera.values[index] = to_camera(canvas.values[index], index % 2 == 0, size);
    return camera;
}

// "%d;%d;%d;%d" of a line converted to the canvas; with `at_least_one`
// every value is at least 1, and all are 1 for a camera size of 0.
void line_position(const LinePoints &camera, CameraSize size, bool at_least_one, char *out, size_t out_size)
{
    int32_t values[4];
    for (int index = 0; index < 4; ++index) {
        values[index] = to_canvas(camera.values[index], index % 2 == 0, size);
        if (at_least_one && values[index] < 1)
            values[index] = 1;
    }
    snprintf(out, out_size, "%d;%d;%d;%d", values[0], values[1], values[2], values[3]);
}

LinePoints position_of(json_object *object)
{
    LinePoints points{};
    vca_parse_position(json_member_text(object, "position"), points.values);
    return points;
}

CameraSize request_size(json_object *request)
{
    return {json_member_int(request, "width", 0), json_member_int(request, "height", 0)};
}

// One array per field over `count` records `stride` bytes apart.
void add_line_arrays(json_object *answer, const unsigned char *first, size_t stride, size_t count,
                     const WireLayout &fields)
{
    for (size_t field = 0; field < fields.count; ++field) {
        json_object *values = json_object_new_array();
        for (size_t index = 0; index < count; ++index)
            json_object_array_add(
                values, json_object_new_int(wire_field_int(first + index * stride, fields.fields[field])));
        json_object_object_add(answer, fields.fields[field].key, values);
    }
}

void fill_line_arrays(json_object *request, unsigned char *first, size_t stride, size_t count,
                      const WireLayout &fields)
{
    for (size_t field = 0; field < fields.count; ++field) {
        json_object *values = json_value_array(json_get_member(request, fields.fields[field].key));
        const size_t taken = std::min(json_array_size(values), count);
        for (size_t index = 0; index < taken; ++index) {
            int value = 0;
            if (json_value_int(json_array_item(values, index), &value))
                wire_field_put_int(first + index * stride, fields.fields[field], value);
        }
    }
}

// Up to four integers of the array under `key`.
void fill_ints(json_object *array, int32_t *out, size_t count)
{
    const size_t taken = std::min(json_array_size(array), count);
    for (size_t index = 0; index < taken; ++index) {
        int value = 0;
        if (json_value_int(json_array_item(array, index), &value))
            out[index] = value;
    }
}

// The box of one position object, converted to camera units.
void box_to_camera(json_object *position, CameraSize size, int32_t *values, size_t stride)
{
    for (size_t index = 0; index < kBoxSize; ++index)
        values[index * stride] = to_camera(json_member_int(position, kBoxValues[index].key, 0),
                                           kBoxValues[index].horizontal, size);
}

json_object *box_json(const int32_t *values, size_t stride, CameraSize size)
{
    json_object *box = json_object_new_object();
    for (size_t index = 0; index < kBoxSize; ++index) {
        int32_t value = to_canvas(values[index * stride], kBoxValues[index].horizontal, size);
        if (kBoxValues[index].start && value < 1)
            value = 1;
        json_add_int(box, kBoxValues[index].key, value);
    }
    return box;
}

// The "%d;%d;%d;%d" text of a line's points on the canvas.
template <typename Line> json_object *position_json(const Line &line, CameraSize size, bool at_least_one)
{
    char position[64];
    line_position({{line.start_x, line.start_y, line.stop_x, line.stop_y}}, size, at_least_one, position,
                  sizeof position);
    return json_object_new_string(position);
}

template <typename Line> json_object *lines_json(const Line *lines, CameraSize size)
{
    json_object *array = json_object_new_array();
    for (int index = 0; index < kVcaLines; ++index) {
        json_object *line = json_object_new_object();
        json_add_int(line, "direction", lines[index].direction);
        json_object_object_add(line, "position", position_json(lines[index], size, false));
        json_object_array_add(array, line);
    }
    return array;
}

template <typename Line> void set_points(Line *line, const LinePoints &points)
{
    line->start_x = points.values[0];
    line->start_y = points.values[1];
    line->stop_x = points.values[2];
    line->stop_y = points.values[3];
}

// The lines of a line rule from "line", converted with the request's size.
template <typename Line> void fill_lines(json_object *request, Line *lines, CameraSize size)
{
    json_object *items = json_value_array(json_get_member(request, "line"));
    const size_t count = std::min(json_array_size(items), static_cast<size_t>(kVcaLines));
    for (size_t index = 0; index < count; ++index) {
        json_object *item = json_array_item(items, index);
        if (!json_object_is_type(item, json_type_object))
            continue;
        set_points(&lines[index], line_to_camera(position_of(item), size));
        lines[index].direction = json_member_int(item, "direction", 0);
    }
}

// The sub-lines of a multi-segment line ("lineType" 2) from "subLines".
void fill_sub_lines(json_object *request, vca_line2 *lines, CameraSize size)
{
    json_object *items = json_value_array(json_get_member(request, "line"));
    const size_t count = std::min(json_array_size(items), static_cast<size_t>(kVcaLines));
    for (size_t index = 0; index < count; ++index) {
        json_object *item = json_array_item(items, index);
        lines[index].enable = json_member_int(item, "enable", 0);
        json_object *subs = json_value_array(json_get_member(item, "subLines"));
        const size_t taken = std::min(json_array_size(subs), static_cast<size_t>(kVcaSubLines));
        for (size_t sub = 0; sub < taken; ++sub) {
            LinePoints points{};
            vca_parse_position(json_value_text(json_array_item(subs, sub)), points.values);
            set_points(&lines[index].sub_lines[sub], line_to_camera(points, size));
        }
    }
}

int answer_line(const ReplyReader &reply)
{
    static LineRule rule;
    if (!reply.record(0, &rule))
        return -1;
    const JsonPtr answer = json_new_object();
    json_object_object_add(answer.get(), "line", lines_json(rule.lines, {rule.width, rule.height}));
    wire_add_fields(answer.get(), &rule, wire_layout(kLineReplyList, sizeof rule));
    return vca_answer_json(answer.get());
}

int answer_line2(const ReplyReader &reply)
{
    static LineRule2 rule;
    if (!reply.record(0, &rule))
        return -1;
    const CameraSize size{rule.width, rule.height};
    const JsonPtr answer = json_new_object();
    json_object *lines = lines_json(rule.lines, size);
    for (int index = 0; index < kVcaLines; ++index) {
        json_object *line = json_array_item(lines, static_cast<size_t>(index));
        json_add_int(line, "enable", rule.lines[index].enable);
        json_object *subs = json_object_new_array();
        for (const vca_point_line &sub : rule.lines[index].sub_lines)
            json_object_array_add(subs, position_json(sub, size, false));
        json_object_object_add(line, "subLines", subs);
    }
    json_object_object_add(answer.get(), "line", lines);
    wire_add_fields(answer.get(), &rule, wire_layout(kLine2ReplyList, sizeof rule));
    return vca_answer_json(answer.get());
}

int answer_people(const ReplyReader &reply)
{
    static People rule;
    if (!reply.record(0, &rule))
        return -1;
    const CameraSize size{rule.width, rule.height};
    const JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), &rule, wire_layout(kPeopleReplyList, sizeof rule));
    add_line_arrays(answer.get(), reinterpret_cast<const unsigned char *>(rule.lines), sizeof(PeopleLine),
                    kVcaLines, wire_layout(kPeopleLineReplyList, sizeof(PeopleLine)));
    json_object *positions = json_object_new_array();
    for (const PeopleLine &line : rule.lines)
        json_object_array_add(positions, position_json(line, size, true));
    json_object_object_add(answer.get(), "position", positions);
    return vca_answer_json(answer.get());
}

// The settings answer; `sets` boxes of `stride` words (1: one box in a
// row; 8: boxes stored column by column, each shown with the size).
int answer_settings(const ReplyReader &reply, size_t record_size, size_t sets)
{
    const char *bytes = reply.bytes(0, record_size);
    if (bytes == nullptr)
        return -1;
    SettingsHead head;
    memcpy(&head, bytes, sizeof head);
    const CameraSize size{head.width, head.height};
    const JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), bytes, kSettingsReply);
    json_object *positions = json_object_new_array();
    int32_t columns[kBoxSize * kVcaPositionSets];
    memcpy(columns, bytes + offsetof(vca_settings, box), sizeof(int32_t) * kBoxSize * sets);
    for (size_t set = 0; set < sets; ++set) {
        json_object *box = box_json(columns + set, sets, size);
        if (sets > 1) {
            json_add_int(box, "width", head.width);
            json_add_int(box, "height", head.height);
        }
        json_object_array_add(positions, box);
    }
    json_object_object_add(answer.get(), "position", positions);
    return vca_answer_json(answer.get());
}

// The people counting event is switched on with any of its lines.
int store_people_event(const People &rule)
{
    smart_event_record record;
    if (read_smart_event(ZQDB_PATH, &record, rule.chnid, kSmartEventPeopleCount) < 0)
        return -1;
    record.chnid = rule.chnid;
    for (const PeopleLine &line : rule.lines)
        if (line.line_enable != 0)
            record.enable = 1;
    return write_smart_event(ZQDB_PATH, &record, kSmartEventPeopleCount);
}

// What the field table leaves: thresholds, per-line values, positions and
// the schedule.
void fill_people(json_object *request, People *rule)
{
    fill_ints(json_value_array(json_get_member(request, "totalAlarmThreshold")), rule->total_alarm_threshold,
              4);
    fill_line_arrays(request, reinterpret_cast<unsigned char *>(rule->lines), sizeof(PeopleLine), kVcaLines,
                     wire_layout(kPeopleLineSetList, sizeof(PeopleLine)));
    json_object *thresholds = json_value_array(json_get_member(request, "alarmThreshold"));
    json_object *positions = json_value_array(json_get_member(request, "position"));
    for (size_t index = 0; index < static_cast<size_t>(kVcaLines); ++index) {
        fill_ints(json_value_array(json_array_item(thresholds, index)), rule->lines[index].alarm_threshold,
                  4);
        if (index < json_array_size(positions)) {
            LinePoints points{};
            vca_parse_position(json_value_text(json_array_item(positions, index)), points.values);
            set_points(&rule->lines[index], points);
        }
    }
    get_schedule_by_json_ipc(request, "effective", &rule->effective);
}

// The lines of a line rule, converted with the request's size.
bool complete_line(json_object *request, unsigned char *rule)
{
    fill_lines(request, reinterpret_cast<LineRule *>(rule)->lines, request_size(request));
    return true;
}

// The lines, and the sub-lines of a multi-segment line ("lineType" 2).
bool complete_line2(json_object *request, unsigned char *rule)
{
    auto *line = reinterpret_cast<LineRule2 *>(rule);
    const CameraSize size = request_size(request);
    fill_lines(request, line->lines, size);
    if (line->line_type == 2)
        fill_sub_lines(request, line->lines, size);
    return true;
}

// The per-line values and thresholds, then the people counting event.
bool complete_people(json_object *request, unsigned char *rule)
{
    auto *people = reinterpret_cast<People *>(rule);
    fill_people(request, people);
    return store_people_event(*people) == 0;
}

constexpr VcaSetter kLineSetter{kMsgSetVcaLine,
                                sizeof(LineRule),
                                wire_layout(kLineSetList, sizeof(LineRule)),
                                nullptr,
                                offsetof(LineRule, copy_channels),
                                kSmartEventLineCrossing,
                                kRespText,
                                false,
                                complete_line};
constexpr VcaSetter kLine2Setter{kMsgSetVcaLine2,
                                 sizeof(LineRule2),
                                 wire_layout(kLine2SetList, sizeof(LineRule2)),
                                 nullptr,
                                 offsetof(LineRule2, copy_channels),
                                 kSmartEventLineCrossing,
                                 kRespText,
                                 false,
                                 complete_line2};
constexpr VcaSetter kPeopleSetter{kMsgSetVcaPeople,
                                  sizeof(People),
                                  wire_layout(kPeopleSetList, sizeof(People)),
                                  nullptr,
                                  offsetof(People, copy_channels),
                                  kSmartEventPeopleCount,
                                  kRespText,
                                  false,
                                  complete_people};

// A request's channel checked; a bad one gets no answer.
bool rule_channel(json_object *request)
{
    return request != nullptr && camera_channel_valid(json_member_int(request, "chnid", -1));
}

} // namespace

int vca_decode_line_reply(int code, const ReplyReader &reply)
{
    switch (code) {
    case kMsgGetVcaLine + kVcaReplyOffset:
        answer_line(reply);
        return 1;
    case kMsgGetVcaLine2 + kVcaReplyOffset:
        answer_line2(reply);
        return 1;
    case kMsgGetVcaPeople + kVcaReplyOffset:
        answer_people(reply);
        return 1;
    case kMsgGetVcaSettings + kVcaReplyOffset:
        answer_settings(reply, sizeof(vca_settings), 1);
        return 1;
    case kMsgGetVcaSettings2 + kVcaReplyOffset:
        answer_settings(reply, sizeof(vca_settings2), kVcaPositionSets);
        return 1;
    default:
        return 0;
    }
}

int on_get_vca_line(char *text) { return vca_get_rule_text(text, kMsgGetVcaLine); }
int on_get_ipc_vca_line2(char *text) { return vca_get_rule_text(text, kMsgGetVcaLine2); }
int on_get_vca_people(char *text) { return vca_get_rule_text(text, kMsgGetVcaPeople); }
int on_get_vca_settings(char *text) { return vca_get_rule_text(text, kMsgGetVcaSettings); }
int on_get_ipc_vca_settings2(char *text) { return vca_get_rule_text(text, kMsgGetVcaSettings2); }

int on_set_vca_line(char *text) { return vca_set_rule_text(text, kLineSetter); }
int on_set_ipc_vca_line2(char *text) { return vca_set_rule_text(text, kLine2Setter); }
int on_set_vca_people(char *text) { return vca_set_rule_text(text, kPeopleSetter); }

int on_set_vca_settings(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!rule_channel(request.get()))
        return -1;
    vca_settings settings{};
    wire_update(request.get(), kSettingsSet, &settings);
    json_object *position = json_array_item(json_value_array(json_get_member(request.get(), "position")), 0);
    box_to_camera(position, request_size(request.get()), &settings.box.min_start_x, 1);
    return vca_send_rule(kMsgSetVcaSettings, &settings, sizeof settings, kRespJson);
}

int on_set_ipc_vca_settings2(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!rule_channel(request.get()))
        return -1;
    vca_settings2 settings{};
    wire_update(request.get(), kSettingsSet, &settings);
    fill_field_text(settings.copy_channels, sizeof settings.copy_channels,
                    json_member_text(request.get(), "copyChn"));
    json_object *positions = json_value_array(json_get_member(request.get(), "position"));
    const size_t count = std::min(json_array_size(positions), static_cast<size_t>(kVcaPositionSets));
    for (size_t set = 0; set < count; ++set)
        box_to_camera(json_array_item(positions, set), request_size(request.get()), &settings.columns[0][set],
                      kVcaPositionSets);
    return vca_send_rule(kMsgSetVcaSettings2, &settings, sizeof settings, kRespJson);
}
