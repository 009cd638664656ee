// Device access settings: the IP access filter ("/6300", "/6301"), the
// automatic reboot ("/1032", "/1033") and UPnP ("/1030", "/1031").
#include <cstdio>
#include <cstring>

#include "codecs/device_db.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "front/web_utils.h"
#include "modules/system/device_info.h"
#include "modules/system/settings.h"
#include "modules/system/settings_records.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr const char *kFilterEnableKey = "access_filter_enable";
constexpr const char *kFilterTypeKey = "access_filter_type";
constexpr int kFilterTypeDefault = 1;

constexpr WireField kFilterEntryFields[] = {
    WIRE_INT("address_type", access_filter_entry, address_type),
    WIRE_TEXT("address", access_filter_entry, address),
};
constexpr WireLayout kFilterEntry = wire_layout(kFilterEntryFields, sizeof(access_filter_entry));

constexpr WireField kRebootFields[] = {
    WIRE_INT("enable", autoreboot_record, enable),   WIRE_INT("wday", autoreboot_record, wday),
    WIRE_INT("hour", autoreboot_record, hour),       WIRE_INT("minutes", autoreboot_record, minutes),
    WIRE_INT("seconds", autoreboot_record, seconds),
};
constexpr WireLayout kReboot = wire_layout(kRebootFields, sizeof(autoreboot_record));

constexpr WireField kUpnpFields[] = {
    WIRE_INT("enable", upnp_record, enable),
    WIRE_INT("type", upnp_record, type),
    WIRE_INT("external_http_port", upnp_record, external_http_port),
    WIRE_INT("http_status", upnp_record, http_status),
    WIRE_INT("external_rtsp_port", upnp_record, external_rtsp_port),
    WIRE_INT("rtsp_status", upnp_record, rtsp_status),
};
constexpr WireLayout kUpnp = wire_layout(kUpnpFields, sizeof(upnp_record));
// What a set request may change besides "enable"; the states are the
// daemon's to report.
constexpr WireField kUpnpSetFields[] = {
    WIRE_INT("type", upnp_record, type),
    WIRE_INT("external_http_port", upnp_record, external_http_port),
    WIRE_INT("external_rtsp_port", upnp_record, external_rtsp_port),
};
constexpr WireLayout kUpnpSet = wire_layout(kUpnpSetFields, sizeof(upnp_record));

constexpr WireField kPortFields[] = {
    WIRE_INT("http_port", port_record, httpPort),
    WIRE_INT("rtsp_port", port_record, rtspPort),
};
constexpr WireLayout kPorts = wire_layout(kPortFields, sizeof(port_record));

bool store_setting(const char *key, int value)
{
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    return system_store_or_add(key, text) == 0;
}

// The entries of a request's list: objects only, the first 100 at most.
int filter_entries_from(json_object *list, access_filter_entry *entries)
{
    int count = 0;
    const size_t length = json_array_size(list);
    for (size_t index = 0; index < length && count < kAccessFilterEntries; ++index) {
        json_object *item = json_array_item(list, index);
        if (!json_object_is_type(item, json_type_object))
            continue;
        access_filter_entry &entry = entries[count++];
        memset(&entry, 0, sizeof entry);
        wire_update(item, kFilterEntry, &entry);
    }
    return count;
}

} // namespace

int read_access_filter(const char *db, access_filter_entry *array, int *count)
{
    static access_filter_table table;
    *count = 0;
    const int read = read_device_record(db, kRecAccessFilter, &table);
    if (read < 0)
        return read;
    *count = clamp_count(table.count, kAccessFilterEntries);
    memcpy(array, table.entries, sizeof(access_filter_entry) * static_cast<size_t>(*count));
    return read;
}

int write_access_filter(const char *db, const access_filter_entry *array, int count)
{
    static access_filter_table table;
    memset(&table, 0, sizeof table);
    table.count = clamp_count(count, kAccessFilterEntries);
    memcpy(table.entries, array, sizeof(access_filter_entry) * static_cast<size_t>(table.count));
    return write_device_record(db, kRecAccessFilter, &table);
}

int on_get_access_filter(char * /*text*/)
{
    static access_filter_entry entries[kAccessFilterEntries];
    int count = 0;
    if (read_access_filter(ZQDB_PATH, entries, &count) < 0)
        return cgi_error_to_webserver(kRespJson);
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "filterEnable", get_param_int(ZQDB_PATH, kFilterEnableKey, 0));
    json_add_int(answer.get(), "filterType", get_param_int(ZQDB_PATH, kFilterTypeKey, kFilterTypeDefault));
    json_object *list = json_object_new_array();
    for (int index = 0; index < count; ++index) {
        json_object *item = json_object_new_object();
        wire_add_fields(item, &entries[index], kFilterEntry);
        json_object_array_add(list, item);
    }
    json_object_object_add(answer.get(), "filterList", list);
    return cgi_write_json(kRespJson, answer.get());
}

// A request without a "filterList" array keeps the stored list: only an
// explicit (possibly empty) list replaces it.
int on_set_access_filter(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int enable = 0;
    int type = 0;
    if (request == nullptr || !json_int_present(request.get(), "filterEnable", &enable) ||
        !json_int_present(request.get(), "filterType", &type))
        return cgi_error_to_webserver(kRespText);
    json_object *list = json_value_array(json_get_member(request.get(), "filterList"));
    bool stored = store_setting(kFilterEnableKey, enable) && store_setting(kFilterTypeKey, type);
    if (stored && list != nullptr) {
        static access_filter_entry entries[kAccessFilterEntries];
        stored = write_access_filter(ZQDB_PATH, entries, filter_entries_from(list, entries)) == 0;
    }
    if (!stored)
        return cgi_error_to_webserver(kRespText);
    system_notify(kMsgAccessFilterChanged, nullptr, 0);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_get_auto_reboot(char * /*text*/)
{
    autoreboot_record record;
    if (read_autoreboot_conf(ZQDB_PATH, &record) < 0)
        return cgi_error_to_webserver(kRespJson);
    const JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), &record, kReboot);
    return cgi_write_json(kRespJson, answer.get());
}

int on_set_auto_reboot(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    autoreboot_record record;
    if (request == nullptr || read_autoreboot_conf(ZQDB_PATH, &record) < 0)
        return cgi_error_to_webserver(kRespText);
    wire_update(request.get(), kReboot, &record);
    if (write_autoreboot_conf(ZQDB_PATH, &record) != 0)
        return cgi_error_to_webserver(kRespText);
    system_notify(kMsgAutoRebootChanged, nullptr, 0);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_get_upnp_info(char * /*text*/)
{
    upnp_record upnp;
    port_record ports;
    if (read_upnp(ZQDB_PATH, &upnp) < 0 || read_port(ZQDB_PATH, &ports) < 0)
        return cgi_error_to_webserver(kRespJson);
    const JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), &upnp, kUpnp);
    wire_add_fields(answer.get(), &ports, kPorts);
    return cgi_write_json(kRespJson, answer.get());
}

// The daemon applies the mapping and stores it itself.
int on_set_upnp_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int enable = 0;
    upnp_record upnp;
    if (request == nullptr || !json_int_present(request.get(), "enable", &enable) ||
        read_upnp(ZQDB_PATH, &upnp) < 0)
        return cgi_error_to_webserver(kRespText);
    upnp.enable = enable;
    wire_update(request.get(), kUpnpSet, &upnp);
    system_notify(kMsgUpnpSet, &upnp, sizeof upnp);
    return cgi_writeback_webserver(kRespText, "OK");
}
