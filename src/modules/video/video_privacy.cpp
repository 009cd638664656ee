// Privacy masks: the masks stored for each channel, the masks sent to the
// selected cameras and those a camera reports, one mask deleted or put into
// edit mode, and the camera's model type.
#include <cstring>

#include "codecs/channel_db.h"
#include "codecs/event_actions.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/video/video.h"
#include "modules/video/video_osd.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kPrivacyAreaIdMax = 24;

// The keys every mask area shows, its canvas size given.
template <typename Area> json_object *area_object(const Area &area, int width, int height)
{
    json_object *item = json_object_new_object();
    json_add_int(item, "area_id", area.area_id);
    json_add_int(item, "enable", area.enable);
    json_add_int(item, "start_x", area.start_x);
    json_add_int(item, "start_y", area.start_y);
    json_add_int(item, "area_width", area.area_width);
    json_add_int(item, "area_height", area.area_height);
    json_add_int(item, "width", width);
    json_add_int(item, "height", height);
    json_add_int(item, "fill_color", area.fill_color);
    return item;
}

json_object *stored_mask_object(const privacy_mask_record &record)
{
    json_object *entry = json_object_new_object();
    json_add_int(entry, "id", record.id);
    json_object *areas = json_object_new_array();
    for (const privacy_mask_entry &area : record.areas)
        json_object_array_add(areas, area_object(area, area.width, area.height));
    json_object_object_add(entry, "area", areas);
    return entry;
}

void fill_mask_area(json_object *item, privacy_mask_area *area)
{
    const EventIntKey keys[] = {
        {"area_id", &area->area_id},       {"enable", &area->enable},
        {"start_x", &area->start_x},       {"start_y", &area->start_y},
        {"area_width", &area->area_width}, {"area_height", &area->area_height},
        {"fill_color", &area->fill_color}, {"ratio", &area->ratio},
    };
    event_set_ints(item, keys, sizeof keys / sizeof keys[0]);
    event_set_text(item, "name", area->name, sizeof area->name);
}

bool check_privacy_mask_info(json_object *request)
{
    return json_get_member(request, "cnt") != nullptr && json_get_member(request, "area") != nullptr &&
           json_get_member(request, "chnid") != nullptr;
}

void fill_privacy_mask_set(json_object *request, privacy_mask_set *set)
{
    const EventIntKey keys[] = {
        {"enable", &set->enable},
        {"cgiSdkFlag", &set->cgiSdkFlag},
        {"num", &set->num},
        {"areaMaskEnable", &set->areaMaskEnable},
        {"mosaicSupport", &set->mosaicSupport},
        {"mosaicNum", &set->mosaicNum},
    };
    event_set_ints(request, keys, sizeof keys / sizeof keys[0]);
    int del_mask = 0;
    if (json_value_int(json_get_member(request, "delMask"), &del_mask))
        set->delMask = del_mask;
    json_object *areas = json_value_array(json_get_member(request, "area"));
    const int count = clamp_sum(set->num, set->mosaicNum, kPrivacyMaskSetAreas);
    for (int index = 0; index < count; ++index) {
        json_object *item = json_array_item(areas, static_cast<size_t>(index));
        if (json_object_is_type(item, json_type_object))
            fill_mask_area(item, &set->areas[index]);
    }
    memset(set->channels, '0', sizeof set->channels);
    const uint64_t selected = get_copy_flag_by_json(request, "chnid", "cnt");
    for (int chnid = 0; chnid < kCameraChannels; ++chnid)
        if ((selected >> chnid & 1u) != 0)
            set->channels[chnid] = '1';
}

json_object *camera_area_object(const privacy_mask_area &area)
{
    json_object *item = area_object(area, kCanvasWidth, kCanvasHeight);
    json_add_int(item, "left", area.start_x);
    json_add_int(item, "top", area.start_y);
    json_add_int(item, "right", area.area_width);
    json_add_int(item, "bottom", area.area_height);
    json_add_int(item, "ratio", area.ratio);
    json_add_field(item, "name", area.name);
    return item;
}

