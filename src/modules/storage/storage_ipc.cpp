// The storage module's reply callback and its result decoders.
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/storage/storage.h"

std::atomic<int> g_format_succeeded{0};

int on_storage_ipc_callback(void * /*context*/, const char *header, const char *payload)
{
    if (header == nullptr || payload == nullptr || ipc_reply_size(header) == 0)
        return 0;
    const ReplyReader reply(payload, ipc_reply_size(header));
    switch (ipc_reply_code(header)) {
    case kReplyGetDisks:
        return on_get_storage_info_cb(reply);
    case kReplyFormatDisk:
    case kReplyFormatDiskOld:
        return on_format_disk_cb(reply);
    case kReplyCreateRaid:
    case kReplyRemoveRaid:
    case kReplyAddHotSpare:
    case kReplyRemoveHotSpare:
    case kReplyRemoveSpace:
    case kReplyDelNas:
    case kReplySetQuota:
        return on_remove_space_cb(reply);
    case kReplyAddNas:
    case kReplyUpdateNas:
        return on_update_disk_nas_cb(reply);
    case kReplySearchNas:
        return on_search_disk_nas_cb(reply);
    case kReplyGetSmart:
        return on_get_smart_attr_cb(reply);
    case kReplyGetRecycle:
        return on_get_recycle_mode_cb(reply);
    case kReplySetRecycle:
        return on_set_recycle_cb(reply);
    case kReplyGetExportDisk:
        return on_get_export_disk_info_cb(reply);
    case kReplyGetQuota:
        return on_get_quota_info_cb(reply);
    case kReplyGetAutoBackupStatus:
        return on_cgi_common_json_cb(1, reply);
    case kReplySetEsataBackup:
    case kReplyFormatEsata:
    case kReplyStopAutoBackup:
        return answer_first_int(reply, "result");
    case kReplyGetEsataBackupStatus:
        return on_get_esata_auto_backup_status_cb(reply);
    case kReplyGetFormatInfo:
        return on_cgi_get_format_info_cb(reply);
    case kReplyRebuildRaid:
        return on_rebuild_raid_cb(reply);
    default:
        return 0;
    }
}

namespace {

// The first int32 of a result reply; false when the payload is too short,
// which counts as no reply.
bool first_result(const ReplyReader &reply, int32_t *result)
{
    if (reply.size() < sizeof(int32_t))
        return false;
    *result = reply.int32_at(0);
    return true;
}

// The done flag tells the handler the outcome: 1 done, 2 refused.
int answer_ok_or_error(const ReplyReader &reply)
{
    int32_t result = 0;
    if (!first_result(reply, &result))
        return -1;
    cgi_writeback_webserver(kRespText, result == 0 ? "OK" : "Error");
    cgi_set_callback_done(result == 0 ? 1 : 2);
    return 0;
}

} // namespace

// A result the browser has no text for leaves the response empty; the
// request is still answered.
int on_format_disk_cb(const ReplyReader &reply)
{
    int32_t result = 0;
    if (!first_result(reply, &result))
        return -1;
    const char *text = nullptr;
    switch (result) {
    case 0:
        g_format_succeeded = 1;
        text = "OK";
        break;
    case 1:
        text = "USING";
        break;
    case -1:
        text = "ERROR FORMAT";
        break;
    case -3:
        text = "NAS LOW CAP";
        break;
    default:
        break;
    }
    if (text != nullptr)
        cgi_writeback_webserver(kRespText, text);
    cgi_set_callback_done(1);
    return 0;
}

int on_remove_space_cb(const ReplyReader &reply) { return answer_ok_or_error(reply); }

int on_rebuild_raid_cb(const ReplyReader &reply) { return answer_ok_or_error(reply); }

int on_update_disk_nas_cb(const ReplyReader &reply)
{
    int32_t result = 0;
    if (!first_result(reply, &result))
        return -1;
    JsonPtr object = json_new_object();
    json_add_int(object.get(), "status", 0);
    json_add_int(object.get(), "res", result);
    cgi_write_json(kRespJson, object.get());
    cgi_set_callback_done(1);
    return 0;
}
