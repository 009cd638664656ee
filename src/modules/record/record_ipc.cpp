// The record module's reply callback, its decoders and the core messages
// and operation log records the recording handlers send.
#include "codecs/json_util.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/record/record.h"

namespace {

constexpr int kLogSubRecord = 204;

json_object *int_array(const int32_t *values, int count)
{
    json_object *array = json_object_new_array();
    for (int index = 0; index < count; ++index)
        json_object_array_add(array, json_object_new_int(values[index]));
    return array;
}

int write_done(json_object *answer)
{
    cgi_write_json(kRespJson, answer);
    cgi_set_callback_done(1);
    return 0;
}

} // namespace

int on_record_ipc_callback(void * /*context*/, const char *header, const char *payload)
{
    if (header == nullptr || payload == nullptr)
        return 0;
    const ReplyReader reply(payload, ipc_reply_size(header));
    switch (ipc_reply_code(header)) {
    case kReplyGetAnrSupport:
        return on_get_anr_support_cb(reply);
    case kReplyGetRecordStreams:
        return on_get_record_stream_info_cb(reply);
    case kReplySetAnr:
        return on_set_anr_cb(reply);
    default:
        return 0;
    }
}

// A reply shorter than its record is no answer.
int on_get_anr_support_cb(const ReplyReader &reply)
{
    anr_support support;
    if (!reply.record(0, &support))
        return -1;
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "chnid", support.chnid);
    json_add_int(answer.get(), "support", support.support);
    return write_done(answer.get());
}

int on_get_record_stream_info_cb(const ReplyReader &reply)
{
    static record_stream_info info;
    if (!reply.record(0, &info))
        return -1;
    const int count = clamp_count(info.count, kRecordChannels);
    const JsonPtr answer = json_new_object();
    json_object_object_add(answer.get(), "primary", int_array(info.primary, count));
    json_object_object_add(answer.get(), "secondary", int_array(info.secondary, count));
    json_add_int(answer.get(), "size", count);
    return write_done(answer.get());
}

// The change failed when the new flag was to be set and any listed
// channel reports a result other than 0, a single channel included.
int on_set_anr_cb(const ReplyReader &reply)
{
    static anr_change_result result;
    if (!reply.record(0, &result))
        return -1;
    const int count = clamp_count(result.count, kRecordChannels);
    int resp = 0;
    for (int index = 0; index < count && result.anr != 0; ++index)
        if (result.results[index] != 0)
            resp = -1;
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "resp", resp);
    return write_done(answer.get());
}

void record_notify(int code) { cgi_ipc_notify(on_record_ipc_callback, code, 0, nullptr); }

void record_notify_channel(int code, int chnid)
{
    const int32_t payload = chnid;
    cgi_ipc_notify(on_record_ipc_callback, code, sizeof payload, &payload);
}

void record_notify_mask(int code, uint64_t mask)
{
    const uint32_t payload[2] = {static_cast<uint32_t>(mask), static_cast<uint32_t>(mask >> 32)};
    cgi_ipc_notify(on_record_ipc_callback, code, sizeof payload, payload);
}

void record_send_log(int param_code, int object)
{
    LogRecord record;
    cgi_init_log_info(&record);
    record.sub_type = kLogSubRecord;
    record.param_code = param_code;
    record.object = object;
    cgi_send_log_info(&record);
}
