// The system module's reply callback and its shared senders.
#include <cstdio>

#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/system/device_info.h"
#include "modules/system/device_records.h"
#include "modules/system/log_records.h"
#include "modules/system/logs.h"
#include "modules/system/settings.h"
#include "modules/system/settings_records.h"
#include "modules/system/maintenance.h"
#include "modules/system/system.h"
#include "modules/system/system_records.h"

int on_system_ipc_callback(void * /*context*/, const char *header, const char *payload)
{
    if (header == nullptr || payload == nullptr)
        return 0;
    const ReplyReader reply(payload, ipc_reply_size(header));
    switch (ipc_reply_code(header)) {
    case kReplyMailLogin:
        return on_user_login_from_mail_cb(reply);
    case kReplyPoeCameraPwd:
        return on_modify_poe_camera_pwd_cb(reply);
    case kReplySystemInfo:
        return on_get_system_info_cb(reply);
    case kReplyLogSearch:
        return on_log_search_info_cb(reply);
    case kReplyLogExport:
        return on_log_web_export_info_cb(reply);
    case kReplyLogDetail:
        return on_log_detail_cb(reply);
    case kReplyAudioList:
        return on_get_audio_file_list_cb(reply);
    case kReplyAudioAdd:
    case kReplyAudioDelete:
    case kReplyAudioRename:
    case kReplyAudioAction:
        on_cgi_common_json_cb(static_cast<int>(reply.count(sizeof(int32_t))), reply);
        return 0;
    case kReplyDiagnosisExport:
        return on_export_diagnosis_cb(reply);
    case kReplyFirmwareInstall:
        return on_upgrade_system_cb(reply);
    default:
        return 0;
    }
}

void system_send_log(int sub_type, int param_code, const char *user_name)
{
    LogRecord record;
    cgi_init_log_info(&record);
    record.sub_type = sub_type;
    record.param_code = param_code;
    if (user_name != nullptr)
        snprintf(record.user_name, sizeof record.user_name, "%s", user_name);
    cgi_send_log_info(&record);
}
