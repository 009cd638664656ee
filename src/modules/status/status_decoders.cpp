// Decoders of the status replies: interfaces, throughput, camera and alarm
// state, channel support and the users logged in.
#include <cstdio>

#include "codecs/alarm_db.h"
#include "codecs/channel_db.h"
#include "codecs/json_util.h"
#include "codecs/wire_fields.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/status/status.h"
#include "modules/status/status_records.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr WireField kNetifHeadFields[] = {
    WIRE_TEXT("ifname", netif_status_record, ifname),
    WIRE_INT("id", netif_status_record, id),
    WIRE_INT("state", netif_status_record, state),
    WIRE_INT("speedMode", netif_status_record, speedMode),
    WIRE_INT("duplex", netif_status_record, duplex),
    WIRE_INT("enable", netif_status_record, enable),
    WIRE_INT("dhcpEnable", netif_status_record, dhcpEnable),
    WIRE_TEXT("ipAddr", netif_status_record, ipAddr),
    WIRE_TEXT("MAC", netif_status_record, MAC),
    WIRE_TEXT("primaryDNS", netif_status_record, primaryDNS),
    WIRE_TEXT("secondDNS", netif_status_record, secondDNS),
    WIRE_TEXT("gateway", netif_status_record, gateway),
    WIRE_TEXT("netmask", netif_status_record, netmask),
    WIRE_INT("mtu", netif_status_record, mtu),
};
constexpr WireField kNetifTailFields[] = {
    WIRE_TEXT("ip6address", netif_status_record, ip6address),
    WIRE_INT("ip6prefix", netif_status_record, ip6prefix),
    WIRE_TEXT("ip6gateway", netif_status_record, ip6gateway),
};
constexpr WireField kNetifSpeedFields[] = {
    WIRE_INT("id", netif_speed_record, id),
    WIRE_TEXT("ifname", netif_speed_record, ifname),
    WIRE_INT("RxSpeed", netif_speed_record, RxSpeed),
    WIRE_INT("TxSpeed", netif_speed_record, TxSpeed),
};
constexpr WireField kOnlineUserFields[] = {
    WIRE_TEXT("userName", online_user_record, userName),
    WIRE_INT("userLevel", online_user_record, userLevel),
    WIRE_TEXT("ipaddr", online_user_record, ipaddr),
    WIRE_TEXT("loginTime", online_user_record, loginTime),
};

int answer_json(json_object *object)
{
    cgi_write_json(kRespJson, object);
    cgi_set_callback_done(1);
    return 0;
}

// One JSON object per whole record of the payload, each with `build`.
template <typename Record, typename Build> json_object *records_json(const ReplyReader &reply, Build build)
{
    json_object *list = json_object_new_array();
    Record record;
    for (size_t i = 0; reply.record(i, &record); ++i) {
        json_object *item = json_object_new_object();
        build(item, record);
        json_object_array_add(list, item);
    }
    return list;
}

int answer_netif_list(json_object *list)
{
    JsonPtr object = json_new_object();
    json_object_object_add(object.get(), "netif", list);
    return answer_json(object.get());
}

bool bit_of(uint64_t mask, int bit) { return ((mask >> bit) & 1u) != 0; }

json_object *stream_json(const stream_status &stream)
{
    json_object *object = json_object_new_object();
    json_object *res = json_object_new_object();
    json_add_int(res, "width", stream.width);
    json_add_int(res, "height", stream.height);
    json_object_object_add(object, "res", res);
    json_add_int(object, "framerate", stream.framerate);
    json_add_int(object, "bitrate", stream.bitrate);
    json_add_int(object, "connection", stream.connection);
    json_add_int(object, "connectStatus", stream.connectStatus);
    return object;
}

json_object *unknown_stream_json()
{
    json_object *object = json_object_new_object();
    for (const char *key : {"res", "framerate", "bitrate", "connection"})
        json_add_string(object, key, "--");
    return object;
}

void add_camera_status(json_object *item, const camera_status_record *status)
{
    if (status == nullptr) {
        json_add_string(item, "recordOn", "--");
        json_add_string(item, "alarmOn", "--");
        json_object_object_add(item, "main", unknown_stream_json());
        json_object_object_add(item, "sub", unknown_stream_json());
        return;
    }
    json_add_int(item, "recordOn", status->recordOn);
    json_add_int(item, "alarmOn", status->alarmOn);
    json_object_object_add(item, "main", stream_json(status->main));
    json_object_object_add(item, "sub", stream_json(status->sub));
}

