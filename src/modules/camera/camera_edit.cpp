// Adding, editing and deleting cameras, and the two partial changes of a
// camera (credentials, transport). Every change is a read-modify-write of
// the channel's records, then notifications and the operation log; a
// database failure stops before anything is announced.
#include <cstdio>
#include <cstring>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/camera/camera.h"
#include "platform/confdb/confdb.h"
#include "platform/fslog/zqfs_log.h"

namespace {

constexpr int kLogSubCameraChanged = 204;
constexpr int kLogSubCameraAdded = 210;
constexpr int kLogSubCameraDeleted = 211;
constexpr int kLogParamCameraAdded = 901;
constexpr int kLogParamCameraDeleted = 902;
constexpr int kLogParamCameraChanged = 903;
constexpr int kLogDetailCamera = 111;

constexpr int kProtocolOnvif = 0;
constexpr int kProtocolRtsp = 1;
constexpr int kProtocolNoAddress = 7; // needs no address or port
constexpr int kTransportUdp = 0;
constexpr int kTransportHttps = 3;

// The text an absent "mac_addr" formats to; stored as no address.
constexpr const char *kMissingMac = "(null)";

// Fields every add and edit copies into the camera record.
const WireField kEntryFields[] = {
    WIRE_INT("minorid", camera_record, minorid),
    WIRE_INT("enable", camera_record, enable),
    WIRE_TEXT("ipAddr", camera_record, ipAddr),
    WIRE_INT("managePort", camera_record, managePort),
    WIRE_INT("camProtocol", camera_record, camProtocol),
    WIRE_INT("transmitProtocol", camera_record, transmitProtocol),
    WIRE_INT("enableSubStream", camera_record, enableSubStream),
    WIRE_INT("syncTime", camera_record, syncTime),
    WIRE_TEXT("ddns", camera_record, ddns),
    WIRE_INT("httpsPort", camera_record, httpsPort),
};
const WireField kCredentialFields[] = {
    WIRE_TEXT("userName", camera_record, userName),
    WIRE_TEXT("password", camera_record, password),
};
// Taken only for a plain RTSP camera.
const WireField kRtspFields[] = {
    WIRE_INT("mainRtspPort", camera_record, mainRtspPort),
    WIRE_TEXT("mainSourcePath", camera_record, mainSourcePath),
    WIRE_INT("subRtspPort", camera_record, subRtspPort),
    WIRE_TEXT("subSourcePath", camera_record, subSourcePath),
    WIRE_TEXT("mainrtspurl", camera_record, mainrtspurl),
    WIRE_TEXT("subrtspurl", camera_record, subrtspurl),
};
// The PoE wiring of a camera, set only when it is added.
const WireField kPoeFields[] = {
    WIRE_TEXT("mac_addr", camera_record, mac_addr),
    WIRE_INT("poechannel", camera_record, poechannel),
    WIRE_INT("physicalport", camera_record, physicalport),
};
const WireField kTransmitFields[] = {
    WIRE_INT("transmitProtocol", camera_record, transmitProtocol),
    WIRE_INT("syncTime", camera_record, syncTime),
    WIRE_INT("httpsPort", camera_record, httpsPort),
};

template <size_t N>
void fill_camera(json_object *request, const WireField (&fields)[N], camera_record *record)
{
    wire_fill(request, wire_layout(fields, sizeof *record), record);
}

template <size_t N> void set_text(char (&field)[N], const char *text)
{
    memset(field, 0, N);
    snprintf(field, N, "%s", text);
}

// 0 when the request describes a camera entry the handlers can store.
int check_digital_channel(json_object *request)
{
    int id = -1;
    int enable = 0;
    int protocol = -1;
    int transport = -1;
    if (!json_value_int(json_get_member(request, "id"), &id) || !camera_channel_valid(id) ||
        json_member_text(request, "name") == nullptr ||
        !json_value_int(json_get_member(request, "enable"), &enable) || enable >= 2 ||
        !json_value_int(json_get_member(request, "camProtocol"), &protocol) || protocol < 0 ||
        protocol > kCameraProtocolMax ||
        !json_value_int(json_get_member(request, "transmitProtocol"), &transport) || transport < 0 ||
        transport > kTransportHttps)
        return -1;
    if (protocol == kProtocolNoAddress)
        return 0;
    const char *address = json_member_text(request, "ipAddr");
    int port = -1;
    if (address == nullptr || address[0] == '\0' ||
        !json_value_int(json_get_member(request, "managePort"), &port) || port < 0)
        return -1;
    return 0;
}

void send_log(int sub_type, int param_code, int chnid, const camera_log_detail *detail)
{
    LogRecord record;
    cgi_init_log_info(&record);
    record.sub_type = sub_type;
    record.param_code = param_code;
    record.object = chnid + 1;
    if (detail != nullptr)
        zqfs_log_pack_detail(&record, kLogDetailCamera, detail, sizeof *detail);
    cgi_send_log_info(&record);
}

const char *protocol_name(int protocol)
{
    if (protocol == kProtocolOnvif)
        return "ONVIF";
    return protocol == kProtocolRtsp ? "RTSP" : "ZQSF";
}

const char *transport_name(int transport)
{
    if (transport == kTransportUdp)
        return "UDP";
    return transport == kTransportHttps ? "RTSP Over HTTPS" : "TCP";
}

void notify_channel(int code, int chnid)
{
    const int32_t payload = chnid;
    relay_notify(code, &payload, sizeof payload);
}

void notify_poe(int chnid, bool other_poe)
{
    const int32_t payload[2] = {chnid, other_poe ? 1 : 0};
    relay_notify(kMsgCameraPoe, payload, sizeof payload);
}

int answer_ok() { return cgi_writeback_webserver(kRespText, "OK"); }

// The failure answer of a change whose database read or write failed.
int answer_db_failure() { return cgi_error_to_webserver(kRespText); }

// Reads the camera record of a valid `chnid` for a change; false when the
// read failed.
bool load_camera(int chnid, camera_record *record)
{
    if (read_camera(ZQDB_PATH, record, chnid) < 0)
        return false;
    record->id = chnid;
    return true;
}

// Stores the validated camera entry of `request` (its OSD name and camera
// record) and leaves the stored camera record in `record`; 0, or -1 when a
// read or a write failed.
int store_camera_entry(json_object *request, bool adding, camera_record *record)
{
    const int chnid = json_member_int(request, "id");
    osd_record osd;
    if (!load_camera(chnid, record) || read_osd(ZQDB_PATH, &osd, chnid) < 0)
        return -1;
    osd.camId = chnid;
    set_text(osd.camName, json_member_text(request, "name"));
    if (write_osd(ZQDB_PATH, &osd) != 0)
        return -1;
    fill_camera(request, kEntryFields, record);
    if (adding || json_member_int(request, "type") == 0)
        fill_camera(request, kCredentialFields, record);
    if (record->camProtocol == kProtocolRtsp)
        fill_camera(request, kRtspFields, record);
    if (adding) {
        fill_camera(request, kPoeFields, record);
        if (strcmp(record->mac_addr, kMissingMac) == 0)
            memset(record->mac_addr, 0, sizeof record->mac_addr);
    }
    return write_camera(ZQDB_PATH, record);
}

// Parses and validates a camera entry; null (the request is to be ignored)
// when it does not parse or is not valid.
JsonPtr parse_camera_entry(const char *text)
{
    JsonPtr request(get_request_tokener_json_object(text));
    if (request && check_digital_channel(request.get()) != 0)
        request.reset();
    return request;
}

// Zeroes the placement and enable of every stored mask area of `chnid`.
// Only a record stored for that channel is touched; 0, or -1 on failure.
int clear_privacy_masks(int chnid)
{
    static privacy_mask_record masks;
    const int found = read_privacy_mask(ZQDB_PATH, &masks, chnid);
    if (found < 0)
        return -1;
    if (found != kRecFound || masks.id != chnid)
        return 0;
    for (privacy_mask_entry &area : masks.areas) {
        area.enable = 0;
        area.start_x = 0;
        area.start_y = 0;
        area.area_width = 0;
        area.area_height = 0;
    }
    return write_privacy_mask(ZQDB_PATH, &masks);
}

// Resets the channel's camera record (keeping its record stream type) and
// its OSD name; 0, or -1 when a read or a write failed.
int reset_camera_channel(int chnid)
{
    camera_record camera;
    osd_record osd;
    if (read_camera(ZQDB_PATH, &camera, chnid) < 0 || read_osd(ZQDB_PATH, &osd, chnid) < 0)
        return -1;
    const int32_t record_stream_type = camera.recordStreamType;
    memset(&camera, 0, sizeof camera);
    camera.id = chnid;
    camera.reset_flag = 1;
    camera.enable = 0;
    camera.recordStreamType = record_stream_type;
    if (write_camera(ZQDB_PATH, &camera) != 0)
        return -1;
    char name[16];
    snprintf(name, sizeof name, "CAM%d", chnid + 1);
    osd.camId = chnid;
    set_text(osd.camName, name);
    return write_osd(ZQDB_PATH, &osd);
}

// Stores a changed camera record, announces it and answers.
int save_changed_camera(const camera_record &record)
{
    if (write_camera(ZQDB_PATH, &record) != 0)
        return answer_db_failure();
    camera_send_changed(record);
    return answer_ok();
}

} // namespace

