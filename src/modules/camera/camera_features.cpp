// Single camera features relayed to the camera: model and type queries,
// free-form commands, chip code, motion status, auto tracking, PTZ
// support, watermark, event stream, licence plate night mode, audio,
// system information and custom parameters.
#include <cstring>
#include <iterator>
#include <string>

#include "codecs/channel_mask.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "front/web_utils.h"
#include "modules/camera/camera.h"

namespace {

// The free-form command's answer text follows a 16-byte head.
constexpr size_t kCommandResultOffset = 16;

// ---- Models ------------------------------------------------------------------

const WireField kModelFields[] = {
    WIRE_INT("chnid", ipc_model_entry, chnid),
    WIRE_TEXT("ipaddr", ipc_model_entry, ipaddr),
    WIRE_TEXT("model", ipc_model_entry, model),
    WIRE_TEXT("fwversion", ipc_model_entry, fwversion),
};
constexpr WireLayout kModel = wire_layout(kModelFields, sizeof(ipc_model_entry));
constexpr WireList kChannelModels = {kModel, 0, kCameraChannels, sizeof(ipc_model_entry)};

const WireField kModelTypeFields[] = {WIRE_SLOT("type", 0)};

// ---- Auto tracking -------------------------------------------------------------

const WireField kTrackingFields[] = {
    WIRE_INT("chnid", ipc_tracking_params, chnid),
    WIRE_INT("enable", ipc_tracking_params, enable),
    WIRE_INT("show", ipc_tracking_params, show),
    WIRE_INT("sensitivity", ipc_tracking_params, sensitivity),
    WIRE_INT("time", ipc_tracking_params, time),
    WIRE_INT("manual_tracking", ipc_tracking_params, manual_tracking),
    WIRE_INT("zoom_mode", ipc_tracking_params, zoom_mode),
    WIRE_INT("zoom_number", ipc_tracking_params, zoom_number),
};
constexpr WireLayout kTracking = wire_layout(kTrackingFields, sizeof(ipc_tracking_params));
const WireField kTrackingTailFields[] = {
    WIRE_TEXT("area", ipc_tracking_tail, area),
    WIRE_INT("humanVehicleSupport", ipc_tracking_tail, humanVehicleSupport),
    WIRE_INT("trackingObject", ipc_tracking_tail, trackingObject),
};
constexpr WireLayout kTrackingTail = wire_layout(kTrackingTailFields, sizeof(ipc_tracking_tail));

// ---- Watermark, event stream, night mode ---------------------------------------

const WireField kWatermarkFields[] = {
    WIRE_INT("chnid", ipc_watermark_info, chnid),
    WIRE_INT("enable", ipc_watermark_info, enable),
    WIRE_TEXT("watermark", ipc_watermark_info, watermark),
};

constexpr size_t kEventStreamSize = 24;
const WireField kEventStreamQueryFields[] = {WIRE_SLOT("chnid", 0), WIRE_SLOT("fisheyeType", 1)};
const WireField kEventStreamFields[] = {
    WIRE_SLOT("chnid", 0),   WIRE_SLOT("enable", 2),         WIRE_SLOT("framerate", 3),
    WIRE_SLOT("bitrate", 4), WIRE_SLOT("iframeinterval", 5),
};
const WireField kNightModeFields[] = {WIRE_SLOT("chnid", 0), WIRE_SLOT("nightMode", 1)};

// ---- Audio, system information, custom parameters ------------------------------

const WireField kAudioHeadFields[] = {
    WIRE_INT("res", ipc_audio_info, res),
    WIRE_INT("support", ipc_audio_info, support),
    WIRE_INT("supportMode", ipc_audio_info, supportMode),
    WIRE_INT("supportInputMode", ipc_audio_info, supportInputMode),
};
// The settings of the reply's "config" and of request 3372.
const WireField kAudioConfigFields[] = {
    WIRE_INT("chnid", ipc_audio_config, chnid),
    WIRE_INT("audioEnable", ipc_audio_config, audioEnable),
    WIRE_INT("audioMode", ipc_audio_config, audioMode),
    WIRE_INT("denoise", ipc_audio_config, denoise),
    WIRE_INT("encoding", ipc_audio_config, encoding),
    WIRE_INT("sampleRate", ipc_audio_config, sampleRate),
    WIRE_INT("inputGain", ipc_audio_config, inputGain),
    WIRE_INT("inputMode", ipc_audio_config, inputMode),
    WIRE_INT("audioGainControl", ipc_audio_config, audioGainControl),
    WIRE_INT("outputVolume", ipc_audio_config, outputVolume),
    WIRE_INT("audioBitrate", ipc_audio_config, audioBitrate),
};
constexpr WireLayout kAudioConfig = wire_layout(kAudioConfigFields, sizeof(ipc_audio_config));

constexpr size_t kSystemInfoSize = 880;
const WireField kSystemInfoFields[] = {
    WIRE_SLOT("res", 0),
    WIRE_SLOT("audioSupport", 1),
    WIRE_SLOT("audioSupportMode", 2),
    WIRE_SLOT("audioLineInputSupport", 3),
    WIRE_SLOT("systemSpeakerSupport", 4),
    WIRE_SLOT("systemManualSpeedSupport", 5),
};

const WireField kCustomQueryFields[] = {
    WIRE_INT("chnid", ipc_custom_param_query, chnid),
    WIRE_TEXT("url", ipc_custom_param_query, url),
};
const WireField kCustomReplyFields[] = {
    WIRE_INT("res", ipc_custom_param_info, res),
    WIRE_INT("chnid", ipc_custom_param_info, chnid),
    WIRE_TEXT("data", ipc_custom_param_info, data),
};

const WireLayout kModelTypeReply[] = {wire_layout(kModelTypeFields, 4)};
const WireLayout kIpcTypeReply[] = {kModel};
constexpr WireLayout kWatermark = wire_layout(kWatermarkFields, sizeof(ipc_watermark_info));
const WireLayout kWatermarkReply[] = {kWatermark};
const WireLayout kEventStreamReply[] = {wire_layout(kEventStreamFields, kEventStreamSize)};
const WireLayout kNightModeReply[] = {wire_layout(kNightModeFields, 8)};
const WireLayout kSystemInfoReply[] = {wire_layout(kSystemInfoFields, kSystemInfoSize)};
const WireLayout kCustomParamReply[] = {wire_layout(kCustomReplyFields, sizeof(ipc_custom_param_info))};

// The channel mask of a setter: the text mask under "channels" and the
// channel itself when it is one.
uint64_t request_channels(json_object *request, int channel)
{
    uint64_t mask = channel_mask_from_text(json_member_text(request, "channels"));
    if (camera_channel_valid(channel))
        mask |= uint64_t{1} << channel;
    return mask;
}

void put_mask(uint32_t (&words)[2], uint64_t mask)
{
    words[0] = channel_mask_low(mask);
    words[1] = channel_mask_high(mask);
}

// Checks "chnid" (0..63), fills a payload of layout.record_size bytes (at
// most 24) from the fields of `layout` and sends it with `code`; the JSON
// error otherwise.
int relay_filled_request(const char *text, const WireLayout &layout, int code)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int channel = -1;
    if (!relay_request_channel(request, "chnid", &channel))
        return cgi_error_to_webserver(kRespJson);
    char payload[kEventStreamSize] = {};
    if (layout.record_size > sizeof payload)
        return -1;
    wire_fill(request.get(), layout, payload);
    relay_request(code, payload, static_cast<int>(layout.record_size), kRespJson);
    return 0;
}

