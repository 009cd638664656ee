// Smart analytics rules of the region kinds (entrance, exit, advanced motion,
// tamper, loitering, human detection) and of objects left or removed, the
// support query and the people counter reset. Each rule layout is a field
// table; the four regions and their polygons are walked by the bounds of
// the record, whatever the request holds.
#include <algorithm>
#include <cstring>

#include "codecs/channel_db.h"
#include "codecs/channel_mask.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "front/web_utils.h"
#include "modules/video/vca.h"
#include "modules/video/vca_rule_util.h"

namespace {

using Rule = vca_rule;
using LeftRemove = vca_left_remove;

// Request fields of the rule kinds sharing the 4480-byte layout.
#define VCA_RULE_HEAD                                                                                        \
    WIRE_INT("chnid", Rule, chnid), WIRE_INT("enable", Rule, enable),                                        \
        WIRE_INT("sensitivity", Rule, sensitivity), WIRE_INT("objtype", Rule, objtype),                      \
        WIRE_TEXT("region", Rule, region), WIRE_TEXT("polygonX", Rule, polygon_x),                           \
        WIRE_TEXT("polygonY", Rule, polygon_y), WIRE_INT("regionType", Rule, region_type),                   \
        WIRE_INT("regionScene", Rule, region_scene), WIRE_TEXT("copyChn", Rule, copy_channels)

constexpr WireField kRegionSetList[] = {VCA_RULE_HEAD};
constexpr WireField kMotionSetList[] = {VCA_RULE_HEAD, WIRE_INT("ignore_time", Rule, ignore_time)};
constexpr WireField kLoiteringSetList[] = {VCA_RULE_HEAD, WIRE_INT("time", Rule, time),
                                           WIRE_INT("size", Rule, size)};
constexpr WireField kTamperSetList[] = {WIRE_INT("chnid", Rule, chnid), WIRE_INT("enable", Rule, enable),
                                        WIRE_INT("sensitivity", Rule, sensitivity),
                                        WIRE_TEXT("copyChn", Rule, copy_channels)};
constexpr WireField kHumanSetList[] = {WIRE_INT("chnid", Rule, chnid), WIRE_INT("enable", Rule, enable),
                                       WIRE_INT("tracks", Rule, tracks),
                                       WIRE_TEXT("copyChn", Rule, copy_channels)};
constexpr WireField kLeftRemoveSetList[] = {
    WIRE_INT("chnid", LeftRemove, chnid),
    WIRE_INT("left_enable", LeftRemove, left_enable),
    WIRE_INT("remove_enable", LeftRemove, remove_enable),
    WIRE_INT("min_time", LeftRemove, min_time),
    WIRE_INT("sensitivity", LeftRemove, sensitivity),
    WIRE_TEXT("region", LeftRemove, region),
    WIRE_TEXT("polygonX", LeftRemove, polygon_x),
    WIRE_TEXT("polygonY", LeftRemove, polygon_y),
    WIRE_INT("regionType", LeftRemove, region_type),
    WIRE_INT("regionScene", LeftRemove, region_scene),
    WIRE_TEXT("copyChn", LeftRemove, copy_channels),
};

// Reply fields, in answer order.
constexpr WireField kRegionReplyList[] = {
    WIRE_TEXT("region", Rule, region),          WIRE_INT("enable", Rule, enable),
    WIRE_INT("sensitivity", Rule, sensitivity), WIRE_INT("objtype", Rule, objtype),
    WIRE_TEXT("polygonX", Rule, polygon_x),     WIRE_TEXT("polygonY", Rule, polygon_y),
};
constexpr WireField kMotionReplyList[] = {
    WIRE_TEXT("region", Rule, region),          WIRE_INT("enable", Rule, enable),
    WIRE_INT("sensitivity", Rule, sensitivity), WIRE_INT("ignore_time", Rule, ignore_time),
    WIRE_INT("objtype", Rule, objtype),         WIRE_TEXT("polygonX", Rule, polygon_x),
    WIRE_TEXT("polygonY", Rule, polygon_y),
};
constexpr WireField kLoiteringReplyList[] = {
    WIRE_TEXT("region", Rule, region),      WIRE_INT("enable", Rule, enable),
    WIRE_INT("time", Rule, time),           WIRE_INT("size", Rule, size),
    WIRE_INT("objtype", Rule, objtype),     WIRE_TEXT("polygonX", Rule, polygon_x),
    WIRE_TEXT("polygonY", Rule, polygon_y),
};
constexpr WireField kTamperReplyList[] = {WIRE_INT("enable", Rule, enable),
                                          WIRE_INT("sensitivity", Rule, sensitivity)};
constexpr WireField kHumanReplyList[] = {WIRE_INT("enable", Rule, enable), WIRE_INT("tracks", Rule, tracks)};
constexpr WireField kLeftRemoveReplyList[] = {
    WIRE_TEXT("region", LeftRemove, region),
    WIRE_INT("left_enable", LeftRemove, left_enable),
    WIRE_INT("remove_enable", LeftRemove, remove_enable),
    WIRE_INT("min_time", LeftRemove, min_time),
    WIRE_INT("sensitivity", LeftRemove, sensitivity),
    WIRE_TEXT("polygonX", LeftRemove, polygon_x),
    WIRE_TEXT("polygonY", LeftRemove, polygon_y),
};

// Region headers (offsets within a region) and the polygon texts.
constexpr WireField kRegionHeadList[] = {WIRE_SLOT("enable", 0), WIRE_SLOT("time", 2),
                                         WIRE_SLOT("objType", 3)};
constexpr WireField kLeftRemoveHeadList[] = {WIRE_SLOT("leftEnable", 0), WIRE_SLOT("removeEnable", 1)};
constexpr WireField kPolygonList[] = {WIRE_SLOT_TEXT("polygonX", 0, kVcaPolygonTextSize),
                                      WIRE_SLOT_TEXT("polygonY", 16, kVcaPolygonTextSize)};
constexpr WireLayout kPolygon = wire_layout(kPolygonList, 2 * kVcaPolygonTextSize);

constexpr VcaRegions kRuleRegions{offsetof(Rule, region_type), offsetof(Rule, regions),
                                  wire_layout(kRegionHeadList, kVcaRegionSize)};
constexpr VcaRegions kLeftRemoveRegions{offsetof(LeftRemove, region_type), offsetof(LeftRemove, regions),
                                        wire_layout(kLeftRemoveHeadList, kVcaRegionSize)};

constexpr VcaSetter kRegionSetter{kMsgSetVcaRegionEntrance,
                                  sizeof(Rule),
                                  wire_layout(kRegionSetList, sizeof(Rule)),
                                  &kRuleRegions,
                                  offsetof(Rule, copy_channels),
                                  -1,
                                  kRespText};
constexpr VcaSetter kMotionSetter{kMsgSetVcaMotion,
                                  sizeof(Rule),
                                  wire_layout(kMotionSetList, sizeof(Rule)),
                                  &kRuleRegions,
                                  offsetof(Rule, copy_channels),
                                  -1,
                                  kRespText};
constexpr VcaSetter kLoiteringSetter{kMsgSetVcaLoitering,
                                     sizeof(Rule),
                                     wire_layout(kLoiteringSetList, sizeof(Rule)),
                                     &kRuleRegions,
                                     offsetof(Rule, copy_channels),
                                     -1,
                                     kRespText};
constexpr VcaSetter kTamperSetter{kMsgSetVcaTamper,
                                  sizeof(Rule),
                                  wire_layout(kTamperSetList, sizeof(Rule)),
                                  nullptr,
                                  offsetof(Rule, copy_channels),
                                  -1,
                                  kRespText};
constexpr VcaSetter kHumanSetter{kMsgSetVcaHuman,
                                 sizeof(Rule),
                                 wire_layout(kHumanSetList, sizeof(Rule)),
                                 nullptr,
                                 offsetof(Rule, copy_channels),
                                 -1,
                                 kRespText};
constexpr VcaSetter kLeftRemoveSetter{kMsgSetVcaLeftRemove,
                                      sizeof(LeftRemove),
                                      wire_layout(kLeftRemoveSetList, sizeof(LeftRemove)),
                                      &kLeftRemoveRegions,
                                      offsetof(LeftRemove, copy_channels),
                                      kSmartEventLeftRemove,
                                      kRespJson,
                                      true};

// Replies answered field by field from one record.
struct VcaRecordReply {
    int code;
    WireLayout fields;
};
constexpr VcaRecordReply kRecordReplies[] = {
    {kMsgGetVcaRegionEntrance + kVcaReplyOffset, wire_layout(kRegionReplyList, sizeof(Rule))},
    {kMsgGetVcaRegionExit + kVcaReplyOffset, wire_layout(kRegionReplyList, sizeof(Rule))},
    {kMsgGetVcaMotion + kVcaReplyOffset, wire_layout(kMotionReplyList, sizeof(Rule))},
    {kMsgGetVcaTamper + kVcaReplyOffset, wire_layout(kTamperReplyList, sizeof(Rule))},
    {kMsgGetVcaLoitering + kVcaReplyOffset, wire_layout(kLoiteringReplyList, sizeof(Rule))},
    {kMsgGetVcaHuman + kVcaReplyOffset, wire_layout(kHumanReplyList, sizeof(Rule))},
    {kMsgGetVcaLeftRemove + kVcaReplyOffset, wire_layout(kLeftRemoveReplyList, sizeof(LeftRemove))},
};

// Set messages whose reply is a status word.
constexpr int kStatusReplies[] = {kMsgSetVcaRegionEntrance, kMsgSetVcaRegionExit, kMsgSetVcaMotion,
                                  kMsgSetVcaTamper,         kMsgSetVcaLine,       kMsgSetVcaLoitering,
                                  kMsgSetVcaHuman,          kMsgSetVcaPeople,     kMsgSetVcaSettings,
                                  kMsgClearPeopleCount,     kMsgSetVcaLeftRemove, kMsgSetVcaLine2,
                                  kMsgSetVcaSettings2};

int answer_record(const ReplyReader &reply, const WireLayout &fields)
{
    const char *record = reply.bytes(0, fields.record_size);
    if (record == nullptr)
        return -1;
    const JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), record, fields);
    return vca_answer_json(answer.get());
}

