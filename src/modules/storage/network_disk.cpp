// Network disks (NFS and SMB/CIFS shares): add, delete, search a server's
// shares, update one; and removing any disk from the recorder.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/storage/storage.h"
#include "platform/confdb/confdb.h"
#include "platform/crypto/url_code.h"

namespace {

constexpr int kLogSubNasAdd = 219;
constexpr int kLogSubNasDelete = 220;
constexpr int kLogSubNasUpdate = 221;
constexpr int kLogSubRemoveDisk = 224;
constexpr int kLogParamRemoveDisk = 900;
constexpr int kLogDetailNas = 101;
constexpr int kNasPropertyRecord = 1;
constexpr int kSharePathSize = 256;
constexpr size_t kCredentialSize = 33;

// The keys of a network disk's settings, as the add request's parallel
// arrays and the update request's members name them.
enum NasText { kVendor, kAddress, kDirectory, kUserName, kPassword, kNasTexts };
constexpr const char *kNasTextKeys[kNasTexts] = {"vendor", "address", "directory", "userName", "password"};

// One disk's settings as the request gives them (texts may be null).
struct NasSettings {
    int port;
    int type;
    const char *text[kNasTexts];
};

void fill_credential(char (&field)[kCredentialSize], const char *text)
{
    char decoded[kCredentialSize];
    if (get_url_decode(text != nullptr ? text : "", decoded, sizeof decoded) < 0)
        decoded[0] = '\0';
    fill_field_text(field, sizeof field, decoded);
}

// The slot record of a configured network disk: enabled, recorded to, its
// credentials URL-decoded.
disk_record nas_record(const NasSettings &nas)
{
    disk_record record{};
    record.port_id = nas.port;
    record.enable = 1;
    fill_field_text(record.vendor, sizeof record.vendor, nas.text[kVendor]);
    fill_field_text(record.address, sizeof record.address, nas.text[kAddress]);
    fill_field_text(record.directory, sizeof record.directory, nas.text[kDirectory]);
    record.disk_type = nas.type;
    record.property = kNasPropertyRecord;
    fill_credential(record.user_name, nas.text[kUserName]);
    fill_credential(record.password, nas.text[kPassword]);
    return record;
}

void send_nas_log(int sub_type, const disk_record &record, const char *protocol)
{
    nas_log_detail detail{};
    fill_field_text(detail.protocol, sizeof detail.protocol, protocol);
    copy_field_text(detail.address, sizeof detail.address, record.address, sizeof record.address);
    copy_field_text(detail.directory, sizeof detail.directory, record.directory, sizeof record.directory);
    cgi_send_operation_log(sub_type, 0, record.port_id, kLogDetailNas, &detail, sizeof detail);
}

const char *nas_protocol(int type) { return type == kDiskTypeNfs ? "NFS" : "SMB/CIFS"; }

} // namespace

nas_port_list requested_disk_ports(json_object *request)
{
    nas_port_list list{};
    json_object *ports = json_value_array(json_get_member(request, "port"));
    const size_t wanted = static_cast<size_t>(clamp_count(json_member_int(request, "num"), kNasPortsMax));
    for (size_t i = 0; i < wanted && i < json_array_size(ports); ++i) {
        int port = 0;
        if (json_value_int(json_array_item(ports, i), &port) && disk_port_valid(port))
            list.port[list.count++] = port;
    }
    return list;
}

namespace {

// Number of disks the add request describes whole: "num" (at most 33),
// cut to the shortest of its arrays.
size_t nas_add_count(json_object *request)
{
    size_t count = static_cast<size_t>(clamp_count(json_member_int(request, "num"), kNasPortsMax));
    count = std::min(count, json_array_size(json_value_array(json_get_member(request, "port"))));
    for (const char *key : kNasTextKeys)
        count = std::min(count, json_array_size(json_value_array(json_get_member(request, key))));
    return count;
}

NasSettings nas_add_item(json_object *request, size_t index, int type)
{
    NasSettings nas{};
    nas.type = type;
    if (!json_value_int(json_array_item(json_get_member(request, "port"), index), &nas.port))
        nas.port = 0;
    for (int k = 0; k < kNasTexts; ++k)
        nas.text[k] = json_value_text(json_array_item(json_get_member(request, kNasTextKeys[k]), index));
    return nas;
}

} // namespace

// Disks are only logged once the core daemon has answered the deletion.
int on_del_disk_nas(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    const nas_port_list list = requested_disk_ports(request.get());
    static disk_record records[kNasPortsMax];
    for (int i = 0; i < list.count; ++i)
        read_disk(ZQDB_PATH, &records[i], list.port[i]);
    if (cgi_ipc_request(on_storage_ipc_callback, kMsgDelNas, sizeof list, &list, kRespText) == 0)
        return 0;
    for (int i = 0; i < list.count; ++i) {
        if (records[i].port_id != 0)
            send_nas_log(kLogSubNasDelete, records[i], nas_protocol(records[i].disk_type));
    }
    return 0;
}

