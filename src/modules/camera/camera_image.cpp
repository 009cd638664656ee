// Camera image settings: enhancement and display, and the generic page
// parameters of a camera's own settings pages.
#include <unistd.h>

#include <cstring>
#include <iterator>

#include "codecs/ipc_common_param.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "front/web_utils.h"
#include "modules/camera/camera.h"

namespace {

using Enhancement = ipc_image_enhancement;
using EnhancementInfo = ipc_image_enhancement_info;

// Rate control changes make the camera restart its encoder; the page
// parameter is sent once it has settled.
constexpr unsigned kRateControlPause = 2;

// ---- Enhancement -------------------------------------------------------

#define ENHANCEMENT_INT(key, member) WIRE_INT(key, Enhancement, member)

// The fields the setter takes, in the block of its request.
const WireField kEnhancementSetFields[] = {
    ENHANCEMENT_INT("smartir", smartir),
    ENHANCEMENT_INT("whiteblance", whiteblance),
    ENHANCEMENT_INT("focusmode", focusmode),
    ENHANCEMENT_INT("antiblurry", antiblurry),
    ENHANCEMENT_INT("wdrenable", wdrenable),
    ENHANCEMENT_INT("wdrlevel", wdrlevel),
    ENHANCEMENT_INT("wdrstarthour", wdrstarthour),
    ENHANCEMENT_INT("wdrstartminute", wdrstartminute),
    ENHANCEMENT_INT("wdrstophour", wdrstophour),
    ENHANCEMENT_INT("wdrstopminute", wdrstopminute),
    ENHANCEMENT_INT("regiontype", regiontype),
    ENHANCEMENT_INT("hlcmode", hlcmode),
    ENHANCEMENT_INT("exclude", exclude),
    ENHANCEMENT_INT("exposemode", exposemode),
    WIRE_TEXT("exposeregion", Enhancement, exposeregion),
    ENHANCEMENT_INT("modelType", modelType),
    ENHANCEMENT_INT("imageschemode", imageschemode),
    ENHANCEMENT_INT("hlcday", hlcday),
    ENHANCEMENT_INT("hlcnight", hlcnight),
    ENHANCEMENT_INT("redgain", redgain),
    ENHANCEMENT_INT("bluegain", bluegain),
    ENHANCEMENT_INT("exposetime", exposetime),
    ENHANCEMENT_INT("exposegain", exposegain),
    ENHANCEMENT_INT("aflevel", aflevel),
    ENHANCEMENT_INT("hlclevel", hlclevel),
    ENHANCEMENT_INT("defogmode", defogmode),
    ENHANCEMENT_INT("defoglevel", defoglevel),
    ENHANCEMENT_INT("enblur", enblur),
    ENHANCEMENT_INT("deblur", deblur),
    ENHANCEMENT_INT("lensType", lensType),
    ENHANCEMENT_INT("reduceVideoStuttering", reduceVideoStuttering),
};
constexpr WireLayout kEnhancementSet = wire_layout(kEnhancementSetFields, sizeof(Enhancement));

#define INFO_INT(key, member) WIRE_INT(key, EnhancementInfo, block.member)

// Reply 8221: every field of the block but the model type, in block order;
// the auto-focus level under the key the page has always read.
const WireField kEnhancementReplyFields[] = {
    WIRE_INT("id", EnhancementInfo, id),
    INFO_INT("smartir", smartir),
    INFO_INT("whiteblance", whiteblance),
    INFO_INT("focusmode", focusmode),
    INFO_INT("antiblurry", antiblurry),
    INFO_INT("wdrenable", wdrenable),
    INFO_INT("wdrlevel", wdrlevel),
    INFO_INT("wdrstarthour", wdrstarthour),
    INFO_INT("wdrstartminute", wdrstartminute),
    INFO_INT("wdrstophour", wdrstophour),
    INFO_INT("wdrstopminute", wdrstopminute),
    INFO_INT("regiontype", regiontype),
    INFO_INT("hlcmode", hlcmode),
    INFO_INT("exclude", exclude),
    INFO_INT("exposemode", exposemode),
    WIRE_TEXT("exposeregion", EnhancementInfo, block.exposeregion),
    INFO_INT("imageschemode", imageschemode),
    INFO_INT("hlcday", hlcday),
    INFO_INT("hlcnight", hlcnight),
    INFO_INT("redgain", redgain),
    INFO_INT("bluegain", bluegain),
    INFO_INT("defogmode", defogmode),
    INFO_INT("defoglevel", defoglevel),
    INFO_INT("dismode", dismode),
    INFO_INT("exposetime", exposetime),
    INFO_INT("exposegain", exposegain),
    INFO_INT("wdraflevel", aflevel),
    INFO_INT("hlclevel", hlclevel),
    INFO_INT("exposurectrl", exposurectrl),
    INFO_INT("enblur", enblur),
    INFO_INT("deblur", deblur),
    WIRE_TEXT("sdkversion", EnhancementInfo, block.sdkversion),
    INFO_INT("lensType", lensType),
    INFO_INT("reduceVideoStuttering", reduceVideoStuttering),
};

// ---- Display (one record of int32 slots) ----------------------------------

const WireField kDisplayIdFields[] = {
    WIRE_SLOT("id", 0),
};
const WireField kDisplayModeFields[] = {
    WIRE_SLOT("colorkiller", 1),        WIRE_SLOT("modestarthour", 2),
    WIRE_SLOT("modestartminute", 3),    WIRE_SLOT("modestophour", 4),
    WIRE_SLOT("modestopminute", 5),     WIRE_SLOT("exposurectrl", 6),
    WIRE_SLOT("lighttype", 7),          WIRE_SLOT("mirctrl", 8),
    WIRE_SLOT("localdisplay", 9),       WIRE_SLOT("ircutaddaytonight", 10),
    WIRE_SLOT("ircutadnighttoday", 11), WIRE_SLOT("corridormode", 12),
    WIRE_SLOT("imagerotation", 13),
};
const WireField kDisplayIrFields[] = {
    WIRE_SLOT("smartIRType", 16),  WIRE_SLOT("nearIRLevel", 17), WIRE_SLOT("farIRLevel", 18),
    WIRE_SLOT("midIRLevel", 19),   WIRE_SLOT("lencorrect", 20),  WIRE_SLOT("smartIrMath", 21),
    WIRE_SLOT("smartIrLimit", 22),
};
const WireField kDisplaySmartIrFields[] = {
    WIRE_SLOT("nearSmartirValue", 39), WIRE_SLOT("farSmartirValue", 40), WIRE_SLOT("midSmartirValue", 41),
    WIRE_SLOT("lenCorrectType", 42),   WIRE_SLOT("fovadjust", 43),
};
const WireField kDisplayTailFields[] = {
    WIRE_SLOT("structuretype", 75), WIRE_SLOT("keepCorrectAspectRatio", 76),
    WIRE_SLOT("dayNightSens", 77),  WIRE_SLOT("nightDaySens", 78),
    WIRE_SLOT("zoomLimit", 79),
};
// What only the setter takes.
const WireField kDisplaySetOnlyFields[] = {
    WIRE_SLOT("saveCorridor", 14),       WIRE_SLOT("smokeddomecover", 64),
    WIRE_SLOT("whiteLedLevel", 65),      WIRE_SLOT("dnRefocus", 66),
    WIRE_SLOT("whiteledLightCtrl", 81),  WIRE_SLOT("whiteledSensitivity", 82),
    WIRE_SLOT("whiteledDelay", 83),      WIRE_SLOT("whiteledStart", 84),
    WIRE_SLOT("whiteledStop", 85),       WIRE_SLOT("whiteledBrightnessCtrl", 86),
    WIRE_SLOT("whiteledBrightness", 87),
};
// What only replies carry: the camera's own texts.
const WireField kDisplayChipFields[] = {
    WIRE_SLOT_TEXT("chipninterface", 23, 64),
};
const WireField kDisplayModelFields[] = {
    WIRE_SLOT_TEXT("sensortype", 44, 16),  WIRE_SLOT_TEXT("productmodel", 48, 32),
    WIRE_SLOT_TEXT("softversion", 56, 32), WIRE_SLOT("smokeddomecover", 64),
    WIRE_SLOT("smartwhitestrength", 65),   WIRE_SLOT("dnRefocus", 66),
    WIRE_SLOT_TEXT("sdkversion", 67, 32),
};

constexpr size_t kDisplaySize = sizeof(ipc_image_display);
const WireLayout kDisplaySetParts[] = {
    wire_layout(kDisplayIdFields, kDisplaySize),   wire_layout(kDisplayModeFields, kDisplaySize),
    wire_layout(kDisplayIrFields, kDisplaySize),   wire_layout(kDisplaySmartIrFields, kDisplaySize),
    wire_layout(kDisplayTailFields, kDisplaySize), wire_layout(kDisplaySetOnlyFields, kDisplaySize),
};

// ---- Generic page parameters --------------------------------------------

const WireField kCommonParamFields[] = {
    WIRE_INT("id", ipc_common_param, channel),
    WIRE_TEXT("pagename", ipc_common_param, pagename),
    WIRE_TEXT("httpname", ipc_common_param, httpname),
    WIRE_TEXT("key", ipc_common_param, key),
};
const WireField kCommonValueFields[] = {
    WIRE_TEXT("value", ipc_common_param, value),
};
const WireField kCommonReplyFields[] = {
    WIRE_INT("id", ipc_common_param_reply, channel),
    WIRE_TEXT("pagename", ipc_common_param_reply, pagename),
    WIRE_TEXT("httpname", ipc_common_param_reply, httpname),
    WIRE_TEXT("key", ipc_common_param_reply, key),
    WIRE_TEXT("value", ipc_common_param_reply, value),
};

// The page parameter of a request; `with_value` for the setter.
bool common_param_from_request(const char *text, bool with_value, ipc_common_param *param)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int channel = -1;
    if (!relay_request_channel(request, "id", &channel)) {
        cgi_error_to_webserver(kRespText);
        return false;
    }
    memset(param, 0, sizeof *param);
    wire_fill(request.get(), wire_layout(kCommonParamFields, sizeof *param), param);
    if (with_value)
        wire_fill(request.get(), wire_layout(kCommonValueFields, sizeof *param), param);
    ipc_common_param_mark_page(param);
    return true;
}

