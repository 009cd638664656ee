// Quick settings of the setup wizard: SSH, automatic local login, one
// record mode for every channel, the wizard itself and one camera.
#include <arpa/inet.h>

#include <cstdio>

#include "codecs/channel_db.h"
#include "codecs/device_db.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "front/web_utils.h"
#include "modules/system/device_info.h"
#include "modules/system/device_records.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kPortHighest = 65535;
constexpr size_t kAddressSize = 32;

// The integer `key` of a JSON request text; false when the text is no JSON
// or lacks it.
bool request_int(const char *text, const char *key, int *out)
{
    return on_cgi_get_value_by_json(text, key, out) == 0;
}

// A quick setting that is one database key.
int store_quick_key(const char *text, const char *key, const char *setting)
{
    int value = 0;
    if (!request_int(text, key, &value))
        return 0;
    if (system_store_int(setting, value) != 0)
        return cgi_error_to_webserver(kRespText);
    return cgi_writeback_webserver(kRespText, "OK");
}

// What "/3304" changes of a camera.
struct QuickCamera {
    int id = -1;
    int enable = 0;
    int port = 0;
    const char *address = nullptr;
};

// False when a value is missing or out of range.
bool check_ipc_parms(json_object *request, QuickCamera *out)
{
    out->address = json_member_text(request, "ipAddr");
    return json_int_within(request, "id", 0, kCameraChannels - 1, &out->id) &&
           json_int_within(request, "enable", 0, 1, &out->enable) && out->address != nullptr &&
           out->address[0] != '\0' && json_int_within(request, "managePort", 0, kPortHighest, &out->port);
}

// A missing user name or password is stored empty.
void copy_credential(json_object *request, const char *key, char *field, size_t size)
{
    fill_field_text(field, size, json_member_text(request, key));
}

} // namespace

int on_set_ssh_enable(char *text)
{
    int enable = 0;
    if (!request_int(text, "sshEnable", &enable))
        return 0;
    port_record ports;
    if (read_port(ZQDB_PATH, &ports) < 0)
        return cgi_error_to_webserver(kRespText);
    ports.enableSsh = enable;
    if (write_port(ZQDB_PATH, &ports) != 0)
        return cgi_error_to_webserver(kRespText);
    cgi_writeback_webserver(kRespText, "OK");
    system_notify_service("more");
    return 0;
}

int on_set_auto_login(char *text) { return store_quick_key(text, "autoLoginEnable", "local_auth_enable"); }

int on_set_wizard_enable(char *text) { return store_quick_key(text, "wizardEnable", "wizard_enable"); }

int on_set_record_mode_all(char *text)
{
    int mode = 0;
    if (!request_int(text, "recordMode", &mode))
        return 0;
    static record_setting records[kRecordChannels];
    int count = 0;
    if (read_records(ZQDB_PATH, records, &count) != 0)
        return cgi_error_to_webserver(kRespText);
    for (int chnid = 0; chnid < count; ++chnid) {
        records[chnid].mode = mode;
        if (write_record(ZQDB_PATH, &records[chnid]) != 0)
            return cgi_error_to_webserver(kRespText);
    }
    cgi_writeback_webserver(kRespText, "OK");
    for (int chnid = 0; chnid < count; ++chnid)
        system_notify_int(kMsgRecordSettingChanged, chnid);
    return 0;
}

int on_set_camera_quick(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    QuickCamera change;
    if (request == nullptr || !check_ipc_parms(request.get(), &change))
        return 0;
    camera_record camera;
    if (read_camera(ZQDB_PATH, &camera, change.id) < 0)
        return cgi_error_to_webserver(kRespText);
    camera.id = change.id;
    camera.enable = change.enable;
    fill_field_text(camera.ipAddr, sizeof camera.ipAddr, change.address);
    camera.managePort = change.port;
    camera.camProtocol = 0;
    copy_credential(request.get(), "userName", camera.userName, sizeof camera.userName);
    copy_credential(request.get(), "password", camera.password, sizeof camera.password);
    if (write_camera(ZQDB_PATH, &camera) != 0)
        return cgi_error_to_webserver(kRespText);
    system_notify_int(camera.enable != 0 ? kMsgCameraEnabled : kMsgCameraDisabled, camera.id);
    return cgi_writeback_webserver(kRespText, "OK");
}

// Addresses for the first channels in groups of "chnFre": group g gets
// "startip" with g added to its last number (wrapping at 256), for
// "chnNum" groups and at most the device's cameras.
int on_set_camera_ip_batch(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    in_addr start{};
    char address[kAddressSize] = "";
    on_cgi_get_string_from_json(request.get(), "startip", address, sizeof address);
    const int groups = json_member_int(request.get(), "chnNum");
    const int group_size = json_member_int(request.get(), "chnFre");
    if (request != nullptr && groups > 0 && group_size > 0 && inet_pton(AF_INET, address, &start) == 1) {
        const auto *octet = reinterpret_cast<const unsigned char *>(&start.s_addr);
        const int cameras = clamp_count(get_param_int(ZQDB_PATH, "max_cameras", 32), kCameraChannels);
        for (int chnid = 0; chnid < cameras && chnid / group_size < groups; ++chnid) {
            snprintf(address, sizeof address, "%u.%u.%u.%u", octet[0], octet[1], octet[2],
                     (octet[3] + chnid / group_size) % 256U);
            if (write_camera_ip(ZQDB_PATH, chnid, address) != 0)
                break;
        }
    }
    return cgi_writeback_webserver(kRespText, "OK");
}
