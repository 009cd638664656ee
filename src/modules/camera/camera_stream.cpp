// Camera streams: the stream capabilities and settings of one camera, the
// stream change of one or several cameras, and the days of a month that
// hold recordings.
#include <cstdio>
#include <cstring>
#include <ctime>

#include "codecs/channel_mask.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/camera/camera.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kMonthDays = 31;
// The reply of a month query: one int32 before the 31 day flags.
constexpr size_t kMonthReplySize = (kMonthDays + 1) * 4;
constexpr size_t kStreamMaskReplySize = 8;

// ---- Stream information (reply 8204) -------------------------------------

// Words of the main stream start at [2], those of the sub stream at [63];
// both blocks have the same layout from there.
constexpr int kMainStreamBase = 2;
constexpr int kSubStreamBase = 63;
constexpr int kStreamBlockWords = 61;
constexpr int kCurWidth = 53;
constexpr int kCurHeight = 54;

const WireField kStreamHeadFields[] = {
    WIRE_SLOT("subEnable", 124),    WIRE_SLOT("audioEnable", 125),  WIRE_SLOT("videoTypeEnable", 126),
    WIRE_SLOT("mainVideoType", 54), WIRE_SLOT("subVideoType", 115), WIRE_SLOT("ipc_type", 127),
};
const WireField kSmartStreamFields[] = {
    WIRE_SLOT("mainStream", 128),         WIRE_SLOT("subStream", 129),
    WIRE_SLOT("SupportSmartStream", 130), WIRE_SLOT("SmartStream", 131),
    WIRE_SLOT("SmartStreamLevel", 132),   WIRE_SLOT("SubSupportSmartStream", 133),
    WIRE_SLOT("SubSmartStream", 134),     WIRE_SLOT("SubSmartStreamLevel", 135),
};
const WireField kGopFields[] = {
    WIRE_SLOT("mainGop", 136),
    WIRE_SLOT("subGop", 137),
    WIRE_SLOT("thirdGop", 138),
};
// Relative to the start of a stream block.
const WireField kStreamBlockFields[] = {
    WIRE_SLOT("framerateMax", 48),   WIRE_SLOT("framerateMin", 49),      WIRE_SLOT("bitrateMax", 50),
    WIRE_SLOT("bitrateMin", 51),     WIRE_SLOT("framerate", 55),         WIRE_SLOT("bitrate", 56),
    WIRE_SLOT("iframeinterval", 57), WIRE_SLOT("iframeIntervalMin", 59), WIRE_SLOT("iframeIntervalMax", 60),
    WIRE_SLOT("bitrateCtrl", 58),
};
const WireField kCameraPortFields[] = {
    WIRE_INT("managePort", camera_record, managePort),
    WIRE_INT("physicalport", camera_record, physicalport),
    WIRE_INT("poechannel", camera_record, poechannel),
    WIRE_TEXT("mac_addr", camera_record, mac_addr),
    WIRE_INT("transmitProtocol", camera_record, transmitProtocol),
    WIRE_TEXT("ddns", camera_record, ddns),
    WIRE_INT("httpsPort", camera_record, httpsPort),
};

constexpr WireLayout kStreamHead = wire_layout(kStreamHeadFields, sizeof(ipc_stream_info));
constexpr WireLayout kSmartStream = wire_layout(kSmartStreamFields, sizeof(ipc_stream_info));
constexpr WireLayout kGop = wire_layout(kGopFields, sizeof(ipc_stream_info));
constexpr WireLayout kStreamBlock = wire_layout(kStreamBlockFields, kStreamBlockWords * 4);
constexpr WireLayout kCameraPorts = wire_layout(kCameraPortFields, sizeof(camera_record));

