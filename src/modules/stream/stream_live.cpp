// Live pictures: the image adjustments of a channel, starting and stopping
// live streams, the RTSP addresses of the channels and the external ports
// the player reaches them through.
#include <cstring>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "core/ipc.h"
#include "front/access_gate.h"
#include "front/web_utils.h"
#include "modules/stream/stream.h"

namespace {

constexpr int kImageValueMax = 255;
constexpr int32_t kImageMidpoint = 128;

const WireField kLiveImageFields[] = {
    WIRE_INT("brightness", image_adjust, brightness),          WIRE_INT("contrast", image_adjust, contrast),
    WIRE_INT("saturation", image_adjust, saturation),          WIRE_INT("Sharpness", image_adjust, sharpness),
    WIRE_INT("NoiseReduction", image_adjust, noise_reduction), WIRE_INT("i2ddnr", image_adjust, i2ddnr),
};
constexpr WireLayout kLiveImage = wire_layout(kLiveImageFields, sizeof(image_adjust));

const WireField kLiveStartFields[] = {
    WIRE_INT("port", stream_address, port),
    WIRE_INT("direct", stream_address, direct),
    WIRE_TEXT("rtspAddr", stream_address, rtsp_addr),
    WIRE_TEXT("resPath", stream_address, res_path),
};
constexpr WireLayout kLiveStart = wire_layout(kLiveStartFields, sizeof(stream_address));

// The browser's names of a stream block, for the main and the sub stream.
const WireField kNvrMainFields[] = {
    WIRE_TEXT("mainUsername", stream_address, username),
    WIRE_TEXT("mainPassword", stream_address, password),
    WIRE_INT("mainPort", stream_address, port),
    WIRE_INT("mainExternalPort", stream_address, external_port),
    WIRE_INT("mainDDNSPort", stream_address, ddns_port),
    WIRE_TEXT("mainResPath", stream_address, res_path),
    WIRE_INT("mainExternalHttpPort", stream_address, external_http_port),
    WIRE_INT("mainDDNSHttpPort", stream_address, ddns_http_port),
};
const WireField kNvrSubFields[] = {
    WIRE_TEXT("subUsername", stream_address, username),
    WIRE_TEXT("subPassword", stream_address, password),
    WIRE_INT("subPort", stream_address, port),
    WIRE_INT("subExternalPort", stream_address, external_port),
    WIRE_INT("subDDNSPort", stream_address, ddns_port),
    WIRE_TEXT("subResPath", stream_address, res_path),
    WIRE_INT("subExternalHttpPort", stream_address, external_http_port),
    WIRE_INT("subDDNSHttpPort", stream_address, ddns_http_port),
};
constexpr WireLayout kNvrMain = wire_layout(kNvrMainFields, sizeof(stream_address));
constexpr WireLayout kNvrSub = wire_layout(kNvrSubFields, sizeof(stream_address));

bool image_value_valid(int32_t value) { return value >= 0 && value <= kImageValueMax; }

// round(value * 100 / 255), halves rounded up (also for negative values).
int32_t image_percent(int32_t value)
{
    const int64_t twice = int64_t{value} * 200 + kImageValueMax;
    const int64_t divisor = 2 * kImageValueMax;
    return static_cast<int32_t>(twice >= 0 ? twice / divisor : -((-twice + divisor - 1) / divisor));
}

// The stream of /4010 and /4011: the channel may be viewed, the stream type
// and source are 0 or 1. False (nothing written, or the refusal) otherwise.
bool live_stream_from_request(const char *text, live_stream_request *stream)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request || !stream_get_ints(request.get(), {{"id", &stream->id},
                                                     {"streamType", &stream->stream_type},
                                                     {"streamFrom", &stream->stream_from}}))
        return false;
    const auto binary = [](int32_t value) { return value == 0 || value == 1; };
    if (!stream_channel_valid(stream->id) || !binary(stream->stream_type) || !binary(stream->stream_from))
        return false;
    return cgi_channel_admits(WebRight::LiveView, stream->id);
}

// A channel the session may not view is listed without its addresses and
// credentials, so that its place in the list stays.
void clear_stream_secrets(rtsp_address_record *record)
{
    memset(record->ipc_main, 0, sizeof record->ipc_main);
    memset(record->ipc_sub, 0, sizeof record->ipc_sub);
    for (stream_address *stream : {&record->main, &record->sub}) {
        memset(stream->username, 0, sizeof stream->username);
        memset(stream->password, 0, sizeof stream->password);
        memset(stream->rtsp_addr, 0, sizeof stream->rtsp_addr);
        memset(stream->res_path, 0, sizeof stream->res_path);
    }
}

json_object *rtsp_address_entry(const rtsp_address_record &record)
{
    JsonPtr ipc = json_new_object();
    char text[sizeof record.ipc_main];
    copy_field_text(text, sizeof text, record.ipc_main, sizeof record.ipc_main);
    json_add_string(ipc.get(), "main", text);
    copy_field_text(text, sizeof text, record.ipc_sub, sizeof record.ipc_sub);
    json_add_string(ipc.get(), "sub", text);
    JsonPtr nvr = json_new_object();
    wire_add_fields(nvr.get(), &record.main, kNvrMain);
    wire_add_fields(nvr.get(), &record.sub, kNvrSub);
    json_object *entry = json_object_new_object();
    json_object_object_add(entry, "ipc", ipc.release());
    json_object_object_add(entry, "nvr", nvr.release());
    return entry;
}

} // namespace

int on_get_live_image(char *text)
{
    int chnid = -1;
    if (on_cgi_get_value_by_json(text, "chnid", &chnid) != 0 || !stream_channel_valid(chnid) ||
        !cgi_channel_admits(WebRight::LiveView, chnid))
        return -1;
    const int32_t payload = chnid;
    stream_request(kMsgGetLiveImage, &payload, sizeof payload);
    return 0;
}