json_object *camera_mask_object(const ipc_privacy_mask &mask)
{
    json_object *entry = json_object_new_object();
    json_add_int(entry, "id", mask.id);
    json_add_int(entry, "num", mask.num);
    json_add_int(entry, "maxPtzZoomRatio", mask.maxPtzZoomRatio);
    json_add_int(entry, "areaEnable", mask.areaEnable);
    json_add_int(entry, "enable", mask.enable);
    json_add_field(entry, "sdkversion", mask.sdkversion);
    json_add_int(entry, "cgiSdkFlag", mask.cgiSdkFlag);
    json_add_field(entry, "colorList", mask.colorList);
    json_add_int(entry, "mosaicSupport", mask.mosaicSupport);
    json_add_int(entry, "mosaicNum", mask.mosaicNum);
    json_add_int(entry, "colorSupport", mask.colorSupport);
    json_add_int(entry, "maxMaskSum", mask.maxMaskSum);
    json_object *areas = json_object_new_array();
    const int count = clamp_count(mask.maxMaskSum, kPrivacyMaskSetAreas);
    for (int index = 0; index < count; ++index)
        json_object_array_add(areas, camera_area_object(mask.areas[index]));
    json_object_object_add(entry, "area", areas);
    return entry;
}

// The request's {"id": n} to `code`, the reply answered by its decoder.
int relay_camera_id(char *text, int code, int error_kind)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    const int32_t id = json_member_int(request.get(), "id", 0);
    cgi_ipc_request(on_video_ipc_callback, code, sizeof id, &id, error_kind);
    return 0;
}

} // namespace

int on_get_privacy_masks(char * /*text*/)
{
    static privacy_mask_record records[kCameraChannels];
    const int count =
        confdb_read_records(ZQDB_PATH, kRecPrivacyMask, records, sizeof records[0], kCameraChannels, nullptr);
    const JsonPtr reply = json_new_array();
    for (int index = 0; index < count; ++index)
        json_object_array_add(reply.get(), stored_mask_object(records[index]));
    return cgi_write_json(kRespJson, reply.get());
}

int on_set_privacy_mask(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request || !check_privacy_mask_info(request.get()))
        return -1;
    static privacy_mask_set set;
    memset(&set, 0, sizeof set);
    fill_privacy_mask_set(request.get(), &set);
    cgi_ipc_notify(on_video_ipc_callback, kMsgSetPrivacyMask, sizeof set, &set);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_get_privacy_mask_ovf(char *text) { return relay_camera_id(text, kMsgGetIpcPrivacyMask, kRespText); }

int on_get_ipc_model_type(char *text) { return relay_camera_id(text, kMsgGetIpcModelType, kRespText); }

int on_delete_privacy_mask(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    const privacy_mask_ref ref{json_member_int(request.get(), "chan_id", -1),
                               json_member_int(request.get(), "area_id", -1)};
    if (!request || !camera_channel_valid(ref.chnid) || ref.area_id < 0 || ref.area_id > kPrivacyAreaIdMax)
        return cgi_error_to_webserver(kRespJson);
    cgi_ipc_notify(on_video_ipc_callback, kMsgDeletePrivacyMask, sizeof ref, &ref);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_cgi_set_privacy_edit(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return cgi_error_to_webserver(kRespJson);
    const privacy_mask_ref ref{json_member_int(request.get(), "chnid", 0),
                               json_member_int(request.get(), "maskid", 0)};
    cgi_ipc_request(on_video_ipc_callback, kMsgSetPrivacyEdit, sizeof ref, &ref, kRespJson);
    return 0;
}

// A reply without one whole record is no answer.
int on_get_ipc_privacy_mask_cb(const ReplyReader &reply)
{
    const size_t count = reply.count(sizeof(ipc_privacy_mask));
    if (count == 0)
        return -1;
    const JsonPtr answer = json_new_array();
    static ipc_privacy_mask mask;
    for (size_t index = 0; index < count; ++index) {
        reply.record(index, &mask);
        json_object_array_add(answer.get(), camera_mask_object(mask));
    }
    cgi_write_json(kRespJson, answer.get());
    cgi_set_callback_done(1);
    return 0;
}

int on_get_ipc_model_type_cb(const ReplyReader &reply)
{
    if (reply.size() < sizeof(int32_t))
        return -1;
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "result", reply.int32_at(0));
    cgi_write_json(kRespJson, answer.get());
    cgi_set_callback_done(1);
    return 0;
}
