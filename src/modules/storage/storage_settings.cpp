// Recycle mode, SMART health, per-channel quotas, disk groups, the eSATA
// disk with its automatic backup, the export disk and the format report.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/storage/storage.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr const char *kGroupModeKey = "group_mode";
constexpr int kChannelLast = 63;
constexpr size_t kSmartRecordSize = 40;
constexpr size_t kSmartTextOffset = 12;
constexpr size_t kExportDiskRecordSize = 184;
constexpr size_t kExportDiskStateOffset = 152;
constexpr int32_t kExportDiskReady = 5;
constexpr size_t kFormatInfoSize = 12;

constexpr WireField kEsataBackupFields[] = {
    WIRE_INT("enable", esata_backup_record, enable),
    WIRE_INT("streamType", esata_backup_record, streamType),
    WIRE_INT("fileType", esata_backup_record, fileType),
    WIRE_INT("recycle", esata_backup_record, recycle),
    WIRE_TEXT("channel", esata_backup_record, channel),
    WIRE_TEXT("backupTime", esata_backup_record, backupTime),
    WIRE_INT("device", esata_backup_record, device),
    WIRE_INT("port", esata_backup_record, port),
};
constexpr WireLayout kEsataBackupLayout = wire_layout(kEsataBackupFields, sizeof(esata_backup_record));

int ask_core(int code, int error_kind, const void *payload = nullptr, int length = 0)
{
    cgi_ipc_request(on_storage_ipc_callback, code, length, payload, error_kind);
    return 0;
}

void notify_core(int code, const void *payload = nullptr, int length = 0)
{
    cgi_ipc_notify(on_storage_ipc_callback, code, length, payload);
}

// The quota entries of the request, at most 16: elements that are not
// objects or name no channel are left out, so the count never exceeds the
// entries sent.
quota_param requested_quota(json_object *request, int enable)
{
    quota_param quota{};
    quota.enable = enable;
    json_object *items = json_value_array(json_get_member(request, "quota_array"));
    for (size_t i = 0; i < json_array_size(items) && quota.count < kQuotaEntries; ++i) {
        json_object *item = json_array_item(items, i);
        int channel = -1;
        if (on_cgi_get_int_from_json(item, "channel", &channel) != 0 || channel < 0 || channel > kChannelLast)
            continue;
        quota_entry &entry = quota.entries[quota.count++];
        entry.channel = channel;
        entry.video_quota = json_member_int(item, "video_quota");
        entry.picture_quota = json_member_int(item, "picture_quota");
    }
    return quota;
}

// Sends each channel text to the group stored at its position, keeping
// the group's id and second text, and stores the new text.
bool send_group_channels(json_object *channels)
{
    disk_group_record groups[kDiskGroups];
    int count = 0;
    if (read_groups(ZQDB_PATH, groups, &count) != 0)
        return false;
    for (size_t i = 0; i < json_array_size(channels) && i < static_cast<size_t>(kDiskGroups); ++i) {
        const char *text = json_value_text(json_array_item(channels, i));
        disk_group_record &group = groups[i];
        fill_field_text(group.channel, sizeof group.channel, text != nullptr ? text : "");
        if (write_group(ZQDB_PATH, &group, static_cast<int>(i)) != 0)
            return false;
        notify_core(kMsgSetGroup, &group, sizeof group);
    }
    return true;
}

bool store_group_mode(int mode)
{
    char value[16];
    snprintf(value, sizeof value, "%d", mode);
    return add_param_value(ZQDB_PATH, kGroupModeKey, value) == 0;
}

int answer_json(json_object *object)
{
    cgi_write_json(kRespJson, object);
    cgi_set_callback_done(1);
    return 0;
}

} // namespace

int on_set_recycle_mode(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    const int32_t payload[2] = {json_member_int(request.get(), "mode"),
                                json_member_int(request.get(), "esata")};
    return ask_core(kMsgSetRecycle, kRespJson, payload, sizeof payload);
}

int on_get_recycle_mode(char * /*text*/)
{
    const int32_t payload = 0;
    return ask_core(kMsgGetRecycle, kRespJson, &payload, sizeof payload);
}

