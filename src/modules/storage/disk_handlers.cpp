// Disk attributes and formatting.
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/storage/storage.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kLogSubDiskAttr = 204;
constexpr int kLogParamDiskAttr = 919;
constexpr int kLogSubFormat = 207;
constexpr int kLogParamFormat = 900;
constexpr int kLogDetailFormat = 102;
constexpr int kGroupMax = 8;
constexpr int kFormatProgressMax = 16;

// Port 0 is accepted as well: it names no disk, and the core ignores it.
bool check_disk_info(json_object *request, disk_attr_param *attr)
{
    *attr = {};
    if (on_cgi_get_int_from_json(request, "portId", &attr->port_id) != 0 || attr->port_id < 0 ||
        attr->port_id > kDiskPortLast)
        return false;
    if (on_cgi_get_int_from_json(request, "property", &attr->property) != 0 ||
        (attr->property != 0 && attr->property != 1))
        return false;
    on_cgi_get_int_from_json(request, "group", &attr->group);
    on_cgi_get_int_from_json(request, "private", &attr->private_flag);
    return attr->group >= 0 && attr->group <= kGroupMax;
}

// Read, change and store the slot under the requested port, never under
// the id of a record that was not found.
bool store_disk_attr(const disk_attr_param &attr)
{
    disk_record record;
    if (read_disk(ZQDB_PATH, &record, attr.port_id) < 0)
        return false;
    record.port_id = attr.port_id;
    record.property = attr.property;
    record.group = attr.group;
    return write_disk(ZQDB_PATH, &record) == 0;
}

} // namespace

int on_set_disk_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    disk_attr_param attr;
    if (!request || !check_disk_info(request.get(), &attr))
        return -1;
    if (!store_disk_attr(attr))
        return cgi_error_to_webserver(kRespText);
    cgi_ipc_notify(on_storage_ipc_callback, kMsgSetDiskAttr, sizeof attr, &attr);
    cgi_send_operation_log(kLogSubDiskAttr, kLogParamDiskAttr, attr.port_id);
    return cgi_writeback_webserver(kRespText, "OK");
}

// The outcome is logged whatever the answer was, a missing reply as a failure.
int on_format_disk(char *text)
{
    int port = 0;
    if (!param_text_int(text, &port) || port < 0 || port > kDiskPortLast)
        return -1;
    g_format_succeeded = 0;
    const int32_t payload = port;
    cgi_ipc_request(on_storage_ipc_callback, kMsgFormatDisk, sizeof payload, &payload, kRespJson);
    format_log_detail detail{};
    detail.port_id = port;
    detail.outcome = g_format_succeeded == 1 ? 1 : -1;
    cgi_send_operation_log(kLogSubFormat, kLogParamFormat, port, kLogDetailFormat, &detail, sizeof detail);
    return 0;
}

int on_get_format_progress(char *text)
{
    int value = 0;
    if (!param_text_int(text, &value) || value < 0 || value > kFormatProgressMax)
        return -1;
    return cgi_writeback_webserver(kRespText, "OK");
}