// The resolution list of a stream block: pairs up to the first zero width
// or height, at most kMaxResolutions. Gives the index of the pair equal to
// the current resolution, 0 when none is.
int add_resolutions(json_object *list, const ReplyReader &block)
{
    const int32_t width_now = block.int32_at(kCurWidth * 4);
    const int32_t height_now = block.int32_at(kCurHeight * 4);
    int current = 0;
    for (int pair = 0; pair < kMaxResolutions; ++pair) {
        const int32_t width = block.int32_at(pair * 8);
        const int32_t height = block.int32_at(pair * 8 + 4);
        if (width == 0 || height == 0)
            break;
        char name[32];
        snprintf(name, sizeof name, "%d*%d", width, height);
        JsonPtr entry = json_new_object();
        json_add_int(entry.get(), "width", width);
        json_add_int(entry.get(), "height", height);
        json_add_string(entry.get(), "name", name);
        json_object_array_add(list, entry.release());
        if (width == width_now && height == height_now)
            current = pair;
    }
    return current;
}

// {"res", "curRes", limits and current settings} of one stream block.
void add_stream_block(json_object *answer, const char *key, const ipc_stream_info &info, int base)
{
    const auto *block = reinterpret_cast<const char *>(&info.word[base]);
    JsonPtr list = json_new_array();
    const int current = add_resolutions(list.get(), ReplyReader(block, kStreamBlockWords * 4));
    JsonPtr stream = json_new_object();
    json_object_object_add(stream.get(), "res", list.release());
    json_add_int(stream.get(), "curRes", current);
    wire_add_fields(stream.get(), block, kStreamBlock);
    json_object_object_add(answer, key, stream.release());
}

// Everything but the stream blocks, in the order the browser has always
// received it: reply fields mixed with those of the channel's records.
void add_stream_summary(json_object *answer, const ipc_stream_info &info)
{
    const int chnid = info.word[1];
    char name[kOsdNameSize];
    read_osd_name(ZQDB_PATH, chnid, name, sizeof name);
    camera_record camera;
    read_camera(ZQDB_PATH, &camera, chnid);
    ipc_model_record model;
    read_ipc_model(ZQDB_PATH, &model, camera.camProtocol);

    json_add_int(answer, "id", chnid);
    json_add_string(answer, "name", name);
    wire_add_fields(answer, &info, kStreamHead);
    json_add_int(answer, "syncTime", camera.syncTime);
    json_add_int(answer, "protocol", model.protocol);
    wire_add_fields(answer, &camera, kCameraPorts);
    wire_add_fields(answer, &info, kSmartStream);
}

// ---- Stream settings (request 3203) --------------------------------------

constexpr int kSlotUnset = -1;

// Slots both stream setters take under the same keys.
const WireField kStreamCommonSlots[] = {
    WIRE_SLOT("fisheyeType", 22),    WIRE_SLOT("mainVideoType", 24),       WIRE_SLOT("mainResWidth", 25),
    WIRE_SLOT("mainResHeight", 26),  WIRE_SLOT("mainFramerate", 27),       WIRE_SLOT("mainBitrate", 28),
    WIRE_SLOT("IframeInterval", 29), WIRE_SLOT("SmartStream", 31),         WIRE_SLOT("SmartStreamLevel", 32),
    WIRE_SLOT("subVideoType", 38),   WIRE_SLOT("subResWidth", 39),         WIRE_SLOT("subResHeight", 40),
    WIRE_SLOT("subFramerate", 41),   WIRE_SLOT("subBitrate", 42),          WIRE_SLOT("subIframeInterval", 43),
    WIRE_SLOT("SubSmartStream", 45), WIRE_SLOT("SubSmartStreamLevel", 46),
};
// The single-camera setter: its own keys and the event-stream slots.
const WireField kStreamSingleSlots[] = {
    WIRE_SLOT("videoTypeEnable", 20), WIRE_SLOT("subEnable", 21),         WIRE_SLOT("bitrateControl", 30),
    WIRE_SLOT("recordtype", 33),      WIRE_SLOT("etframerate", 34),       WIRE_SLOT("etIframeinterval", 35),
    WIRE_SLOT("etbitrate", 36),       WIRE_SLOT("SubBitrateControl", 44),
};
// The batch setter: transport settings, and the bitrate controls under
// keys of their own.
const WireField kStreamBatchSlots[] = {
    WIRE_SLOT("transmitProtocol", 17),   WIRE_SLOT("syncTime", 18),          WIRE_SLOT("subEnable", 21),
    WIRE_SLOT("mainBitrateControl", 30), WIRE_SLOT("subBitrateControl", 44),
};

