// Snapshot pages: the schedule and the parameters of a channel, both set
// for a list of channels at once, and the manual start and stop.
#include <cstdlib>
#include <memory>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/video/snapshot.h"
#include "modules/video/video.h"
#include "platform/confdb/confdb.h"

namespace {

// The channel of a getter's decimal body; false for an absent or
// non-numeric body or a channel outside 0..63.
bool body_channel(const char *text, int *chnid)
{
    return param_text_int(text, chnid) && *chnid >= 0 && *chnid < kSnapshotChannels;
}

// The listed channels of `request` ("chnid", the first "cnt" of them).
snapshot_channel_list request_channels(json_object *request, const char *count_key, const char *list_key)
{
    snapshot_channel_list list{};
    list.count = snapshot_list_channels(json_value_array(json_get_member(request, list_key)),
                                        json_member_int(request, count_key, 0), list.channels);
    return list;
}

void notify_channels(int code, const snapshot_channel_list &list)
{
    cgi_ipc_notify(on_video_ipc_callback, code, sizeof list, &list);
}

void send_switch(int on, const snapshot_channel_list &list)
{
    snapshot_switch_list message{};
    message.on = on;
    for (int index = 0; index < list.count; ++index)
        message.channels[index] = list.channels[index];
    cgi_ipc_notify(on_video_ipc_callback, kMsgSnapshotSwitch, sizeof message, &message);
}

struct FreeBlock {
    void operator()(void *block) const { free(block); }
};

// The parameter keys in answer order.
struct ParamKey {
    const char *key;
    int32_t snapshot_params_record::*field;
};
constexpr ParamKey kParamKeys[] = {
    {"resolution", &snapshot_params_record::resolution},
    {"quality", &snapshot_params_record::quality},
    {"interval", &snapshot_params_record::interval},
    {"interval_unit", &snapshot_params_record::interval_unit},
    {"expiration_date", &snapshot_params_record::expiration_date},
};

} // namespace

int on_get_snapshot_schedule(char *text)
{
    int chnid = -1;
    if (!body_channel(text, &chnid))
        return cgi_error_to_webserver(kRespText);
    static snapshot_schedule_record record;
    if (read_snapshot_schedule(ZQDB_PATH, &record, chnid) < 0)
        return cgi_error_to_webserver(kRespText);
    const JsonPtr reply(get_schedule_json_object(&record.schedule));
    return cgi_write_json(kRespJson, reply.get());
}

// A request without a schedule is refused rather than storing an empty
// week over the listed channels.
int on_set_snapshot_schedule(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    static schedule_record schedule;
    if (!request || get_schedule_by_json(request.get(), "schedule", &schedule) != 0)
        return cgi_error_to_webserver(kRespText);
    const std::unique_ptr<snapshot_schedule_record, FreeBlock> block(
        static_cast<snapshot_schedule_record *>(calloc(kSnapshotChannels, sizeof(snapshot_schedule_record))));
    if (!block)
        return cgi_error_to_webserver(kRespText);
    const snapshot_channel_list list = request_channels(request.get(), "cnt", "chnid");
    for (int index = 0; index < list.count; ++index) {
        snapshot_schedule_record &record = block.get()[list.channels[index]];
        record.chnid = list.channels[index];
        record.schedule = schedule;
    }
    if (write_snapshot_schedules(ZQDB_PATH, block.get(), list) != 0)
        return cgi_error_to_webserver(kRespText);
    notify_channels(kMsgSnapshotScheduleChanged, list);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_get_snapshot_setting_params(char *text)
{
    int chnid = -1;
    snapshot_params_record record;
    if (!body_channel(text, &chnid) || read_snapshot(ZQDB_PATH, &record, chnid) < 0)
        return cgi_error_to_webserver(kRespText);
    const JsonPtr reply = json_new_object();
    for (const auto &key : kParamKeys)
        json_add_int(reply.get(), key.key, record.*key.field);
    return cgi_write_json(kRespJson, reply.get());
}

int on_set_snapshot_setting_params(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return cgi_error_to_webserver(kRespText);
    snapshot_params_record record{};
    for (const auto &key : kParamKeys)
        record.*key.field = json_member_int(request.get(), key.key, 0);
    const snapshot_channel_list list = request_channels(request.get(), "cnt", "chnid");
    uint64_t mask = 0;
    for (int index = 0; index < list.count; ++index)
        mask |= uint64_t{1} << list.channels[index];
    if (copy_snapshots(ZQDB_PATH, &record, static_cast<uint32_t>(mask), static_cast<uint32_t>(mask >> 32)) !=
        0)
        return cgi_error_to_webserver(kRespText);
    notify_channels(kMsgSnapshotParamsChanged, list);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_set_snapshot_batch_setting(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return cgi_error_to_webserver(kRespText);
    const snapshot_channel_list start = request_channels(request.get(), "snapshotCnt", "snapshotChnId");
    const snapshot_channel_list stop = request_channels(request.get(), "stopCnt", "stopChnId");
    if (start.count > 0)
        send_switch(1, start);
    if (stop.count > 0)
        send_switch(0, stop);
    return cgi_writeback_webserver(kRespText, "OK");
}
