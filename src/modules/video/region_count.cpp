// Regional people counting pages: the camera's counting settings through
// the core daemon, with the recorder-side actions of each region.
#include "codecs/channel_db.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/video/region_count.h"
#include "modules/video/vca_rule_util.h"
#include "modules/video/video.h"

namespace {

using Settings = regional_pcnt_settings;
using Region = regional_pcnt_region;

// The channel asked for: the region actions of the answer are this
// channel's, whatever the reply carries.
int g_regional_chnid = -1;

constexpr WireField kSettingsFieldList[] = {
    WIRE_INT("result", Settings, result),
    WIRE_INT("chnid", Settings, chnid),
    WIRE_INT("sensitivity", Settings, sensitivity),
    WIRE_INT("minObjX", Settings, min_obj_x),
    WIRE_INT("minObjY", Settings, min_obj_y),
    WIRE_INT("minObjWidth", Settings, min_obj_width),
    WIRE_INT("minObjHeight", Settings, min_obj_height),
    WIRE_INT("maxObjX", Settings, max_obj_x),
    WIRE_INT("maxObjY", Settings, max_obj_y),
    WIRE_INT("maxObjWidth", Settings, max_obj_width),
    WIRE_INT("maxObjHeight", Settings, max_obj_height),
};
constexpr WireLayout kSettingsFields = wire_layout(kSettingsFieldList, sizeof(Settings));
// The same without "result", which requests do not carry.
constexpr WireLayout kRequestFields{kSettingsFieldList + 1, kSettingsFields.count - 1, sizeof(Settings)};

constexpr WireField kRegionFieldList[] = {
    WIRE_INT("enable", Region, enable),
    WIRE_TEXT("polygonX", Region, polygon_x),
    WIRE_TEXT("polygonY", Region, polygon_y),
    WIRE_INT("maxStayEnable", Region, max_stay_enable),
    WIRE_INT("maxStayValue", Region, max_stay_value),
    WIRE_INT("minStayEnable", Region, min_stay_enable),
    WIRE_INT("minStayValue", Region, min_stay_value),
    WIRE_INT("maxStayTimeEnable", Region, max_stay_time_enable),
    WIRE_INT("maxStayTimeValue", Region, max_stay_time_value),
};
constexpr WireLayout kRegionFields = wire_layout(kRegionFieldList, sizeof(Region));

// A reply shorter than the settings is no answer.
int answer_settings(const ReplyReader &reply)
{
    static Settings settings;
    if (!reply.record(0, &settings))
        return -1;
    const JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), &settings, kSettingsFields);
    json_object *regions = json_object_new_array();
    for (const Region &region : settings.regions) {
        json_object *entry = json_object_new_object();
        wire_add_fields(entry, &region, kRegionFields);
        json_object_array_add(regions, entry);
    }
    json_object_object_add(answer.get(), "regional", regions);
    json_object_object_add(answer.get(), "effective", get_schedule_json_object_ipc(&settings.effective));
    json_object *actions = json_object_new_array();
    for (int region = 0; region < kRegionalRegions; ++region)
        json_object_array_add(actions, regional_action_json(g_regional_chnid, region));
    json_object_object_add(answer.get(), "action", actions);
    return vca_answer_json(answer.get());
}

// The settings of a request: the integer keys, the regions of
// "regional", the copy text and the camera schedule; what it leaves out is
// 0 or empty.
void fill_settings(json_object *request, Settings *settings)
{
    wire_update(request, kRequestFields, settings);
    json_object *regions = json_value_array(json_get_member(request, "regional"));
    for (int region = 0; region < kRegionalRegions; ++region)
        wire_update(json_array_item(regions, region), kRegionFields, &settings->regions[region]);
    if (const char *copy = json_member_text(request, "copyChn"))
        fill_field_text(settings->copy_channels, sizeof settings->copy_channels, copy);
    get_schedule_by_json_ipc(request, "effective", &settings->effective);
}

// Element r of "action" is the dialog of region r; false when a database
// write failed.
bool save_actions(json_object *request, int chnid)
{
    json_object *actions = json_value_array(json_get_member(request, "action"));
    for (int region = 0; region < kRegionalRegions; ++region)
        if (save_regional_action(json_array_item(actions, region), chnid, region) < 0)
            return false;
    return true;
}

// {"chnid"} of a request, 0..63; anything else gets no answer.
bool request_channel(json_object *request, int *chnid)
{
    *chnid = json_member_int(request, "chnid", -1);
    return request != nullptr && camera_channel_valid(*chnid);
}

} // namespace

int on_cgi_get_ipc_regional_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int chnid = -1;
    if (!request_channel(request.get(), &chnid))
        return -1;
    g_regional_chnid = chnid;
    const int32_t payload = chnid;
    cgi_ipc_request(on_video_ipc_callback, kMsgGetRegionalPcnt, sizeof payload, &payload, kRespJson);
    return 0;
}

// The region actions are stored first; a failed write answers the text
// error and the camera is not told.
int on_cgi_set_ipc_regional_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int chnid = -1;
    if (!request_channel(request.get(), &chnid))
        return -1;
    static Settings settings;
    settings = Settings{};
    fill_settings(request.get(), &settings);
    settings.chnid = chnid;
    if (!save_actions(request.get(), chnid))
        return cgi_error_to_webserver(kRespText);
    cgi_ipc_request(on_video_ipc_callback, kMsgSetRegionalPcnt, sizeof settings, &settings, kRespText);
    return 0;
}

int region_count_decode_reply(int code, const ReplyReader &reply)
{
    switch (code) {
    case kReplyGetRegionalPcnt:
        answer_settings(reply);
        return 1;
    case kReplySetRegionalPcnt:
        vca_answer_status(reply);
        return 1;
    default:
        return 0;
    }
}