int answer_support(const ReplyReader &reply)
{
    vca_support support;
    if (!reply.record(0, &support))
        return -1;
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "support", support.support);
    json_add_int(answer.get(), "type", support.type);
    return vca_answer_json(answer.get());
}

} // namespace

int vca_decode_reply(int code, const ReplyReader &reply)
{
    for (const VcaRecordReply &record : kRecordReplies)
        if (record.code == code) {
            answer_record(reply, record.fields);
            return 1;
        }
    for (const int set_code : kStatusReplies)
        if (set_code + kVcaReplyOffset == code) {
            vca_answer_status(reply);
            return 1;
        }
    if (code == kMsgGetVcaSupport + kVcaReplyOffset) {
        answer_support(reply);
        return 1;
    }
    return vca_decode_line_reply(code, reply);
}

int on_get_vca_region(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    const bool exit = json_member_int(request.get(), "type", 0) != 0;
    return vca_get_rule(request.get(), exit ? kMsgGetVcaRegionExit : kMsgGetVcaRegionEntrance);
}

int on_set_vca_region(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    VcaSetter setter = kRegionSetter;
    if (json_member_int(request.get(), "type", 0) != 0)
        setter.code = kMsgSetVcaRegionExit;
    return vca_set_rule(request.get(), setter);
}