bool is_rate_control(const char *key)
{
    return strcmp(key, "ratecontrol1") == 0 || strcmp(key, "ratecontrol2") == 0;
}

const WireLayout kEnhancementReply[] = {wire_layout(kEnhancementReplyFields, sizeof(EnhancementInfo))};
// Reply 8223 in slot order.
const WireLayout kDisplayReply[] = {
    wire_layout(kDisplayIdFields, kDisplaySize),      wire_layout(kDisplayModeFields, kDisplaySize),
    wire_layout(kDisplayIrFields, kDisplaySize),      wire_layout(kDisplayChipFields, kDisplaySize),
    wire_layout(kDisplaySmartIrFields, kDisplaySize), wire_layout(kDisplayModelFields, kDisplaySize),
    wire_layout(kDisplayTailFields, kDisplaySize),
};
const WireLayout kCommonParamReply[] = {wire_layout(kCommonReplyFields, sizeof(ipc_common_param_reply))};

} // namespace

const RelayRecord kImageEnhancementRecord = {kEnhancementReply, std::size(kEnhancementReply)};
const RelayRecord kImageDisplayRecord = {kDisplayReply, std::size(kDisplayReply)};
const RelayRecord kCommonParamRecord = {kCommonParamReply, std::size(kCommonParamReply)};