json_object *camera_json(int chnid)
{
    static camera_record camera;
    read_camera(ZQDB_PATH, &camera, chnid);
    char name[kOsdNameSize];
    read_osd_name(ZQDB_PATH, chnid, name, sizeof name);
    json_object *item = json_object_new_object();
    json_add_int(item, "id", chnid);
    json_add_string(item, "name", name);
    json_add_int(item, "enable", camera.enable);
    char address[sizeof camera.ipAddr + 1];
    copy_field_text(address, sizeof address, camera.ipAddr, sizeof camera.ipAddr);
    json_add_string(item, "ipAddr", address[0] != '\0' ? address : "--");
    return item;
}

// The names of the cameras' alarm inputs and outputs, by alarm index and
// channel.
struct CameraAlarmNames {
    alarm_chnin_name_record in[kStatusCameraAlarmInputs][kStatusChannels];
    alarm_chnout_name_record out[kStatusCameraAlarmOutputs][kStatusChannels];
};

void read_camera_alarm_names(CameraAlarmNames *names, int channels)
{
    for (int k = 0; k < kStatusCameraAlarmInputs; ++k)
        read_alarm_chnIn_event_names(ZQDB_PATH, names->in[k], channels, k);
    for (int k = 0; k < kStatusCameraAlarmOutputs; ++k)
        read_alarm_chnOut_event_names(ZQDB_PATH, names->out[k], channels, k);
}

void add_indexed(json_object *item, const char *format, int k, json_object *value)
{
    char key[32];
    snprintf(key, sizeof key, format, k);
    json_object_object_add(item, key, value);
}

void add_camera_alarms(json_object *item, const alarm_status_record &status, const CameraAlarmNames &names,
                       int j)
{
    for (int k = 0; k < kStatusCameraAlarmInputs; ++k) {
        const alarm_chnin_name_record &in = names.in[k][j];
        add_indexed(item, "AlarmInName%d", k, json_field_string(in.name, sizeof in.name));
        add_indexed(item, "AlarmInType%d", k, json_object_new_int(bit_of(status.camera_in_type[k], j)));
        add_indexed(item, "AlarmInState%d", k, json_object_new_int(bit_of(status.camera_in_state[k], j)));
        if (k >= kStatusCameraAlarmOutputs)
            continue;
        const alarm_chnout_name_record &out = names.out[k][j];
        add_indexed(item, "AlarmOutName%d", k, json_field_string(out.name, sizeof out.name));
        add_indexed(item, "AlarmOutDelay%d", k, json_object_new_int(out.delay_time));
        add_indexed(item, "AlarmOutType%d", k, json_object_new_int(bit_of(status.camera_out_type[k], j)));
        add_indexed(item, "AlarmOutState%d", k, json_object_new_int(bit_of(status.camera_out_state[k], j)));
    }
}

json_object *channel_alarm_json(const alarm_status_record &status, const CameraAlarmNames &names, int j)
{
    json_object *item = json_object_new_object();
    static camera_record camera;
    read_camera(ZQDB_PATH, &camera, j);
    char name[kOsdNameSize];
    read_osd_name(ZQDB_PATH, j, name, sizeof name);
    json_add_int(item, "id", j);
    json_add_string(item, "name", name);
    json_add_field(item, "ipAddr", camera.ipAddr);
    json_add_int(item, "videolossOn", bit_of(status.videoloss, j));
    json_add_int(item, "motionOn", bit_of(status.motion, j));
    json_add_int(item, "ioOn", 1);
    const struct {
        const char *key;
        uint64_t mask;
    } events[] = {
        {"entrance", status.entrance},
        {"exiting", status.exiting},
        {"advancedMotion", status.advancedMotion},
        {"tampering", status.tampering},
        {"lineCrossing", status.lineCrossing},
        {"loitering", status.loitering},
        {"humanDetection", status.humanDetection},
        {"objectleftremove", status.objectleftremove},
    };
    for (const auto &event : events)
        json_add_int(item, event.key, bit_of(event.mask, j));
    json_add_int(item, "in", status.in_out[j][0]);
    json_add_int(item, "out", status.in_out[j][1]);
    add_camera_alarms(item, status, names, j);
    return item;
}

json_object *recorder_alarm_ins_json(uint32_t states)
{
    static alarm_in_record inputs[kAlarmInputs];
    read_alarm_ins(ZQDB_PATH, inputs);
    const int count = clamp_count(get_param_int(ZQDB_PATH, "alarm_in", 16), kAlarmInputs);
    json_object *list = json_object_new_array();
    for (int j = 0; j < count; ++j) {
        json_object *item = json_object_new_object();
        json_add_int(item, "id", j);
        json_add_field(item, "name", inputs[j].name);
        json_add_int(item, "type", inputs[j].alarm_type);
        json_add_int(item, "state", bit_of(states, j));
        json_object_array_add(list, item);
    }
    return list;
}

