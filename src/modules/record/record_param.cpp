// Recording parameters with the cameras' record stream and edge storage
// (ANR) flags, ANR support of one camera, and every channel's record
// stream values.
#include <climits>

#include "codecs/channel_db.h"
#include "codecs/channel_mask.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/record/record.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kLogParamRecordParam = 906;
constexpr int kProtocolRtsp = 1;
constexpr int kStreamTypeMax = 2;

// The recording values a request copies into every listed channel.
const WireField kRecordValues[] = {
    WIRE_INT("audioEnable", record_setting, audioEnable),
    WIRE_INT("prevRecordOn", record_setting, prevRecordOn),
    WIRE_INT("prevRecordDuration", record_setting, prevRecordDuration),
    WIRE_INT("postRecordOn", record_setting, postRecordOn),
    WIRE_INT("postRecordDuration", record_setting, postRecordDuration),
    WIRE_INT("recordExpDate", record_setting, recordExpDate),
};

struct ParamRequest {
    int cnt;
    int anr;
    int stream_type;
};

bool int_in(json_object *request, const char *key, int low, int high, int *out = nullptr)
{
    int value = 0;
    if (!json_value_int(json_get_member(request, key), &value) || value < low || value > high)
        return false;
    if (out != nullptr)
        *out = value;
    return true;
}

bool check_record_param_info(json_object *request, ParamRequest *out)
{
    return on_cgi_get_int_from_json(request, "cnt", &out->cnt) == 0 &&
           json_value_array(json_get_member(request, "chnid")) != nullptr &&
           on_cgi_get_int_from_json(request, "camAnr", &out->anr) == 0 &&
           int_in(request, "prevRecordOn", 0, 1) && int_in(request, "prevRecordDuration", 0, INT_MAX) &&
           int_in(request, "postRecordOn", 0, 1) && int_in(request, "postRecordDuration", INT_MIN, INT_MAX) &&
           int_in(request, "audioEnable", 0, 1) &&
           int_in(request, "recordStreamType", 0, kStreamTypeMax, &out->stream_type);
}

// Setting the flag needs an enabled camera that is not on a PoE port and
// not a plain RTSP stream; clearing it is always allowed.
bool anr_allowed(const camera_record &camera, int anr)
{
    return anr == 0 || (camera.enable != 0 && camera.poechannel == 0 && camera.camProtocol != kProtocolRtsp);
}

// The cameras of the listed channels, each read once, so a channel listed
// twice sees its own change.
struct CameraCache {
    camera_record cameras[kRecordChannels];
    uint64_t loaded;
};

camera_record *cached_camera(CameraCache *cache, int chnid)
{
    if ((cache->loaded & record_channel_bit(chnid)) == 0) {
        if (read_camera(ZQDB_PATH, &cache->cameras[chnid], chnid) < 0)
            return nullptr;
        cache->loaded |= record_channel_bit(chnid);
    }
    return &cache->cameras[chnid];
}

struct ParamChanges {
    uint64_t records;
    uint64_t streams;
    uint64_t anr;
    record_channel_list listed;
    anr_change anr_list;
};

// Applies the request to the listed channels in memory; -1 when a camera
// could not be read.
int collect_changes(json_object *request, const ParamRequest &params, record_setting *records,
                    ParamChanges *changes)
{
    static CameraCache cache;
    cache.loaded = 0;
    RecordChannels channels;
    record_request_channels(request, params.cnt, &channels);
    for (int index = 0; index < channels.count; ++index) {
        const int chnid = channels.channels[index];
        camera_record *camera = cached_camera(&cache, chnid);
        if (camera == nullptr)
            return -1;
        changes->records |= record_channel_bit(chnid);
        changes->listed.channels[changes->listed.count++] = chnid;
        wire_fill(request, wire_layout(kRecordValues, sizeof records[chnid]), &records[chnid]);
        if (camera->recordStreamType != params.stream_type)
            changes->streams |= record_channel_bit(chnid);
        if (camera->cameraAnr != params.anr && anr_allowed(*camera, params.anr)) {
            camera->cameraAnr = params.anr;
            changes->anr |= record_channel_bit(chnid);
            changes->anr_list.channels[changes->anr_list.count++] = chnid;
        }
    }
    return 0;
}