void camera_send_log(const camera_record &record, int sub_type, int param_code)
{
    camera_log_detail detail{};
    detail.param_code = param_code;
    copy_field_text(detail.ipAddr, sizeof detail.ipAddr, record.ipAddr, sizeof record.ipAddr);
    detail.managePort = record.managePort;
    detail.camera = record.id + 1;
    snprintf(detail.protocol, sizeof detail.protocol, "%s", protocol_name(record.camProtocol));
    snprintf(detail.transport, sizeof detail.transport, "%s", transport_name(record.transmitProtocol));
    detail.syncTime = static_cast<uint8_t>(record.syncTime);
    send_log(sub_type, param_code, record.id, &detail);
}

void camera_send_changed(const camera_record &record)
{
    notify_channel(kMsgCameraChanged, record.id);
    camera_send_log(record, kLogSubCameraChanged, kLogParamCameraChanged);
}

int on_add_ipc(char *text)
{
    const JsonPtr request = parse_camera_entry(text);
    if (!request)
        return -1;
    camera_record record;
    if (store_camera_entry(request.get(), true, &record) != 0)
        return answer_db_failure();
    notify_channel(kMsgCameraAdded, record.id);
    notify_poe(record.id, json_member_int(request.get(), "otherPoe") == 1);
    camera_send_log(record, kLogSubCameraAdded, kLogParamCameraAdded);
    return answer_ok();
}

