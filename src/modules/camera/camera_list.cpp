// Camera list, search, detail, protocol list and channel names: the list
// and the search ask the core daemon, the rest read the database.
#include <cstring>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/camera/camera.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kMaxCamerasDefault = 32;
constexpr int kProtocolsMax = 64;
constexpr int kModelsMax = 256;
// The protocol of our own cameras, whose stored display_model 1 is cleared
// whenever the protocol list is read.
constexpr int kOwnProtocolId = 2;

// Reply 8201, around the keys that do not come from the record.
const WireField kListHead[] = {
    WIRE_INT("id", ipc_list_record, id),
};
const WireField kListBody[] = {
    WIRE_TEXT("ipAddr", ipc_list_record, ipAddr),
    WIRE_INT("managePort", ipc_list_record, managePort),
    WIRE_INT("camProtocol", ipc_list_record, camProtocol),
    WIRE_TEXT("vendor", ipc_list_record, vendor),
    WIRE_TEXT("sn", ipc_list_record, sn),
    WIRE_TEXT("snReal", ipc_list_record, snReal),
    WIRE_TEXT("mac", ipc_list_record, mac),
    WIRE_TEXT("model", ipc_list_record, model),
    WIRE_TEXT("fwVersion", ipc_list_record, fwVersion),
    WIRE_INT("state", ipc_list_record, state),
    WIRE_INT("mainRtspPort", ipc_list_record, mainRtspPort),
    WIRE_INT("physicalport", ipc_list_record, physicalport),
    WIRE_INT("poechannel", ipc_list_record, poechannel),
    WIRE_INT("alarmin", ipc_list_record, alarmin),
    WIRE_INT("alarmout", ipc_list_record, alarmout),
    WIRE_INT("whiteLed", ipc_list_record, whiteLed),
    WIRE_INT("ledAlarm", ipc_list_record, ledAlarm),
    WIRE_INT("ledManual", ipc_list_record, ledManual),
    WIRE_INT("minorid", ipc_list_record, minorid),
    WIRE_INT("subState", ipc_list_record, subState),
    WIRE_INT("connectState", ipc_list_record, connectState),
    WIRE_TEXT("ddns", ipc_list_record, ddns),
    WIRE_TEXT("chipinfo", ipc_list_record, chipinfo),
};
const WireLayout kListHeadLayout = wire_layout(kListHead, sizeof(ipc_list_record));
const WireLayout kListBodyLayout = wire_layout(kListBody, sizeof(ipc_list_record));

// Reply 8200, around the name, which is checked before it is sent. The
// browser has always received "sn" twice; json-c keeps one key in its first
// place with the value of the second, so the tail repeats "sn".
const WireField kSearchHead[] = {
    WIRE_TEXT("ipAddr", ipc_search_record, ipAddr),
    WIRE_INT("managePort", ipc_search_record, managePort),
    WIRE_INT("protocol", ipc_search_record, protocol),
    WIRE_TEXT("macAddr", ipc_search_record, macAddr),
    WIRE_TEXT("vendor", ipc_search_record, vendor),
    WIRE_TEXT("sn", ipc_search_record, sn),
    WIRE_TEXT("fwVersion", ipc_search_record, fwVersion),
    WIRE_TEXT("model", ipc_search_record, model),
    WIRE_INT("modelId", ipc_search_record, modelId),
    WIRE_TEXT("netmask", ipc_search_record, netmask),
    WIRE_TEXT("dns", ipc_search_record, dns),
    WIRE_TEXT("gateway", ipc_search_record, gateway),
    WIRE_TEXT("netif", ipc_search_record, netif),
    WIRE_INT("active_status", ipc_search_record, active_status),
};
const WireField kSearchTail[] = {
    WIRE_TEXT("sn", ipc_search_record, sn),
    WIRE_TEXT("snReal", ipc_search_record, snReal),
};
const WireLayout kSearchHeadLayout = wire_layout(kSearchHead, sizeof(ipc_search_record));
const WireLayout kSearchTailLayout = wire_layout(kSearchTail, sizeof(ipc_search_record));