int on_get_ipc_image_enhancement(char *text)
{
    return relay_get_channel(text, "id", kMsgGetImageEnhancement, kRespText);
}

int on_set_ipc_image_enhancement(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    json_object *channels = request ? json_value_array(json_get_member(request.get(), "channel")) : nullptr;
    if (channels == nullptr)
        return cgi_error_to_webserver(kRespText);
    ipc_image_enhancement_setting setting{};
    relay_channel_list(channels, kCameraChannels, setting.channels, -1);
    wire_fill(request.get(), kEnhancementSet, &setting.block);
    relay_notify(kMsgSetImageEnhancement, &setting, sizeof setting);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_get_ipc_image_display(char *text)
{
    return relay_get_channel(text, "id", kMsgGetImageDisplay, kRespText);
}

int on_set_ipc_image_display(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int channel = -1;
    if (!relay_request_channel(request, "id", &channel))
        return cgi_error_to_webserver(kRespText);
    ipc_image_display display{};
    for (const WireLayout &part : kDisplaySetParts)
        wire_fill(request.get(), part, &display);
    relay_request(kMsgSetImageDisplay, &display, sizeof display, kRespText);
    return 0;
}

int on_get_ipc_common_param(char *text)
{
    ipc_common_param param;
    if (!common_param_from_request(text, false, &param))
        return -1;
    relay_request(kMsgGetIpcCommonParam, &param, sizeof param, kRespText);
    return 0;
}

int on_set_ipc_common_param(char *text)
{
    ipc_common_param param;
    if (!common_param_from_request(text, true, &param))
        return -1;
    if (is_rate_control(param.key))
        sleep(kRateControlPause);
    relay_request(kMsgSetIpcCommonParam, &param, sizeof param, kRespText);
    return 0;
}