constexpr WireLayout kStreamCommon = wire_layout(kStreamCommonSlots, sizeof(ipc_stream_setting));
constexpr WireLayout kStreamSingle = wire_layout(kStreamSingleSlots, sizeof(ipc_stream_setting));
constexpr WireLayout kStreamBatch = wire_layout(kStreamBatchSlots, sizeof(ipc_stream_setting));

// The channels travel as text in the first bytes of the setting; the
// terminator after them is already in place in a zeroed setting.
char *stream_mask_text(ipc_stream_setting *setting) { return reinterpret_cast<char *>(setting->slot); }

void fill_slots(ipc_stream_setting *setting, int first, int last, int32_t value)
{
    for (int index = first; index <= last; ++index)
        setting->slot[index] = value;
}

// A zeroed setting with every channel unmarked and the trailing slots that
// are never taken from a request set to -1.
void init_stream_setting(ipc_stream_setting *setting)
{
    memset(setting, 0, sizeof *setting);
    memset(stream_mask_text(setting), '0', kChannelMaskText);
    fill_slots(setting, 47, 50, kSlotUnset);
}

// Presence and ranges the single-camera setter needs.
bool stream_request_valid(json_object *request)
{
    int id = -1;
    int framerate = -1;
    int bitrate = -1;
    int sub_enable = 0;
    int audio = -1;
    int width = -1;
    int height = -1;
    return json_value_int(json_get_member(request, "id"), &id) && camera_channel_valid(id) &&
           json_value_int(json_get_member(request, "mainFramerate"), &framerate) && framerate >= 0 &&
           json_value_int(json_get_member(request, "mainBitrate"), &bitrate) && bitrate >= 0 &&
           json_value_int(json_get_member(request, "subEnable"), &sub_enable) &&
           json_value_int(json_get_member(request, "audioEnable"), &audio) && (audio == 0 || audio == 1) &&
           json_value_int(json_get_member(request, "mainResWidth"), &width) && width >= 0 &&
           json_value_int(json_get_member(request, "mainResHeight"), &height) && height >= 0;
}

// Marks channel i for each non-zero element i of `chans`; only the first 64
// elements name channels.
void mark_batch_channels(ipc_stream_setting *setting, json_object *chans)
{
    char *mask = stream_mask_text(setting);
    const size_t count = clamp_count(static_cast<int>(json_array_size(chans)), kCameraChannels);
    for (size_t index = 0; index < count; ++index) {
        int value = 0;
        if (json_value_int(json_array_item(chans, index), &value) && value != 0)
            mask[index] = '1';
    }
}

// ---- Days with recordings (request 3493) ---------------------------------

// The query of the request, or false when a key is missing, the channel
// is outside 0..63 or the time does not parse.
bool month_query_from_request(json_object *request, month_record_days_query *query)
{
    int chnid = -1;
    int stream_type = 0;
    const char *time_text = json_value_text(json_get_member(request, "time"));
    struct tm when;
    if (time_text == nullptr || !json_value_int(json_get_member(request, "chnid"), &chnid) ||
        !json_value_int(json_get_member(request, "streamType"), &stream_type) ||
        !camera_channel_valid(chnid) || !param_time_text(time_text, &when))
        return false;
    memset(query, 0, sizeof *query);
    query->main_stream = stream_type == 1 ? 1 : 0;
    query->year = when.tm_year + 1900;
    query->month = when.tm_mon + 1;
    memset(query->channels, '0', kChannelMaskText);
    query->channels[chnid] = '1';
    return true;
}

} // namespace