// The core is asked about the last disk of the list only.
int on_get_smart_attr(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    const nas_port_list list = requested_disk_ports(request.get());
    if (list.count == 0)
        return cgi_error_to_webserver(kRespJson);
    const int32_t port = list.port[list.count - 1];
    return ask_core(kMsgGetSmart, kRespJson, &port, sizeof port);
}

int on_get_quota_info(char * /*text*/) { return ask_core(kMsgGetQuota, kRespJson); }

int on_set_quota_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int enable = 0;
    if (!request || on_cgi_get_int_from_json(request.get(), "enable", &enable) != 0)
        return -1;
    const quota_param quota = requested_quota(request.get(), enable);
    return ask_core(kMsgSetQuota, kRespText, &quota, sizeof quota);
}

// Every message goes without waiting; the groups are told to reload last.
int on_set_disk_group(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int enable = 0;
    if (!request || on_cgi_get_int_from_json(request.get(), "group_enable", &enable) != 0)
        return -1;
    const int32_t mode = enable;
    if (enable == 0) {
        if (!store_group_mode(0))
            return cgi_error_to_webserver(kRespText);
        notify_core(kMsgSetGroupMode, &mode, sizeof mode);
        return cgi_writeback_webserver(kRespText, "OK");
    }
    if (get_param_int(ZQDB_PATH, kGroupModeKey, 0) == 0) {
        if (!store_group_mode(enable))
            return cgi_error_to_webserver(kRespText);
        notify_core(kMsgSetGroupMode, &mode, sizeof mode);
    }
    if (!send_group_channels(json_value_array(json_get_member(request.get(), "channel"))))
        return cgi_error_to_webserver(kRespText);
    notify_core(kMsgGroupsChanged);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_get_esata_auto_backup(char * /*text*/)
{
    esata_backup_record record;
    if (confdb_read_record(ZQDB_PATH, kRecEsataBackup, 0, &record, sizeof record) < 0)
        return cgi_error_to_webserver(kRespJson);
    JsonPtr object = json_new_object();
    wire_add_fields(object.get(), &record, kEsataBackupLayout);
    return cgi_write_json(kRespJson, object.get());
}

// The settings are stored only with "stopBackup" 0; the core is told in
// every case.
int on_set_esata_auto_backup(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    const int32_t stop = json_member_int(request.get(), "stopBackup");
    if (stop == 0) {
        esata_backup_record record;
        if (confdb_read_record(ZQDB_PATH, kRecEsataBackup, 0, &record, sizeof record) < 0)
            return cgi_error_to_webserver(kRespJson);
        wire_update(request.get(), kEsataBackupLayout, &record);
        record.reserved0 = 0;
        if (confdb_write_record(ZQDB_PATH, kRecEsataBackup, 0, &record, sizeof record) != 0)
            return cgi_error_to_webserver(kRespJson);
    }
    return ask_core(kMsgSetEsataBackup, kRespJson, &stop, sizeof stop);
}

int on_get_esata_auto_backup_status(char * /*text*/) { return ask_core(kMsgGetEsataBackupStatus, kRespJson); }

int on_get_export_disk_info(char * /*text*/) { return ask_core(kMsgGetExportDisk, kRespJson); }

int on_format_esata_disk(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    int32_t port = 0;
    if (on_cgi_get_int_from_json(request.get(), "port", &port) != 0 || port < 0 || port > kDiskPortLast)
        return cgi_error_to_webserver(kRespJson);
    return ask_core(kMsgFormatEsata, kRespJson, &port, sizeof port);
}

int on_cgi_get_auto_backup_status(char * /*text*/) { return ask_core(kMsgGetAutoBackupStatus, kRespJson); }

int on_cgi_set_auto_backup_stop(char * /*text*/) { return ask_core(kMsgStopAutoBackup, kRespJson); }

int on_cgi_get_format_info(char * /*text*/) { return ask_core(kMsgGetFormatInfo, kRespJson); }

// Decoders.

int on_set_recycle_cb(const ReplyReader &reply)
{
    if (reply.size() < sizeof(int32_t))
        return -1;
    JsonPtr object = json_new_object();
    json_add_string(object.get(), "status", "OK");
    return answer_json(object.get());
}

int on_get_recycle_mode_cb(const ReplyReader &reply)
{
    if (reply.size() < 2 * sizeof(int32_t))
        return -1;
    JsonPtr object = json_new_object();
    json_add_int(object.get(), "mode", reply.int32_at(0));
    json_add_int(object.get(), "esata", reply.int32_at(4));
    return answer_json(object.get());
}

int on_get_smart_attr_cb(const ReplyReader &reply)
{
    const char *text = reply.bytes(kSmartTextOffset, kSmartRecordSize - kSmartTextOffset);
    if (text == nullptr)
        return -1;
    const size_t length = strnlen(text, kSmartRecordSize - kSmartTextOffset);
    const bool passed = memmem(text, length, "PASSED", 6) != nullptr;
    JsonPtr object = json_new_object();
    json_add_int(object.get(), "selfEvaluation", passed ? 1 : 0);
    return answer_json(object.get());
}

// Entries beyond what the payload holds or the record has room for are
// not read.
int on_get_quota_info_cb(const ReplyReader &reply)
{
    if (reply.size() < offsetof(quota_param, entries))
        return -1;
    const size_t held = (reply.size() - offsetof(quota_param, entries)) / sizeof(quota_entry);
    const int count = clamp_count(reply.int32_at(4), std::min(kQuotaEntries, static_cast<int>(held)));
    JsonPtr entries = json_new_array();
    for (int i = 0; i < count; ++i) {
        quota_entry entry;
        reply.read(offsetof(quota_param, entries) + i * sizeof entry, &entry, sizeof entry);
        json_object *item = json_object_new_object();
        json_add_int(item, "channel", entry.channel & 0xff);
        json_add_int(item, "video_used", entry.video_used);
        json_add_int(item, "video_quota", entry.video_quota);
        json_add_int(item, "picture_used", entry.picture_used);
        json_add_int(item, "picture_quota", entry.picture_quota);
        json_object_array_add(entries.get(), item);
    }
    JsonPtr object = json_new_object();
    json_add_int(object.get(), "enable", reply.int32_at(0));
    json_object_object_add(object.get(), "quota_array", entries.release());
    json_add_disk_groups(object.get(), ZQDB_PATH);
    return answer_json(object.get());
}

int on_get_esata_auto_backup_status_cb(const ReplyReader &reply)
{
    esata_backup_status status;
    if (!reply.record(0, &status))
        return -1;
    char percent[32];
    snprintf(percent, sizeof percent, "%.1f", static_cast<double>(status.percent));
    JsonPtr object = json_new_object();
    json_add_int(object.get(), "status", status.status);
    json_add_string(object.get(), "percent", percent);
    json_add_field(object.get(), "last_time", status.last_time);
    json_add_int(object.get(), "capacity", status.capacity);
    return answer_json(object.get());
}

int on_get_export_disk_info_cb(const ReplyReader &reply)
{
    JsonPtr object = json_new_object();
    for (size_t i = 0; i < reply.count(kExportDiskRecordSize); ++i) {
        const size_t base = i * kExportDiskRecordSize;
        if (reply.int32_at(base + kExportDiskStateOffset) != kExportDiskReady)
            continue;
        json_add_int(object.get(), "port", static_cast<unsigned char>(*reply.bytes(base, 1)));
        json_add_int(object.get(), "result", 0);
        return answer_json(object.get());
    }
    if (reply.count(kExportDiskRecordSize) == 0)
        return -1;
    json_add_int(object.get(), "result", -1);
    return answer_json(object.get());
}

int on_cgi_get_format_info_cb(const ReplyReader &reply)
{
    const char *info = reply.bytes(0, kFormatInfoSize);
    if (info == nullptr)
        return -1;
    JsonPtr object = json_new_object();
    json_add_int(object.get(), "status", reply.int32_at(0));
    json_add_int(object.get(), "port", static_cast<unsigned char>(info[5]));
    json_add_int(object.get(), "type", reply.int32_at(8));
    json_add_int(object.get(), "percent", static_cast<unsigned char>(info[4]));
    return answer_json(object.get());
}

// {key: the first int32}, the answer of several eSATA and backup replies.
int answer_first_int(const ReplyReader &reply, const char *key)
{
    if (reply.size() < sizeof(int32_t))
        return -1;
    JsonPtr object = json_new_object();
    json_add_int(object.get(), key, reply.int32_at(0));
    return answer_json(object.get());
}