int store_changes(const ParamRequest &params, const record_setting *records, const ParamChanges &changes)
{
    const bool failed =
        write_records(ZQDB_PATH, records, channel_mask_low(changes.records),
                      channel_mask_high(changes.records)) != 0 ||
        copy_table_column_int(ZQDB_PATH, "camera", "anr", params.anr, channel_mask_low(changes.anr),
                              channel_mask_high(changes.anr), "id") != 0 ||
        copy_table_column_int(ZQDB_PATH, "camera", "record_stream", params.stream_type,
                              channel_mask_low(changes.streams), channel_mask_high(changes.streams),
                              "id") != 0;
    return failed ? -1 : 0;
}

} // namespace

int on_get_record_param(char *text)
{
    const int chnid = record_channel_of(text);
    if (chnid < 0)
        return -1;
    record_setting record;
    camera_record camera;
    if (read_record(ZQDB_PATH, &record, chnid) < 0 || read_camera(ZQDB_PATH, &camera, chnid) < 0)
        return cgi_error_to_webserver(kRespJson);
    const JsonPtr answer = json_new_object();
    json_object *object = answer.get();
    json_add_int(object, "id", chnid);
    json_add_int(object, "prevRecordOn", record.prevRecordOn);
    json_add_int(object, "prevRecordDuration", record.prevRecordDuration);
    json_add_int(object, "postRecordOn", record.postRecordOn);
    json_add_int(object, "postRecordDuration", record.postRecordDuration);
    json_add_int(object, "audioEnable", record.audioEnable);
    json_add_int(object, "recordStreamType", camera.recordStreamType);
    json_add_int(object, "recordExpDate", record.recordExpDate);
    json_add_int(object, "cameraAnr", camera.cameraAnr);
    json_add_int(object, "camEnable", camera.enable);
    json_add_int(object, "camProtocol", camera.camProtocol);
    json_add_int(object, "poeChannel", camera.poechannel);
    return cgi_write_json(kRespJson, object);
}

// The recording values go to every listed channel, the record stream type
// to the cameras whose type differs and the ANR flag to those allowed to
// change it; the core daemon is then asked to apply the ANR change, and
// its reply is the answer.
int on_set_record_param(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    ParamRequest params{};
    if (request == nullptr || !check_record_param_info(request.get(), &params))
        return -1;
    static record_setting records[kRecordChannels];
    static ParamChanges changes;
    changes = ParamChanges{};
    changes.anr_list.anr = params.anr;
    int count = 0;
    if (read_records(ZQDB_PATH, records, &count) != 0 ||
        collect_changes(request.get(), params, records, &changes) != 0 ||
        store_changes(params, records, changes) != 0)
        return cgi_error_to_webserver(kRespJson);
    cgi_ipc_notify(on_record_ipc_callback, kMsgRecordParamChanged, sizeof changes.listed, &changes.listed);
    record_send_log(kLogParamRecordParam, 0);
    cgi_ipc_request(on_record_ipc_callback, kMsgSetAnr, sizeof changes.anr_list, &changes.anr_list,
                    kRespJson);
    return 0;
}

int on_get_anr_support(char *text)
{
    const int32_t chnid = record_channel_of(text);
    if (chnid < 0)
        return -1;
    cgi_ipc_request(on_record_ipc_callback, kMsgGetAnrSupport, sizeof chnid, &chnid, kRespJson);
    return 0;
}

int on_get_record_stream_info(char * /*text*/)
{
    cgi_ipc_request(on_record_ipc_callback, kMsgGetRecordStreams, 0, nullptr, kRespJson);
    return 0;
}