// The text of a reply from byte `offset` up to its first NUL or its end,
// answered as {key: text}; a reply that ends before the text is no reply.
int reply_text_json(const ReplyReader &reply, size_t offset, const char *key)
{
    if (reply.size() <= offset)
        return -1;
    const size_t length = reply.size() - offset;
    const char *bytes = reply.bytes(offset, length);
    const std::string text(bytes, strnlen(bytes, length));
    const JsonPtr answer = json_new_object();
    json_add_string(answer.get(), key, text.c_str());
    return relay_answer_json(answer.get());
}

json_object *audio_rate_json(const ipc_audio_rate &rate)
{
    json_object *object = json_object_new_object();
    json_add_int(object, "sampleRateValue", rate.value);
    json_object *bitrates = json_object_new_array();
    const int count = clamp_count(rate.bitrate_count, kAudioBitrates);
    for (int index = 0; index < count; ++index)
        json_object_array_add(bitrates, json_object_new_int(rate.bitrates[index]));
    json_object_object_add(object, "bitrateInfo", bitrates);
    return object;
}

json_object *audio_options_json(const ipc_audio_info &info)
{
    json_object *options = json_object_new_array();
    const int count = clamp_count(info.option_count, kAudioOptions);
    for (int index = 0; index < count; ++index) {
        const ipc_audio_option &option = info.options[index];
        json_object *object = json_object_new_object();
        json_add_int(object, "encodeValue", option.encodeValue);
        json_object *rates = json_object_new_array();
        const int rate_count = clamp_count(option.rate_count, kAudioSampleRates);
        for (int rate = 0; rate < rate_count; ++rate)
            json_object_array_add(rates, audio_rate_json(option.rates[rate]));
        json_object_object_add(object, "sampleRateInfo", rates);
        json_object_array_add(options, object);
    }
    return options;
}

} // namespace