int on_get_vca_motion(char *text) { return vca_get_rule_text(text, kMsgGetVcaMotion); }
int on_set_vca_motion(char *text) { return vca_set_rule_text(text, kMotionSetter); }
int on_get_vca_tamper(char *text) { return vca_get_rule_text(text, kMsgGetVcaTamper); }
int on_set_vca_tamper(char *text) { return vca_set_rule_text(text, kTamperSetter); }
int on_get_vca_loitering(char *text) { return vca_get_rule_text(text, kMsgGetVcaLoitering); }
int on_set_vca_loitering(char *text) { return vca_set_rule_text(text, kLoiteringSetter); }
int on_get_vca_human(char *text) { return vca_get_rule_text(text, kMsgGetVcaHuman); }
int on_set_vca_human(char *text) { return vca_set_rule_text(text, kHumanSetter); }
int on_get_vca_leftremove(char *text) { return vca_get_rule_text(text, kMsgGetVcaLeftRemove); }
int on_set_vca_leftremove(char *text) { return vca_set_rule_text(text, kLeftRemoveSetter); }
int on_get_vca_support(char *text) { return vca_get_rule_text(text, kMsgGetVcaSupport); }

int on_vca_clear_people_count(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    vca_people_reset reset{};
    reset.chnid = json_member_int(request.get(), "channel", -1);
    if (!camera_channel_valid(reset.chnid))
        return cgi_error_to_webserver(kRespJson);
    reset.line = json_member_int(request.get(), "line", 0);
    reset.resetdb = json_member_int(request.get(), "resetdb", 0);
    return vca_send_rule(kMsgClearPeopleCount, &reset, sizeof reset, kRespJson);
}

// Only the polygons the region type allows are taken: the first of each
// region for a type of 1 or less, else up to five.
void vca_fill_regions(json_object *request, const VcaRegions &regions, unsigned char *record)
{
    int32_t region_type = 0;
    memcpy(&region_type, record + regions.type_offset, sizeof region_type);
    json_object *infos = json_value_array(json_get_member(request, "regionInfo"));
    if (region_type == 0 || infos == nullptr)
        return;
    const size_t polygons = region_type <= 1 ? 1 : kVcaPolygons;
    const size_t count = std::min(json_array_size(infos), static_cast<size_t>(kVcaRegions));
    for (size_t index = 0; index < count; ++index) {
        json_object *info = json_array_item(infos, index);
        if (!json_object_is_type(info, json_type_object))
            continue;
        unsigned char *region = record + regions.base + index * kVcaRegionSize;
        wire_update(info, regions.head, region);
        json_object *list = json_value_array(json_get_member(info, "region"));
        const size_t taken = std::min(json_array_size(list), polygons);
        for (size_t polygon = 0; polygon < taken; ++polygon) {
            json_object *item = json_array_item(list, polygon);
            if (json_object_is_type(item, json_type_object))
                wire_update(item, kPolygon, region + kVcaRegionPolygons + polygon * kVcaPolygonStride);
        }
    }
}