int on_edit_ipc(char *text)
{
    const JsonPtr request = parse_camera_entry(text);
    if (!request)
        return -1;
    camera_record record;
    if (store_camera_entry(request.get(), false, &record) != 0)
        return answer_db_failure();
    camera_send_changed(record);
    return answer_ok();
}

int on_delete_ipc(char *text)
{
    int chnid = -1;
    if (!relay_low_chnid(text, &chnid))
        return cgi_error_to_webserver(kRespJson);
    if (clear_privacy_masks(chnid) != 0 || reset_camera_channel(chnid) != 0)
        return answer_db_failure();
    notify_channel(kMsgCameraDeleted, chnid);
    notify_poe(chnid, false);
    send_log(kLogSubCameraDeleted, kLogParamCameraDeleted, chnid, nullptr);
    return answer_ok();
}

// Silent unless the channel is valid and both credentials are non-empty.
int on_set_ipc_user(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int chnid = -1;
    const char *user = json_member_text(request.get(), "userName");
    const char *password = json_member_text(request.get(), "password");
    if (!request || !json_value_int(json_get_member(request.get(), "id"), &chnid) ||
        !camera_channel_valid(chnid) || user == nullptr || user[0] == '\0' || password == nullptr ||
        password[0] == '\0')
        return -1;
    camera_record record;
    if (!load_camera(chnid, &record))
        return answer_db_failure();
    set_text(record.userName, user);
    set_text(record.password, password);
    return save_changed_camera(record);
}

int on_set_ipc_transmit(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int chnid = -1;
    if (!request || !json_value_int(json_get_member(request.get(), "id"), &chnid) ||
        !camera_channel_valid(chnid))
        return cgi_error_to_webserver(kRespJson);
    camera_record record;
    if (!load_camera(chnid, &record))
        return answer_db_failure();
    fill_camera(request.get(), kTransmitFields, &record);
    return save_changed_camera(record);
}