int on_get_ipc_stream_info(char *text)
{
    int chnid = -1;
    if (!relay_low_chnid(text, &chnid))
        return cgi_error_to_webserver(kRespJson);
    const int32_t payload = chnid;
    relay_request(kMsgGetStreamInfo, &payload, sizeof payload, kRespJson);
    return 0;
}

// A reply shorter than the whole record is no reply.
int on_get_ipc_stream_info_cb(const ReplyReader &reply)
{
    ipc_stream_info info;
    if (!reply.record(0, &info))
        return -1;
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "stateCode", info.word[0]);
    if (info.word[0] == 0) {
        add_stream_summary(answer.get(), info);
        add_stream_block(answer.get(), "main", info, kMainStreamBase);
        add_stream_block(answer.get(), "sub", info, kSubStreamBase);
        wire_add_fields(answer.get(), &info, kGop);
    }
    cgi_write_json(kRespJson, answer.get());
    cgi_set_callback_done(1);
    return 0;
}

// Invalid requests are not answered. The reply never reports the change as
// a success of its own, so no operation log is sent for it.
int on_set_ipc_stream_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request || !stream_request_valid(request.get()))
        return -1;
    ipc_stream_setting setting;
    init_stream_setting(&setting);
    stream_mask_text(&setting)[json_member_int(request.get(), "id")] = '1';
    fill_slots(&setting, 17, 19, kSlotUnset);
    wire_fill(request.get(), kStreamCommon, &setting);
    wire_fill(request.get(), kStreamSingle, &setting);
    relay_request(kMsgSetStream, &setting, sizeof setting, kRespText);
    return 0;
}

int on_set_ipc_stream_batch(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    json_object *chans = request ? json_value_array(json_get_member(request.get(), "chans")) : nullptr;
    if (chans == nullptr)
        return cgi_error_to_webserver(kRespJson);
    ipc_stream_setting setting;
    init_stream_setting(&setting);
    mark_batch_channels(&setting, chans);
    wire_fill(request.get(), kStreamCommon, &setting);
    wire_fill(request.get(), kStreamBatch, &setting);
    setting.slot[19] = kSlotUnset;
    setting.slot[20] = 1;
    fill_slots(&setting, 33, 36, kSlotUnset);
    relay_request(kMsgSetStream, &setting, sizeof setting, kRespJson);
    return 0;
}

// {"res": the channels of the reply's 64-bit mask as text}.
int on_set_ipc_stream_cb(const ReplyReader &reply)
{
    if (reply.size() < kStreamMaskReplySize)
        return -1;
    const uint64_t mask = static_cast<uint32_t>(reply.int32_at(0)) |
                          static_cast<uint64_t>(static_cast<uint32_t>(reply.int32_at(4))) << 32;
    char channels[kChannelMaskText + 1];
    channel_mask_to_text(mask, channels);
    const JsonPtr answer = json_new_object();
    json_add_string(answer.get(), "res", channels);
    cgi_write_json(kRespJson, answer.get());
    cgi_set_callback_done(1);
    return 0;
}

// Invalid requests are not answered.
int on_get_month_record_days(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    month_record_days_query query;
    if (!request || !month_query_from_request(request.get(), &query))
        return -1;
    relay_request(kMsgMonthRecordDays, &query, sizeof query, kRespJson);
    return 0;
}

// [31 flags]: day d has recordings when int32 d + 1 of the reply is set.
int on_get_month_record_days_cb(const ReplyReader &reply)
{
    if (reply.size() < kMonthReplySize)
        return -1;
    const JsonPtr days = json_new_array();
    for (int day = 0; day < kMonthDays; ++day)
        json_object_array_add(days.get(), json_object_new_int(reply.int32_at((day + 1) * 4) != 0 ? 1 : 0));
    cgi_write_json(kRespJson, days.get());
    cgi_set_callback_done(1);
    return 0;
}
