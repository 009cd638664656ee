// The camera side of licence plate recognition: the recognition settings,
// the plate wildcards, the recognition state and support of a camera,
// relayed through the core daemon; and their reply decoders.
#include <algorithm>
#include <cstring>

#include "codecs/channel_db.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/video/anpr.h"
#include "modules/video/vca_rule_util.h"
#include "modules/video/video.h"

namespace {

using Settings = anpr_settings;

// Settings in answer order, up to the region texts.
constexpr WireField kSettingsHeadList[] = {
    WIRE_INT("chnid", Settings, chnid),
    WIRE_INT("enable", Settings, enable),
    WIRE_INT("resolution_width", Settings, resolution_width),
    WIRE_INT("resolution_height", Settings, resolution_height),
    WIRE_INT("area_x", Settings, area_x),
    WIRE_INT("area_y", Settings, area_y),
    WIRE_INT("area_width", Settings, area_width),
    WIRE_INT("area_height", Settings, area_height),
    WIRE_INT("day_night_mode_enable", Settings, day_night_mode_enable),
    WIRE_INT("scene", Settings, scene),
    WIRE_INT("direction_enable", Settings, direction_enable),
    WIRE_INT("region_enable", Settings, region_enable),
    WIRE_INT("roiid_enable", Settings, roiid_enable),
    WIRE_INT("process_mode", Settings, process_mode),
    WIRE_INT("repeat_check_time_value", Settings, repeat_check_time_value),
    WIRE_INT("repeat_check_time_unit", Settings, repeat_check_time_unit),
    WIRE_INT("post_enable", Settings, post_enable),
    WIRE_INT("post_type", Settings, post_type),
    WIRE_INT("post_tcp_port", Settings, post_tcp_port),
    WIRE_TEXT("post_http_user", Settings, post_http_user),
    WIRE_TEXT("post_http_password", Settings, post_http_password),
    WIRE_TEXT("post_http_url", Settings, post_http_url),
    WIRE_INT("confidence", Settings, confidence),
    WIRE_INT("night_mode_enable", Settings, night_mode_enable),
    WIRE_INT("night_mode_level", Settings, night_mode_level),
    WIRE_INT("night_mode_starthour", Settings, night_mode_starthour),
    WIRE_INT("night_mode_startminute", Settings, night_mode_startminute),
    WIRE_INT("night_mode_stophour", Settings, night_mode_stophour),
    WIRE_INT("night_mode_stopminute", Settings, night_mode_stopminute),
    WIRE_INT("night_mode_effective_mode", Settings, night_mode_effective_mode),
};
constexpr WireLayout kSettingsHead = wire_layout(kSettingsHeadList, sizeof(Settings));

constexpr WireField kSettingsMiddleList[] = {
    WIRE_TEXT("cur_area", Settings, cur_area),
    WIRE_INT("in_night_mode", Settings, in_night_mode),
};
constexpr WireLayout kSettingsMiddle = wire_layout(kSettingsMiddleList, sizeof(Settings));

constexpr WireField kSettingsTailList[] = {
    WIRE_INT("platecolorEnable", Settings, platecolor_enable),
    WIRE_INT("vehicletypeEnable", Settings, vehicletype_enable),
    WIRE_INT("vehiclecolorEnable", Settings, vehiclecolor_enable),
    WIRE_INT("jsonSupport", Settings, json_support),
    WIRE_INT("irLedExternalSupport", Settings, ir_led_external_support),
    WIRE_INT("vehicleEnhancement", Settings, vehicle_enhancement),
    WIRE_INT("vehicleBrandEnable", Settings, vehicle_brand_enable),
    WIRE_INT("aitype", Settings, aitype),
};
constexpr WireLayout kSettingsTail = wire_layout(kSettingsTailList, sizeof(Settings));

constexpr WireField kRoiList[] = {
    WIRE_TEXT("name", anpr_roi, name),     WIRE_INT("startX", anpr_roi, start_x),
    WIRE_INT("startY", anpr_roi, start_y), WIRE_INT("endX", anpr_roi, end_x),
    WIRE_INT("endY", anpr_roi, end_y),
};
// The preset boxes answer their last key in lower case.
constexpr WireField kPresetList[] = {
    WIRE_TEXT("name", anpr_roi, name),     WIRE_INT("startX", anpr_roi, start_x),
    WIRE_INT("startY", anpr_roi, start_y), WIRE_INT("endX", anpr_roi, end_x),
    WIRE_INT("endy", anpr_roi, end_y),
};
constexpr WireField kPolygonList[] = {
    WIRE_TEXT("name", anpr_polygon, name),
    WIRE_TEXT("polygonX", anpr_polygon, polygon_x),
    WIRE_TEXT("polygonY", anpr_polygon, polygon_y),
};

constexpr WireList kRois{wire_layout(kRoiList, sizeof(anpr_roi)), offsetof(Settings, roi), kAnprRois,
                         sizeof(anpr_roi)};
constexpr WireGrid kPresets{{wire_layout(kPresetList, sizeof(anpr_roi)), 0, kAnprRois, sizeof(anpr_roi)},
                            offsetof(Settings, preset),
                            kAnprPresets,
                            sizeof(anpr_roi) * kAnprRois};
constexpr WireList kPolygons{wire_layout(kPolygonList, sizeof(anpr_polygon)),
                             offsetof(Settings, normal_polygons), kAnprPolygons, sizeof(anpr_polygon)};

constexpr WireField kWildcardHeadList[] = {
    WIRE_INT("chnid", anpr_wildcards, chnid),
    WIRE_INT("filter", anpr_wildcards, filter),
    WIRE_INT("maxPlateCharNum", anpr_wildcards, max_plate_char_num),
};
constexpr WireLayout kWildcardHead = wire_layout(kWildcardHeadList, sizeof(anpr_wildcards));

constexpr WireField kStateList[] = {
    WIRE_INT("chnid", anpr_state, chnid),
    WIRE_INT("state", anpr_state, state),
    WIRE_INT("zoomNumber", anpr_state, zoom_number),
};
constexpr WireField kSupportList[] = {
    WIRE_INT("vca_support", anpr_support, vca_support),
    WIRE_INT("vca_version", anpr_support, vca_version),
};

// Replies answered field by field from one record.
struct AnprRecordReply {
    int code;
    WireLayout fields;
};
constexpr AnprRecordReply kRecordReplies[] = {
    {kMsgGetAnprState + kAnprReplyOffset, wire_layout(kStateList, sizeof(anpr_state))},
    {kMsgGetAnprSupport + kAnprReplyOffset, wire_layout(kSupportList, sizeof(anpr_support))},
};

json_object *region_texts(const Settings &settings)
{
    json_object *texts = json_object_new_array();
    for (const auto &text : settings.region)
        json_object_array_add(texts, json_field_string(text, sizeof text));
    return texts;
}

int answer_settings(const ReplyReader &reply)
{
    const char *bytes = reply.bytes(0, sizeof(Settings));
    if (bytes == nullptr)
        return -1;
    Settings settings;
    memcpy(&settings, bytes, sizeof settings);
    const ReplyReader record(bytes, sizeof settings);
    const JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), &settings, kSettingsHead);
    json_object_object_add(answer.get(), "region", region_texts(settings));
    wire_add_fields(answer.get(), &settings, kSettingsMiddle);
    json_object_object_add(answer.get(), "roi", wire_list_json(record, kRois));
    json_object_object_add(answer.get(), "preset", wire_grid_json(record, kPresets));
    wire_add_fields(answer.get(), &settings, kSettingsTail);
    if (settings.json_support != 0 && on_cgi_is_zq_lpr(settings.aitype))
        json_object_object_add(answer.get(), "normalPolygons", wire_list_json(record, kPolygons));
    return vca_answer_json(answer.get());
}