int on_get_live_image_cb(const ReplyReader &reply)
{
    live_image_reply image;
    if (!reply.record(0, &image))
        return -1;
    if (image.status < 0)
        return stream_write_status("ERROR");
    const JsonPtr answer = json_new_object();
    json_add_string(answer.get(), "status", "OK");
    wire_add_fields(answer.get(), &image.adjust, kLiveImage);
    return stream_write_answer(answer.get());
}

// Brightness, contrast and saturation must be given within 0..255; the
// change is logged with every value as a percentage.
int on_set_live_image(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    image_adjust adjust{};
    if (!request || !stream_get_ints(request.get(), {{"id", &adjust.channel},
                                                     {"brightness", &adjust.brightness},
                                                     {"contrast", &adjust.contrast},
                                                     {"saturation", &adjust.saturation}}))
        return -1;
    if (!stream_channel_valid(adjust.channel) || !image_value_valid(adjust.brightness) ||
        !image_value_valid(adjust.contrast) || !image_value_valid(adjust.saturation))
        return -1;
    adjust.sharpness = json_member_int(request.get(), "Sharpness");
    adjust.noise_reduction = json_member_int(request.get(), "NoiseReduction");
    adjust.i2ddnr = json_member_int(request.get(), "i2ddnr");
    if (!cgi_channel_admits(WebRight::LiveView, adjust.channel))
        return -1;
    stream_notify(kMsgSetLiveImage, &adjust, sizeof adjust);
    const image_adjust_log detail{{image_percent(adjust.brightness), image_percent(adjust.contrast),
                                   image_percent(adjust.saturation), image_percent(adjust.sharpness),
                                   image_percent(adjust.noise_reduction)}};
    cgi_send_operation_log(kLogSubLiveImage, kLogParamStream, adjust.channel + 1, kLogDetailLiveImage,
                           &detail, sizeof detail);
    cgi_writeback_webserver(kRespText, "OK");
    return 0;
}

int on_reset_live_image(char *text)
{
    int channel = -1;
    if (!stream_channel_text(text, &channel) || !cgi_channel_admits(WebRight::LiveView, channel))
        return -1;
    const image_adjust adjust{
        channel, kImageMidpoint, kImageMidpoint, kImageMidpoint, kImageMidpoint, kImageMidpoint, 0};
    stream_notify(kMsgSetLiveImage, &adjust, sizeof adjust);
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "ChannelId", channel);
    for (const char *key : {"Brightness", "Contrast", "Saturation", "Sharpness", "NoiseReduction"})
        json_add_int(answer.get(), key, kImageMidpoint);
    cgi_write_json(kRespJson, answer.get());
    return 0;
}

// A started stream is logged under the channel the reply names.
int on_start_live(char *text)
{
    live_stream_request stream;
    if (!live_stream_from_request(text, &stream))
        return -1;
    stream_request(kMsgStartLive, &stream, sizeof stream);
    int32_t object = 0;
    if (live_take_started(&object))
        cgi_send_operation_log(kLogSubLiveView, kLogParamStream, object);
    return 0;
}

int on_start_live_cb(const ReplyReader &reply)
{
    live_start_reply started;
    if (!reply.record(0, &started))
        return -1;
    if (started.stream.status < 0)
        return stream_write_status("ERROR");
    const JsonPtr answer = json_new_object();
    json_add_string(answer.get(), "status", "OK");
    wire_add_fields(answer.get(), &started.stream, kLiveStart);
    live_note_started(static_cast<int32_t>(static_cast<uint32_t>(started.channel) + 1));
    return stream_write_answer(answer.get());
}

int on_stop_live(char *text)
{
    live_stream_request stream;
    if (!live_stream_from_request(text, &stream))
        return -1;
    stream.stream_from = 0;
    stream_notify(kMsgStopLive, &stream, sizeof stream);
    cgi_writeback_webserver(kRespText, "OK");
    return 0;
}

int on_stop_all_live(char * /*text*/)
{
    stream_notify(kMsgStopAllLive, nullptr, 0);
    cgi_writeback_webserver(kRespText, "OK");
    return 0;
}

int on_get_rtsp_addr(char * /*text*/)
{
    stream_request(kMsgRtspAddresses, nullptr, 0);
    return 0;
}

// {"rtspaddr": [one entry per record]}; a reply without a whole record is
// no reply.
int on_get_rtsp_addr_cb(const ReplyReader &reply)
{
    const size_t count = reply.count(sizeof(rtsp_address_record));
    if (count == 0)
        return -1;
    const JsonPtr list = json_new_array();
    for (size_t index = 0; index < count; ++index) {
        rtsp_address_record record;
        reply.record(index, &record);
        if (!cgi_channel_listed(WebRight::LiveView, static_cast<int>(index)))
            clear_stream_secrets(&record);
        json_object_array_add(list.get(), rtsp_address_entry(record));
    }
    const JsonPtr answer = json_new_object();
    json_object_object_add(answer.get(), "rtspaddr", json_object_get(list.get()));
    return stream_write_answer(answer.get());
}

int on_get_extern_port(char * /*text*/)
{
    stream_request(kMsgExternPorts, nullptr, 0);
    return 0;
}

int on_log_live_view(char *text)
{
    int channel = -1;
    if (!stream_channel_text(text, &channel) || !cgi_channel_admits(WebRight::LiveView, channel))
        return -1;
    cgi_send_operation_log(kLogSubLiveView, kLogParamStream, channel + 1);
    cgi_writeback_webserver(kRespText, "OK");
    return 0;
}
