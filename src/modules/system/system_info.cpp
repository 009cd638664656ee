// Device information: the identity and capacity report of the core daemon
// with the device's own keys and uptime, and the host name and device id.
#include <cstdio>
#include <cstring>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/system/device_info.h"
#include "modules/system/device_records.h"
#include "modules/system/maintenance_text.h"
#include "modules/system/system.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kDeviceIdLowest = 1;
constexpr int kDeviceIdHighest = 255;
constexpr size_t kUptimeSize = 64;
constexpr size_t kSettingTextSize = 64;
constexpr size_t kHostNameTextSize = 128;

// A text field of the reply record, read up to its width.
template <size_t N> void add_field_text(json_object *object, const char *key, const char (&field)[N])
{
    char text[N + 1];
    copy_field_text(text, sizeof text, field, N);
    json_add_string(object, key, text);
}

void add_setting_text(json_object *object, const char *key, const char *setting, const char *fallback)
{
    char text[kSettingTextSize];
    get_param_value(ZQDB_PATH, setting, text, sizeof text, fallback);
    json_add_string(object, key, text);
}

void add_setting_int(json_object *object, const char *key, const char *setting)
{
    json_add_int(object, key, get_param_int(ZQDB_PATH, setting, 0));
}

json_object *resource_json(const system_info_record &info)
{
    json_object *resource = json_object_new_object();
    json_add_int(resource, "displayNum", info.displayNum);
    json_add_int(resource, "maxAudioOut", info.maxAudioOut);
    json_add_int(resource, "maxNetworkLan", info.maxNetworkLan);
    json_add_int(resource, "maxSensor", info.maxSensor);
    json_add_int(resource, "maxAlarm", info.maxAlarm);
    json_add_int(resource, "maxCameras", info.maxCameras);
    json_add_int(resource, "masRs485", info.masRs485);
    return resource;
}

} // namespace

int on_get_system_info(char * /*text*/)
{
    cgi_ipc_request(on_system_ipc_callback, kMsgSystemInfo, 0, nullptr, kRespJson);
    return 0;
}

int on_get_system_info_cb(const ReplyReader &reply)
{
    system_info_record info;
    if (!reply.record(0, &info))
        return -1;
    char printed[kUptimeSize + 1];
    const char *const uptime_argv[] = {"uptime", nullptr};
    web_run_argv_output(uptime_argv, printed, sizeof printed);
    char uptime[kUptimeSize];
    system_uptime_text(printed, uptime, sizeof uptime);

    const JsonPtr answer = json_new_object();
    json_object *object = answer.get();
    json_add_string(object, "hostName", "");
    add_field_text(object, "deviceName", info.deviceName);
    json_add_int(object, "deviceId", info.deviceId);
    add_field_text(object, "product", info.deviceName);
    add_field_text(object, "hwver", info.hwver);
    add_field_text(object, "software", info.software);
    json_add_int(object, "oemversion", info.oemversion);
    add_field_text(object, "sn", info.sn);
    add_field_text(object, "prefix", info.prefix);
    add_setting_text(object, "pluginVersion", "plugin_version", "1.0");
    add_setting_text(object, "mpluginVersion", "mplugin_version", "1.0");
    add_field_text(object, "macAddress", info.macAddress);
    json_add_int(object, "zqddns", info.zqddns);
    json_add_string(object, "uptime", uptime);
    add_field_text(object, "sncode", info.sn);
    json_object_object_add(object, "resource", resource_json(info));
    add_setting_int(object, "zqfsDbup", "zqfs_dbup");
    add_setting_int(object, "transProtocol", "transport_protocol");
    add_setting_int(object, "streamInfo", "stream_information");
    add_setting_int(object, "oemonlineupdate", "oemupdateonline");
    add_setting_text(object, "company", "company", "Orvane");
    json_add_int(object, "isSupportTalk", info.isSupportTalk);
    cgi_write_json(kRespJson, object);
    cgi_set_callback_done(1);
    return 0;
}

int on_set_system_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    char host_name[kHostNameTextSize] = "";
    int device_id = 0;
    if (request == nullptr ||
        on_cgi_get_string_from_json(request.get(), "hostName", host_name, sizeof host_name) != 0 ||
        host_name[0] == '\0' ||
        !json_int_within(request.get(), "deviceId", kDeviceIdLowest, kDeviceIdHighest, &device_id))
        return 0;
    if (system_store_host_name(host_name) != 0 || system_store_int("deviceid", device_id) != 0)
        return cgi_error_to_webserver(kRespText);
    system_notify_int(kMsgDeviceId, device_id);
    system_notify_service("hostname");
    return cgi_writeback_webserver(kRespText, "OK");
}
