// Status handlers: each asks the core daemon and answers from its reply;
// the disk groups come from the database.
#include "codecs/disk_db.h"
#include "codecs/json_util.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/status/status.h"
#include "modules/status/status_records.h"
#include "platform/confdb/confdb.h"

namespace {

int ask_core(int code)
{
    cgi_ipc_request(on_status_ipc_callback, code, 0, nullptr, kRespJson);
    return 0;
}

} // namespace

int on_cgi_status_nop(char * /*text*/) { return 0; }

int on_get_usage_info(char * /*text*/) { return ask_core(kMsgGetUsage); }

int on_get_netif_info(char * /*text*/) { return ask_core(kMsgGetNetif); }

int on_get_netif_speed(char * /*text*/) { return ask_core(kMsgGetNetifSpeed); }

int on_get_camera_status(char * /*text*/) { return ask_core(kMsgGetCameraStatus); }

int on_get_alarm_status(char * /*text*/) { return ask_core(kMsgGetAlarmStatus); }

int on_get_channel_support_type(char * /*text*/) { return ask_core(kMsgGetChannelSupport); }

int on_cgi_get_online_user_status(char * /*text*/) { return ask_core(kMsgGetOnlineUsers); }

int on_get_disk_groups_status(char * /*text*/)
{
    JsonPtr object = json_new_object();
    json_add_disk_groups(object.get(), ZQDB_PATH);
    return cgi_write_json(kRespJson, object.get());
}

int on_status_ipc_callback(void * /*context*/, const char *header, const char *payload)
{
    if (header == nullptr || payload == nullptr)
        return 0;
    const ReplyReader reply(payload, ipc_reply_size(header));
    switch (ipc_reply_code(header)) {
    case kReplyUsage:
        return on_get_usage_info_cb(reply);
    case kReplyNetif:
        return on_get_netif_info_cb(reply);
    case kReplyNetifSpeed:
        return on_get_netif_speed_cb(reply);
    case kReplyCameraStatus:
        return on_get_camera_status_cb(reply);
    case kReplyAlarmStatus:
        return on_get_alarm_status_cb(reply);
    case kReplyChannelSupport:
        return on_get_channel_support_type_cb(reply);
    case kReplyOnlineUsers:
        return on_cgi_get_online_user_status_cb(reply);
    default:
        return 0;
    }
}