const RelayRecord kModelTypeRecord = {kModelTypeReply, std::size(kModelTypeReply)};
const RelayRecord kIpcTypeRecord = {kIpcTypeReply, std::size(kIpcTypeReply)};
const RelayRecord kWatermarkRecord = {kWatermarkReply, std::size(kWatermarkReply)};
const RelayRecord kEventStreamRecord = {kEventStreamReply, std::size(kEventStreamReply)};
const RelayRecord kNightModeRecord = {kNightModeReply, std::size(kNightModeReply)};
const RelayRecord kSystemInfoRecord = {kSystemInfoReply, std::size(kSystemInfoReply)};
const RelayRecord kCustomParamRecord = {kCustomParamReply, std::size(kCustomParamReply)};

// ---- Models, commands, chip code, motion status -------------------------------

int on_web_get_ipc_model_type(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return 0;
    const int32_t id = json_member_int(request.get(), "id");
    relay_request(kMsgGetIpcModelType, &id, sizeof id, kRespText);
    return 0;
}

int on_web_sendto_qt_cmd(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return cgi_error_to_webserver(kRespText);
    char command[kCameraCommandSize];
    const WireField field[] = {{"cmd", 0, kCameraCommandSize, WireType::kText}};
    wire_fill(request.get(), wire_layout(field, sizeof command), command);
    relay_request(kMsgCameraCommand, command, sizeof command, kRespText);
    return 0;
}

int on_web_sendto_qt_cmd_cb(const ReplyReader &reply)
{
    return reply_text_json(reply, kCommandResultOffset, "result");
}

int on_web_get_chip_code(char *)
{
    relay_request(kMsgGetChipCode, nullptr, 0, kRespText);
    return 0;
}

int on_web_get_chip_code_cb(const ReplyReader &reply) { return reply_text_json(reply, 0, "chip_code"); }

int on_web_get_motion_status(char *)
{
    relay_request(kMsgGetMotionStatus, nullptr, 0, kRespText);
    return 0;
}

int on_web_get_motion_status_cb(const ReplyReader &reply)
{
    uint32_t words[2];
    if (!reply.read(0, words, sizeof words))
        return -1;
    char mask[kChannelMaskText + 1];
    channel_mask_to_text(channel_mask_of(words[0], words[1]), mask);
    const JsonPtr answer = json_new_object();
    json_add_string(answer.get(), "Motion", mask);
    return relay_answer_json(answer.get());
}

int on_web_get_channels_model(char *)
{
    relay_request(kMsgGetChannelsModel, nullptr, 0, kRespJson);
    return 0;
}

int on_web_get_channels_model_cb(const ReplyReader &reply)
{
    JsonPtr models(wire_list_json(reply, kChannelModels));
    if (!models)
        return -1;
    const JsonPtr answer = json_new_object();
    json_object_object_add(answer.get(), "IPC", models.release());
    return relay_answer_json(answer.get());
}

int on_cgi_get_ipc_type(char *text) { return relay_get_channel(text, "chnid", kMsgGetIpcType, kRespJson); }

// ---- Auto tracking, PTZ support --------------------------------------------------

int on_cgi_get_auto_tracking_status(char *text)
{
    return relay_get_channel(text, "chnid", kMsgGetAutoTracking, kRespJson);
}

int on_cgi_get_auto_tracking_status_cb(const ReplyReader &reply)
{
    static ipc_auto_tracking_info info;
    if (!reply.record(0, &info))
        return -1;
    const JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), &info.params, kTracking);
    wire_add_fields(answer.get(), &info.tail, kTrackingTail);
    json_add_int(answer.get(), "reportMotion", info.tail.reportMotion);
    json_object_object_add(answer.get(), "schedule", get_schedule_json_object(&info.schedule));
    return relay_answer_json(answer.get());
}