// "/2000": the camera record around the OSD name and the model's protocol.
const WireField kDetailHead[] = {
    WIRE_INT("id", camera_record, id),
};
const WireField kDetailAddress[] = {
    WIRE_TEXT("ipAddr", camera_record, ipAddr),
    WIRE_INT("managePort", camera_record, managePort),
};
const WireField kDetailBody[] = {
    WIRE_INT("model", camera_record, camProtocol),
    WIRE_TEXT("userName", camera_record, userName),
    WIRE_TEXT("password", camera_record, password),
    WIRE_INT("transmitProtocol", camera_record, transmitProtocol),
    WIRE_INT("mainRtspPort", camera_record, mainRtspPort),
    WIRE_TEXT("mainSourcePath", camera_record, mainSourcePath),
    WIRE_INT("subRtspEnable", camera_record, enableSubStream),
    WIRE_INT("subRtspPort", camera_record, subRtspPort),
    WIRE_TEXT("subSourcePath", camera_record, subSourcePath),
    WIRE_INT("syncTime", camera_record, syncTime),
    WIRE_TEXT("mainRtspUrl", camera_record, mainrtspurl),
    WIRE_TEXT("subRtspUrl", camera_record, subrtspurl),
    WIRE_INT("physicalport", camera_record, physicalport),
    WIRE_INT("poechannel", camera_record, poechannel),
    WIRE_TEXT("mac_addr", camera_record, mac_addr),
    WIRE_INT("minorid", camera_record, minorid),
    WIRE_TEXT("ddns", camera_record, ddns),
    WIRE_INT("httpsPort", camera_record, httpsPort),
};
const WireLayout kDetailHeadLayout = wire_layout(kDetailHead, sizeof(camera_record));
const WireLayout kDetailAddressLayout = wire_layout(kDetailAddress, sizeof(camera_record));
const WireLayout kDetailBodyLayout = wire_layout(kDetailBody, sizeof(camera_record));

// "/2008": a protocol and its models.
const WireField kProtocolFields[] = {
    WIRE_INT("id", ipc_protocol_record, id),
    WIRE_TEXT("name", ipc_protocol_record, name),
    WIRE_INT("protocolFunction", ipc_protocol_record, protocolFunction),
    WIRE_INT("enable", ipc_protocol_record, enable),
    WIRE_INT("display_model", ipc_protocol_record, display_model),
};
const WireField kModelFields[] = {
    WIRE_INT("id", ipc_model_record, id),
    WIRE_TEXT("name", ipc_model_record, name),
    WIRE_INT("alarm_type", ipc_model_record, alarm_type),
    WIRE_INT("default_model", ipc_model_record, default_model),
};
const WireLayout kProtocolLayout = wire_layout(kProtocolFields, sizeof(ipc_protocol_record));
const WireLayout kModelLayout = wire_layout(kModelFields, sizeof(ipc_model_record));

json_object *list_entry(const ipc_list_record &record)
{
    json_object *entry = json_object_new_object();
    if (entry == nullptr)
        return nullptr;
    wire_add_fields(entry, &record, kListHeadLayout);
    json_add_int(entry, "enable", 1);
    char name[kOsdNameSize];
    read_osd_name(ZQDB_PATH, record.id, name, sizeof name);
    json_add_string(entry, "name", name);
    wire_add_fields(entry, &record, kListBodyLayout);
    return entry;
}

// Names of other encodings are not passed on: the browser gets "" instead.
bool is_plain_ascii(const char *text)
{
    for (; *text != '\0'; ++text)
        if ((static_cast<unsigned char>(*text) & 0x80) != 0)
            return false;
    return true;
}

json_object *search_entry(const ipc_search_record &record)
{
    json_object *entry = json_object_new_object();
    if (entry == nullptr)
        return nullptr;
    wire_add_fields(entry, &record, kSearchHeadLayout);
    char name[sizeof record.name + 1];
    copy_field_text(name, sizeof name, record.name, sizeof record.name);
    json_add_string(entry, "name", is_plain_ascii(name) ? name : "");
    wire_add_fields(entry, &record, kSearchTailLayout);
    return entry;
}

// Every record of the reply through `make_entry`, as an array.
template <typename Record>
json_object *reply_entries(const ReplyReader &reply, json_object *(*make_entry)(const Record &))
{
    json_object *list = json_object_new_array();
    if (list == nullptr)
        return nullptr;
    Record record;
    for (size_t index = 0; index < reply.count(sizeof record); ++index)
        if (reply.record(index, &record))
            json_object_array_add(list, make_entry(record));
    return list;
}

// The detail of a channel whose camera record has been read; false when a
// read failed.
bool add_camera_detail(json_object *answer, const camera_record &camera)
{
    ipc_model_record model;
    if (read_ipc_model(ZQDB_PATH, &model, camera.camProtocol) < 0)
        return false;
    char name[kOsdNameSize];
    read_osd_name(ZQDB_PATH, camera.id, name, sizeof name);
    wire_add_fields(answer, &camera, kDetailHeadLayout);
    json_add_string(answer, "name", name);
    wire_add_fields(answer, &camera, kDetailAddressLayout);
    json_add_int(answer, "protocol", model.protocol);
    wire_add_fields(answer, &camera, kDetailBodyLayout);
    return true;
}

// Stored protocols (at most `capacity`) with the display_model of our own
// protocol cleared in the database; -1 when a read or the write failed.
int read_protocols_fixed(ipc_protocol_record *protocols, int capacity)
{
    const int count = read_ipc_protocols(ZQDB_PATH, protocols, capacity);
    for (int index = 0; index < count; ++index) {
        ipc_protocol_record &protocol = protocols[index];
        if (protocol.id != kOwnProtocolId || protocol.display_model != 1)
            continue;
        protocol.display_model = 0;
        if (write_ipc_protocol(ZQDB_PATH, &protocol) != 0)
            return -1;
    }
    return count;
}