// Elements beyond the shortest array, and ports that name no disk slot,
// are left out; the disks are stored before the core daemon is asked.
int on_add_disk_nas(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    const int type = json_member_int(request.get(), "type", kDiskTypeNfs);
    static disk_record records[kNasPortsMax];
    nas_port_list list{};
    const size_t count = nas_add_count(request.get());
    for (size_t i = 0; i < count; ++i) {
        const NasSettings nas = nas_add_item(request.get(), i, type);
        if (!disk_port_valid(nas.port))
            continue;
        records[list.count] = nas_record(nas);
        if (write_disk(ZQDB_PATH, &records[list.count]) != 0)
            return cgi_error_to_webserver(kRespText);
        list.port[list.count++] = nas.port;
    }
    if (cgi_ipc_request(on_storage_ipc_callback, kMsgAddNas, sizeof list, &list, kRespText) == 0)
        return 0;
    for (int i = 0; i < list.count; ++i)
        send_nas_log(kLogSubNasAdd, records[i], nas_protocol(type));
    return 0;
}

int on_search_disk_nas(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    nas_search_param search{};
    search.port_id = json_member_int(request.get(), "port");
    fill_field_text(search.server_addr, sizeof search.server_addr,
                    json_member_text(request.get(), "serverAddr"));
    cgi_ipc_request(on_storage_ipc_callback, kMsgSearchNas, sizeof search, &search, kRespJson);
    return 0;
}

int on_update_disk_nas(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    NasSettings nas{};
    nas.port = json_member_int(request.get(), "port");
    nas.type = json_member_int(request.get(), "type");
    for (int k = 0; k < kNasTexts; ++k)
        nas.text[k] = json_member_text(request.get(), kNasTextKeys[k]);
    const disk_record record = nas_record(nas);
    if (!disk_port_valid(nas.port) || write_disk(ZQDB_PATH, &record) != 0)
        return cgi_error_to_webserver(kRespText);
    const int32_t port = nas.port;
    if (cgi_ipc_request(on_storage_ipc_callback, kMsgUpdateNas, sizeof port, &port, kRespText) == 0)
        return 0;
    const char *protocol = nas.type == kDiskTypeNfs ? "NFS" : nas.type == kDiskTypeSmb ? "SMB/CIFS" : "";
    send_nas_log(kLogSubNasUpdate, record, protocol);
    return 0;
}

namespace {

// A local disk the core has let go keeps only its port and the recording
// property in its slot.
int reset_local_disk(int port)
{
    disk_record record{};
    record.port_id = port;
    record.property = kNasPropertyRecord;
    return write_disk(ZQDB_PATH, &record);
}

// Asks the core to let the disk go; the final done flag (1 removed, 2
// refused, 0 no answer).
int request_disk_removal(int port, int type)
{
    if (type == kDiskTypeRaid) {
        raid_param raid{};
        raid.id = port;
        return cgi_ipc_request(on_storage_ipc_callback, kMsgRemoveRaid, sizeof raid, &raid, kRespText);
    }
    if (type == kDiskTypeNfs || type == kDiskTypeSmb) {
        nas_port_list list{};
        list.count = 1;
        list.port[0] = port;
        return cgi_ipc_request(on_storage_ipc_callback, kMsgDelNas, sizeof list, &list, kRespText);
    }
    const int32_t payload = port;
    return cgi_ipc_request(on_storage_ipc_callback, kMsgRemoveDisk, sizeof payload, &payload, kRespText);
}

} // namespace

// A local disk's slot is reset only when the core has removed it, so a
// refused removal keeps the disk's settings.
int on_remove_disk(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int port = 0;
    int type = 0;
    if (!request || on_cgi_get_int_from_json(request.get(), "port", &port) != 0 ||
        on_cgi_get_int_from_json(request.get(), "hddType", &type) != 0)
        return -1;
    const bool array = type == kDiskTypeRaid;
    if (array ? port < kRaidIdFirst || port > kRaidIdLast : !disk_port_valid(port))
        return cgi_error_to_webserver(kRespText);
    const int done = request_disk_removal(port, type);
    if (type == kDiskTypeNfs || type == kDiskTypeSmb)
        return 0;
    if (!array && done == 1)
        reset_local_disk(port);
    cgi_send_operation_log(kLogSubRemoveDisk, kLogParamRemoveDisk, port);
    return 0;
}

int on_search_disk_nas_cb(const ReplyReader &reply)
{
    if (reply.size() < sizeof(int32_t))
        return -1;
    const size_t held = (reply.size() - sizeof(int32_t)) / kSharePathSize;
    const size_t count = static_cast<size_t>(clamp_count(reply.int32_at(0), static_cast<int>(held)));
    JsonPtr shares = json_new_array();
    for (size_t i = 0; i < count; ++i) {
        json_object *share = json_object_new_object();
        json_object_object_add(
            share, "filePath",
            json_field_string(reply.bytes(4 + i * kSharePathSize, kSharePathSize), kSharePathSize));
        json_object_array_add(shares.get(), share);
    }
    JsonPtr object = json_new_object();
    json_add_string(object.get(), "resultString", count > 0 ? "OK" : "NO");
    json_object_object_add(object.get(), "NAS", shares.release());
    cgi_write_json(kRespJson, object.get());
    cgi_set_callback_done(1);
    return 0;
}