int answer_wildcards(const ReplyReader &reply)
{
    anpr_wildcards wildcards;
    if (!reply.record(0, &wildcards))
        return -1;
    const JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), &wildcards, kWildcardHead);
    json_object *list = json_object_new_array();
    for (int index = 0; index < kAnprWildcards; ++index) {
        json_object *entry = json_object_new_object();
        json_add_int(entry, "enable", wildcards.enable[index]);
        json_add_int(entry, "cr_count", wildcards.cr_count[index]);
        json_object_object_add(entry, "format",
                               json_field_string(wildcards.format[index], sizeof wildcards.format[index]));
        json_object_array_add(list, entry);
    }
    json_object_object_add(answer.get(), "wildcards", list);
    return vca_answer_json(answer.get());
}

// Entry i takes the keys that element i of `items` holds (objects only),
// for at most the list's entries.
void update_list(json_object *items, const WireList &list, unsigned char *record)
{
    const size_t count = std::min(json_array_size(items), list.count);
    for (size_t index = 0; index < count; ++index)
        wire_update(json_array_item(items, index), list.entry, record + list.base + index * list.stride);
}

void fill_settings(json_object *request, Settings *settings)
{
    auto *bytes = reinterpret_cast<unsigned char *>(settings);
    wire_update(request, kSettingsHead, settings);
    wire_update(request, kSettingsMiddle, settings);
    wire_update(request, kSettingsTail, settings);
    json_object *regions = json_value_array(json_get_member(request, "region"));
    const size_t count = std::min(json_array_size(regions), static_cast<size_t>(kAnprRegions));
    for (size_t index = 0; index < count; ++index)
        if (const char *text = json_value_text(json_array_item(regions, index)))
            fill_field_text(settings->region[index], sizeof settings->region[index], text);
    update_list(json_value_array(json_get_member(request, "roi")), kRois, bytes);
    json_object *presets = json_value_array(json_get_member(request, "preset"));
    const size_t groups = std::min(json_array_size(presets), static_cast<size_t>(kAnprPresets));
    for (size_t group = 0; group < groups; ++group) {
        WireList row = kPresets.row;
        row.base += kPresets.base + group * kPresets.row_stride;
        update_list(json_value_array(json_array_item(presets, group)), row, bytes);
    }
    update_list(json_value_array(json_get_member(request, "normalPolygons")), kPolygons, bytes);
}