int on_cgi_set_auto_tracking_status(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int channel = -1;
    if (!relay_request_channel(request, "chnid", &channel))
        return cgi_error_to_webserver(kRespJson);
    static ipc_auto_tracking_setting setting;
    memset(&setting, 0, sizeof setting);
    put_mask(setting.mask, request_channels(request.get(), channel));
    ipc_auto_tracking_info &info = setting.info;
    wire_fill(request.get(), kTracking, &info.params);
    get_schedule_by_json(request.get(), "schedule", &info.schedule);
    wire_fill(request.get(), kTrackingTail, &info.tail);
    info.tail.reportMotion = static_cast<uint8_t>(json_member_int(request.get(), "reportMotion"));
    relay_request(kMsgSetAutoTracking, &setting, sizeof setting, kRespJson);
    return 0;
}

int on_cgi_get_ptz_support(char *text)
{
    return relay_get_channel(text, "chnid", kMsgGetPtzSupport, kRespJson);
}

// ---- Watermark, event stream, night mode -------------------------------------------

int on_cgi_get_watermark(char *text) { return relay_get_channel(text, "chnid", kMsgGetWatermark, kRespJson); }

// The copy mask keeps the request's characters and marks the channel
// itself; a shorter text is padded with '0' up to it, so the mark is never
// behind the text's end where nobody would read it.
int on_cgi_set_watermark(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int channel = -1;
    if (!relay_request_channel(request, "chnid", &channel))
        return cgi_error_to_webserver(kRespJson);
    ipc_watermark_setting setting{};
    wire_fill(request.get(), kWatermark, &setting.info);
    const char *copy = json_member_text(request.get(), "copy");
    fill_field_text(setting.copy, sizeof setting.copy, copy);
    for (int index = static_cast<int>(strlen(setting.copy)); index < channel; ++index)
        setting.copy[index] = '0';
    setting.copy[channel] = '1';
    relay_request(kMsgSetWatermark, &setting, sizeof setting, kRespJson);
    return 0;
}

int on_cgi_get_ipc_event_stream(char *text)
{
    return relay_filled_request(text, wire_layout(kEventStreamQueryFields, 8), kMsgGetEventStream);
}

int on_cgi_set_ipc_event_stream(char *text)
{
    return relay_filled_request(text, wire_layout(kEventStreamFields, kEventStreamSize), kMsgSetEventStream);
}

int on_cgi_get_ipc_lpr_night_mode(char *text)
{
    return relay_get_channel(text, "chnid", kMsgGetLprNightMode, kRespJson);
}

// ---- Audio, system information, custom parameters --------------------------------

int on_cgi_get_ipc_audio_info(char *text)
{
    return relay_get_channel(text, "chnid", kMsgGetAudioInfo, kRespJson);
}

// Every count of the reply is held to what its array has room for.
int on_cgi_get_ipc_audio_info_cb(const ReplyReader &reply)
{
    static ipc_audio_info info;
    if (!reply.record(0, &info))
        return -1;
    const JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), &info, wire_layout(kAudioHeadFields, sizeof info));
    json_object *config = json_object_new_object();
    wire_add_fields(config, &info.config, kAudioConfig);
    json_object_object_add(answer.get(), "config", config);
    json_object_object_add(answer.get(), "options", audio_options_json(info));
    return relay_answer_json(answer.get());
}

int on_cgi_set_ipc_audio_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return 0;
    ipc_audio_setting setting{};
    const int channel = json_member_int(request.get(), "chnid");
    put_mask(setting.mask, request_channels(request.get(), channel));
    wire_fill(request.get(), kAudioConfig, &setting.config);
    relay_request(kMsgSetAudioInfo, &setting, sizeof setting, kRespJson);
    return 0;
}

int on_cgi_get_ipc_system_info(char *text)
{
    return relay_get_channel(text, "chnid", kMsgGetSystemInfo, kRespJson);
}

int on_cgi_get_ipc_custom_param(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return cgi_error_to_webserver(kRespJson);
    int channel = -1;
    if (!relay_request_channel(request, "chnid", &channel))
        return cgi_error_to_webserver(kRespText);
    ipc_custom_param_query query{};
    wire_fill(request.get(), wire_layout(kCustomQueryFields, sizeof query), &query);
    relay_request(kMsgGetCustomParam, &query, sizeof query, kRespJson);
    return 0;
}
