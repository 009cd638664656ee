// Camera network: changing the address of one camera (answered by the
// core daemon's verdict), of several cameras at once (answered at once),
// and reading the results of the last batch change.
#include <algorithm>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/camera/camera.h"

namespace {

constexpr int kLowestPort = 1;
constexpr int kHighestPort = 65535;

// The keys every address change must carry.
constexpr WireField kNetChangeFields[] = {
    WIRE_TEXT("macAddr", ipc_net_change, macAddr),
    WIRE_TEXT("oldIpcAddr", ipc_net_change, oldIpcAddr),
    WIRE_TEXT("newIpcAddr", ipc_net_change, newIpcAddr),
    WIRE_TEXT("netmask", ipc_net_change, netmask),
    WIRE_TEXT("gateway", ipc_net_change, gateway),
    WIRE_TEXT("primaryDNS", ipc_net_change, primaryDNS),
    WIRE_INT("port", ipc_net_change, port),
    WIRE_TEXT("username", ipc_net_change, username),
    WIRE_TEXT("password", ipc_net_change, password),
    WIRE_INT("protocol", ipc_net_change, protocol),
};
constexpr WireLayout kNetChangeLayout = wire_layout(kNetChangeFields, sizeof(ipc_net_change));

// Optional: a missing interface is sent as the missing-text form.
constexpr WireField kNetifFields[] = {
    WIRE_TEXT("netif", ipc_net_change, netif),
};
constexpr WireLayout kNetifLayout = wire_layout(kNetifFields, sizeof(ipc_net_change));

// What an element of a batch change adds.
constexpr WireField kBatchFields[] = {
    WIRE_INT("channelId", ipc_net_change, channelId),
    WIRE_INT("modifynum", ipc_net_change, modifynum),
};
constexpr WireLayout kBatchLayout = wire_layout(kBatchFields, sizeof(ipc_net_change));

// Fills `record` from one change; false when a key is missing (or `item`
// is no object) or the port or protocol is out of range.
bool read_net_change(json_object *item, ipc_net_change *record)
{
    if (!wire_has_all(item, kNetChangeLayout))
        return false;
    const int port = json_member_int(item, "port");
    const int protocol = json_member_int(item, "protocol");
    if (port < kLowestPort || port > kHighestPort || protocol < 0 || protocol > kCameraProtocolMax)
        return false;
    *record = ipc_net_change{};
    wire_fill(item, kNetChangeLayout, record);
    wire_fill(item, kNetifLayout, record);
    return true;
}

// A batch element must also name the channel of the camera it changes.
bool read_batch_change(json_object *item, ipc_net_change *record)
{
    int channel = -1;
    if (!json_value_int(json_get_member(item, "channelId"), &channel) || !camera_channel_valid(channel))
        return false;
    if (!read_net_change(item, record))
        return false;
    wire_fill(item, kBatchLayout, record);
    return true;
}

// Result entries a reply of `size` bytes holds whole.
int modify_entries_held(size_t size)
{
    constexpr size_t first = offsetof(ipc_modify_result, entries);
    return size < first ? 0 : static_cast<int>((size - first) / sizeof(ipc_modify_entry));
}

json_object *modify_entry_json(const ReplyReader &reply, int index)
{
    ipc_modify_entry entry;
    reply.read(offsetof(ipc_modify_result, entries) + index * sizeof entry, &entry, sizeof entry);
    char mac[sizeof entry.mac + 1];
    copy_field_text(mac, sizeof mac, entry.mac, sizeof entry.mac);
    json_object *object = json_object_new_object();
    json_add_string(object, "mac", mac);
    json_add_int(object, "result", entry.result);
    return object;
}

} // namespace

int on_set_ipc_network(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    ipc_net_change record{};
    if (request == nullptr || !read_net_change(request.get(), &record))
        return -1;
    relay_request(kMsgSetNetwork, &record, kNetChangeSize, kRespJson);
    return 0;
}

// Each valid element is sent on its own; elements past the array's end, the
// channel count or "cnt" are not read, invalid ones are skipped.
int on_set_ipc_network_batch(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    json_object *items = request ? json_value_array(json_get_member(request.get(), "oIPCAddr")) : nullptr;
    if (items == nullptr)
        return cgi_error_to_webserver(kRespText);
    const int capacity = static_cast<int>(std::min<size_t>(json_array_size(items), kCameraChannels));
    const int count = clamp_count(json_member_int(request.get(), "cnt"), capacity);
    for (int index = 0; index < count; ++index) {
        ipc_net_change record{};
        if (read_batch_change(json_array_item(items, index), &record))
            relay_notify(kMsgSetNetworkBatch, &record, sizeof record);
    }
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_get_ipc_modify_result(char *)
{
    relay_request(kMsgGetModifyResult, nullptr, 0, kRespJson);
    return 0;
}

// The reply's count is trusted only as far as the entries it really holds.
int on_get_ipc_modify_result_cb(const ReplyReader &reply)
{
    if (reply.size() < offsetof(ipc_modify_result, count) + sizeof(int32_t))
        return -1;
    const int held = std::min(modify_entries_held(reply.size()), kModifyResultMax);
    const int count = clamp_count(reply.int32_at(offsetof(ipc_modify_result, count)), held);
    const JsonPtr answer = json_new_object();
    JsonPtr entries = json_new_array();
    if (answer == nullptr || entries == nullptr) {
        cgi_error_to_webserver(kRespJson);
        cgi_set_callback_done(1);
        return -1;
    }
    for (int index = 0; index < count; ++index)
        json_object_array_add(entries.get(), modify_entry_json(reply, index));
    json_object_object_add(answer.get(), "IPC", entries.release());
    cgi_write_json(kRespJson, answer.get());
    cgi_set_callback_done(1);
    return 0;
}
