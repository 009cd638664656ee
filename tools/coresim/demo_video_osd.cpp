// OSD, privacy masks and video loss of the demo device: each camera keeps
// its own OSD configuration and privacy masks, which the pages change and
// read back; cameras that do not answer report themselves disconnected.
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "demo.h"
#include "modules/video/osd_records.h"
#include "modules/video/videoloss_records.h"

namespace {

constexpr int kDemoMaskSum = 4;

struct DemoCamera {
    osd_config osd;
    ipc_privacy_mask masks;
};

std::map<int32_t, DemoCamera> g_cameras; // by channel

DemoCamera &camera_of(int32_t chnid)
{
    auto found = g_cameras.find(chnid);
    if (found != g_cameras.end())
        return found->second;
    DemoCamera camera{};
    camera.osd.ch = chnid;
    camera.osd.enable_text = 1;
    snprintf(camera.osd.text_name, sizeof camera.osd.text_name, "CAM%d", chnid + 1);
    camera.osd.textpos = 1;
    camera.osd.enable_date = 1;
    camera.osd.datepos = 2;
    camera.osd.fontSize = 2;
    camera.osd.fontSizeSub = 1;
    ipc_privacy_mask &masks = camera.masks;
    masks.id = chnid;
    snprintf(masks.sdkversion, sizeof masks.sdkversion, "V2.4.1");
    masks.maxPtzZoomRatio = 1;
    snprintf(masks.colorList, sizeof masks.colorList, "0,1,2,3");
    masks.colorSupport = 1;
    masks.maxMaskSum = kDemoMaskSum;
    for (int index = 0; index < kDemoMaskSum; ++index)
        masks.areas[index].area_id = index;
    return g_cameras.emplace(chnid, camera).first->second;
}

bool channel_of(const CoreMessage &request, int32_t *chnid)
{
    return demo_payload_as(request, chnid) && *chnid >= 0 && *chnid < 64;
}

void on_get_osd(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = 0;
    if (!channel_of(request, &chnid))
        return;
    osd_config osd = camera_of(chnid).osd;
    if (!demo_camera_info(chnid).online)
        osd.ch = -1;
    answer.push_back(AnswerStep::reply(kReplyGetOsdConfig, demo_bytes(&osd, sizeof osd)));
}

// A camera that does not answer cannot take the setting.
void on_set_osd(const CoreMessage &request, Answer &answer)
{
    osd_config sent;
    if (!demo_payload_as(request, &sent) || sent.ch < 0 || sent.ch >= 64)
        return;
    int32_t result = -1;
    if (demo_camera_info(sent.ch).online) {
        camera_of(sent.ch).osd = sent;
        result = 0;
    }
    answer.push_back(AnswerStep::reply(kReplySetOsdConfig, demo_int32s({result})));
}

void on_get_masks(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = 0;
    if (!channel_of(request, &chnid))
        return;
    ipc_privacy_mask masks = camera_of(chnid).masks;
    masks.enable = demo_camera_info(chnid).online ? masks.enable : 0;
    answer.push_back(AnswerStep::reply(kReplyGetIpcPrivacyMask, demo_bytes(&masks, sizeof masks)));
}

void on_set_masks(const CoreMessage &request, Answer &)
{
    static privacy_mask_set sent;
    if (!demo_payload_as(request, &sent))
        return;
    for (int32_t chnid = 0; chnid < 64; ++chnid) {
        if (sent.channels[chnid] != '1')
            continue;
        ipc_privacy_mask &masks = camera_of(chnid).masks;
        masks.enable = sent.enable;
        masks.num = sent.num;
        masks.cgiSdkFlag = sent.cgiSdkFlag;
        masks.areaEnable = sent.areaMaskEnable;
        masks.mosaicSupport = sent.mosaicSupport;
        masks.mosaicNum = sent.mosaicNum;
        // The camera keeps the areas sent; the others are free again.
        const int used = sent.num + sent.mosaicNum;
        for (int index = 0; index < kPrivacyMaskSetAreas; ++index) {
            masks.areas[index] = index < used ? sent.areas[index] : privacy_mask_area{};
            if (index >= used)
                masks.areas[index].area_id = index;
        }
    }
}

void on_delete_mask(const CoreMessage &request, Answer &)
{
    privacy_mask_ref ref;
    if (!demo_payload_as(request, &ref) || ref.chnid < 0 || ref.chnid >= 64 || ref.area_id < 0 ||
        ref.area_id >= kPrivacyMaskSetAreas)
        return;
    privacy_mask_area &area = camera_of(ref.chnid).masks.areas[ref.area_id];
    const int32_t area_id = area.area_id;
    area = privacy_mask_area{};
    area.area_id = area_id;
}

// Model type 1 for a camera that answers, 0 otherwise.
void on_get_model_type(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = 0;
    if (!channel_of(request, &chnid))
        return;
    answer.push_back(
        AnswerStep::reply(kReplyGetIpcModelType, demo_int32s({demo_camera_info(chnid).online ? 1 : 0})));
}

void on_privacy_edit(const CoreMessage &request, Answer &answer)
{
    privacy_mask_ref ref;
    if (!demo_payload_as(request, &ref))
        return;
    const int32_t result = ref.chnid >= 0 && ref.chnid < 64 && demo_camera_info(ref.chnid).online ? 0 : -1;
    answer.push_back(AnswerStep::reply(kReplySetPrivacyEdit, demo_int32s({result})));
}

void ignore(const CoreMessage &, Answer &) {}

const DemoRow kVideoOsdRows[] = {
    {kMsgGetOsdConfig, on_get_osd},          {kMsgSetOsdConfig, on_set_osd},
    {kMsgGetIpcPrivacyMask, on_get_masks},   {kMsgSetPrivacyMask, on_set_masks},
    {kMsgDeletePrivacyMask, on_delete_mask}, {kMsgGetIpcModelType, on_get_model_type},
    {kMsgSetPrivacyEdit, on_privacy_edit},   {kMsgOsdChanged, ignore},
    {kMsgVideoLossChanged, ignore},          {kMsgVideoLossesChanged, ignore},
    {kMsgExceptionsChanged, ignore},         {kMsgExceptionHttpChanged, ignore},
};

} // namespace

NVR_DEMO_ROWS(kVideoOsdRows)