// The wildcard setting of `source` for channel `chnid`: up to nine
// wildcards, formats cut to 15 characters.
void fill_wildcards(json_object *source, int chnid, anpr_wildcards *wildcards)
{
    *wildcards = anpr_wildcards{};
    wire_update(source, kWildcardHead, wildcards);
    wildcards->chnid = chnid;
    json_object *list = json_value_array(json_get_member(source, "wildcards"));
    const size_t count = std::min(json_array_size(list), static_cast<size_t>(kAnprWildcards));
    for (size_t index = 0; index < count; ++index) {
        json_object *entry = json_array_item(list, index);
        wildcards->enable[index] = json_member_int(entry, "enable", 0);
        wildcards->cr_count[index] = json_member_int(entry, "cr_count", 0);
        if (const char *format = json_member_text(entry, "format"))
            fill_field_text(wildcards->format[index], sizeof wildcards->format[index], format);
    }
}

// {"chnid"} of a camera query or setter: 0..63, else -1.
int request_channel(json_object *request)
{
    const int chnid = json_member_int(request, "chnid", -1);
    return camera_channel_valid(chnid) ? chnid : -1;
}

int anpr_query(const char *text, int code)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    const int32_t chnid = request_channel(request.get());
    if (chnid < 0)
        return cgi_error_to_webserver(kRespJson);
    return vca_send_rule(code, &chnid, sizeof chnid, kRespJson);
}

} // namespace

int anpr_decode_reply(int code, const ReplyReader &reply)
{
    for (const AnprRecordReply &record : kRecordReplies)
        if (record.code == code) {
            const char *bytes = reply.bytes(0, record.fields.record_size);
            if (bytes != nullptr) {
                const JsonPtr answer = json_new_object();
                wire_add_fields(answer.get(), bytes, record.fields);
                vca_answer_json(answer.get());
            }
            return 1;
        }
    switch (code) {
    case kMsgGetAnprSettings + kAnprReplyOffset:
        answer_settings(reply);
        return 1;
    case kMsgGetAnprWildcards + kAnprReplyOffset:
        answer_wildcards(reply);
        return 1;
    case kMsgSetAnprSettings + kAnprReplyOffset:
    case kMsgSetAnprWildcards + kAnprReplyOffset:
        vca_answer_status(reply);
        return 1;
    default:
        return 0;
    }
}

int on_get_anpr_settings(char *text) { return anpr_query(text, kMsgGetAnprSettings); }
int on_get_anpr_support_anpr(char *text) { return anpr_query(text, kMsgGetAnprSupport); }
int on_get_ipc_anpr_wildcards(char *text) { return anpr_query(text, kMsgGetAnprWildcards); }
int on_get_ipc_anpr_state(char *text) { return anpr_query(text, kMsgGetAnprState); }

int on_set_ipc_anpr_wildcards(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    const int chnid = request_channel(request.get());
    if (chnid < 0)
        return cgi_error_to_webserver(kRespText);
    anpr_wildcards wildcards;
    fill_wildcards(request.get(), chnid, &wildcards);
    return vca_send_rule(kMsgSetAnprWildcards, &wildcards, sizeof wildcards, kRespText);
}

// The wildcard part ("formatData" when it is an object, else the request
// itself) goes first without a wait; the settings wait for their answer.
int on_set_anpr_settings(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    const int chnid = request_channel(request.get());
    if (chnid < 0)
        return cgi_error_to_webserver(kRespText);
    json_object *format = json_get_member(request.get(), "formatData");
    json_object *source = json_object_is_type(format, json_type_object) ? format : request.get();
    anpr_wildcards wildcards;
    fill_wildcards(source, chnid, &wildcards);
    cgi_ipc_notify(on_video_ipc_callback, kMsgSetAnprWildcards, sizeof wildcards, &wildcards);
    static Settings settings;
    settings = Settings{};
    fill_settings(request.get(), &settings);
    settings.chnid = chnid;
    return vca_send_rule(kMsgSetAnprSettings, &settings, sizeof settings, kRespText);
}