json_object *recorder_alarm_outs_json(uint32_t states)
{
    static alarm_out_record outputs[kAlarmOutputs];
    read_alarm_outs(ZQDB_PATH, outputs);
    const int count = clamp_count(get_param_int(ZQDB_PATH, "alarm_out", 4), kAlarmOutputs);
    json_object *list = json_object_new_array();
    for (int k = 0; k < count; ++k) {
        json_object *item = json_object_new_object();
        json_add_int(item, "id", k);
        json_add_field(item, "name", outputs[k].name);
        json_add_int(item, "type", outputs[k].type);
        json_add_int(item, "duration", outputs[k].duration_time);
        json_add_int(item, "state", bit_of(states, k));
        json_object_array_add(list, item);
    }
    return list;
}

char support_flag(int32_t support) { return support == 1 ? '1' : '0'; }

char support_type(int32_t type) { return type == 1 || type == 2 ? static_cast<char>('0' + type) : '0'; }

} // namespace

int on_get_usage_info_cb(const ReplyReader &reply)
{
    usage_record usage;
    if (!reply.record(0, &usage))
        return -1;
    JsonPtr object = json_new_object();
    json_add_int(object.get(), "total", usage.total);
    json_add_int(object.get(), "free", usage.free);
    json_add_int(object.get(), "used", usage.used);
    return answer_json(object.get());
}

int on_get_netif_info_cb(const ReplyReader &reply)
{
    return answer_netif_list(
        records_json<netif_status_record>(reply, [](json_object *item, const auto &netif) {
            wire_add_fields(item, &netif, wire_layout(kNetifHeadFields, sizeof netif));
            json_add_int(item, "ip6mode", netif.ip6mode);
            wire_add_fields(item, &netif, wire_layout(kNetifTailFields, sizeof netif));
        }));
}

int on_get_netif_speed_cb(const ReplyReader &reply)
{
    return answer_netif_list(
        records_json<netif_speed_record>(reply, [](json_object *item, const auto &speed) {
            wire_add_fields(item, &speed, wire_layout(kNetifSpeedFields, sizeof speed));
        }));
}

// Reply records come in rising channel order; a channel without its record
// shows "--".
int on_get_camera_status_cb(const ReplyReader &reply)
{
    const int channels = read_max_cameras(ZQDB_PATH);
    JsonPtr list = json_new_array();
    size_t j = 0;
    camera_status_record status;
    for (int i = 0; i < channels; ++i) {
        json_object *item = camera_json(i);
        const bool matched = reply.record(j, &status) && status.channel == i;
        add_camera_status(item, matched ? &status : nullptr);
        j += matched ? 1 : 0;
        json_object_array_add(list.get(), item);
    }
    JsonPtr object = json_new_object();
    json_object_object_add(object.get(), "IPC", list.release());
    return answer_json(object.get());
}

// At most the 64 channels the reply's masks have room for.
int on_get_alarm_status_cb(const ReplyReader &reply)
{
    static alarm_status_record status;
    if (!reply.record(0, &status))
        return -1;
    const int channels = read_max_cameras(ZQDB_PATH);
    static CameraAlarmNames names;
    read_camera_alarm_names(&names, channels);
    JsonPtr cameras = json_new_array();
    for (int j = 0; j < channels; ++j)
        json_object_array_add(cameras.get(), channel_alarm_json(status, names, j));
    JsonPtr object = json_new_object();
    json_object_object_add(object.get(), "cameras", cameras.release());
    json_object_object_add(object.get(), "alarmIn",
                           recorder_alarm_ins_json(static_cast<uint32_t>(status.alarm_in_mask)));
    json_object_object_add(object.get(), "alarmOut",
                           recorder_alarm_outs_json(static_cast<uint32_t>(status.alarm_out_mask)));
    return answer_json(object.get());
}

// Character i for record i of all 64.
int on_get_channel_support_type_cb(const ReplyReader &reply)
{
    if (reply.count(sizeof(channel_support_record)) < kStatusChannels)
        return -1;
    char support[kStatusChannels + 1] = {};
    char type[kStatusChannels + 1] = {};
    for (int i = 0; i < kStatusChannels; ++i) {
        channel_support_record record;
        reply.record(static_cast<size_t>(i), &record);
        support[i] = support_flag(record.support);
        type[i] = support_type(record.type);
    }
    JsonPtr object = json_new_object();
    json_add_string(object.get(), "support", support);
    json_add_string(object.get(), "type", type);
    return answer_json(object.get());
}

int on_cgi_get_online_user_status_cb(const ReplyReader &reply)
{
    JsonPtr list(records_json<online_user_record>(reply, [](json_object *item, const auto &user) {
        wire_add_fields(item, &user, wire_layout(kOnlineUserFields, sizeof user));
    }));
    return answer_json(list.get());
}