// One protocol with its models; null when its models cannot be read.
json_object *protocol_entry(const ipc_protocol_record &protocol)
{
    static ipc_model_record models[kModelsMax];
    const int count = read_ipc_models_by_protocol(ZQDB_PATH, protocol.id, models, kModelsMax);
    if (count < 0)
        return nullptr;
    JsonPtr entry = json_new_object();
    JsonPtr list = json_new_array();
    if (!entry || !list)
        return nullptr;
    wire_add_fields(entry.get(), &protocol, kProtocolLayout);
    for (int index = 0; index < count; ++index) {
        json_object *model = json_object_new_object();
        if (model == nullptr)
            return nullptr;
        wire_add_fields(model, &models[index], kModelLayout);
        json_object_array_add(list.get(), model);
    }
    json_object_object_add(entry.get(), "models", list.release());
    return entry.release();
}

} // namespace

int on_get_ipc_detail(char *text)
{
    int chnid = -1;
    if (!relay_low_chnid(text, &chnid))
        return cgi_error_to_webserver(kRespJson);
    camera_record camera;
    if (read_camera(ZQDB_PATH, &camera, chnid) < 0)
        return cgi_error_to_webserver(kRespJson);
    // A channel without a stored camera still answers as itself.
    camera.id = chnid;
    const JsonPtr answer = json_new_object();
    if (!answer || !add_camera_detail(answer.get(), camera))
        return cgi_error_to_webserver(kRespJson);
    return cgi_write_json(kRespJson, answer.get());
}

int on_get_ipc_list(char *)
{
    relay_request(kMsgListCameras, nullptr, 0, kRespJson);
    return 0;
}

int on_get_ipc_list_cb(const ReplyReader &reply)
{
    const JsonPtr answer = json_new_object();
    json_object *list = reply_entries<ipc_list_record>(reply, list_entry);
    if (!answer || list == nullptr) {
        json_object_put(list);
        return relay_answer_json(nullptr);
    }
    json_object_object_add(answer.get(), "IPC", list);
    json_add_int(answer.get(), "maxIPCNums", get_param_int(ZQDB_PATH, "max_cameras", kMaxCamerasDefault));
    return relay_answer_json(answer.get());
}

// The search goes out on every interface, so "nic" is not needed.
int on_search_ipc(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return cgi_error_to_webserver(kRespJson);
    const int32_t protocol = json_member_int(request.get(), "protocol");
    if (protocol < 0 || protocol > kCameraProtocolMax)
        return -1;
    relay_request(kMsgSearchCameras, &protocol, sizeof protocol, kRespJson);
    return 0;
}

int on_search_ipc_cb(const ReplyReader &reply)
{
    const JsonPtr answer = json_new_object();
    json_object *list = reply_entries<ipc_search_record>(reply, search_entry);
    if (!answer || list == nullptr) {
        json_object_put(list);
        return relay_answer_json(nullptr);
    }
    const bool found = json_object_array_length(list) > 0;
    json_object_object_add(answer.get(), "IPC", list);
    json_add_string(answer.get(), "resultString", found ? "OK" : "NO");
    return relay_answer_json(answer.get());
}

int on_get_ipc_protocols(char *)
{
    static ipc_protocol_record protocols[kProtocolsMax];
    const int count = read_protocols_fixed(protocols, kProtocolsMax);
    const JsonPtr answer = json_new_object();
    JsonPtr list = json_new_array();
    if (count < 0 || !answer || !list)
        return cgi_error_to_webserver(kRespJson);
    for (int index = 0; index < count; ++index) {
        json_object *entry = protocol_entry(protocols[index]);
        if (entry == nullptr)
            return cgi_error_to_webserver(kRespJson);
        json_object_array_add(list.get(), entry);
    }
    json_object_object_add(answer.get(), "protocols", list.release());
    return cgi_write_json(kRespJson, answer.get());
}

int on_get_ipc_names(char *)
{
    const JsonPtr answer = json_new_object();
    JsonPtr list = json_new_array();
    if (!answer || !list)
        return cgi_error_to_webserver(kRespJson);
    const int channels = read_max_cameras(ZQDB_PATH);
    for (int chnid = 0; chnid < channels; ++chnid) {
        char name[kOsdNameSize];
        read_osd_name(ZQDB_PATH, chnid, name, sizeof name);
        json_object *entry = json_object_new_object();
        if (entry == nullptr)
            return cgi_error_to_webserver(kRespJson);
        json_add_int(entry, "id", chnid);
        json_add_string(entry, "name", name);
        json_object_array_add(list.get(), entry);
    }
    json_object_object_add(answer.get(), "IPC", list.release());
    return cgi_write_json(kRespJson, answer.get());
}
