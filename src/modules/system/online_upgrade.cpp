// Online firmware upgrade and camera firmware upgrade: the core daemon
// looks up, downloads and installs the images; these handlers pass the
// browser's choices on and report what the daemon answers.
#include "modules/system/online_upgrade.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "codecs/channel_mask.h"
#include "codecs/firmware_paths.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "core/ipc.h"
#include "front/cgi_upload.h"
#include "front/web_utils.h"
#include "modules/system/device_records.h"
#include "modules/system/maintenance.h"
#include "modules/system/upgrade_records.h"
#include "platform/sysutil/nvr_path.h"
#include "platform/sysutil/zq_std.h"

namespace {

// Operation log entries of the recorder's own upgrade (main type 4).
constexpr int kUpgradeLogInstall = 203;
constexpr int kUpgradeLogRestart = 200;
constexpr int kUpgradeLogParam = 900;

constexpr int kMaxChannel = static_cast<int>(kUpgradeChannelCount) - 1;

constexpr WireField kUpgradeInfoFields[] = {
    WIRE_INT("state", upgrade_info, state),
    WIRE_INT("fileSize", upgrade_info, file_size),
    WIRE_TEXT("softversion", upgrade_info, softversion),
    WIRE_TEXT("url", upgrade_info, url),
    WIRE_TEXT("description", upgrade_info, description),
};
constexpr WireLayout kUpgradeInfo = wire_layout(kUpgradeInfoFields, sizeof(upgrade_info));
// The 64 records of a camera check, one per channel.
constexpr WireList kCameraChecks{kUpgradeInfo, 0, kUpgradeChannelCount, sizeof(upgrade_info)};

int answer_res(int32_t result)
{
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "res", result);
    return cgi_write_json(kRespJson, answer.get());
}

// A decoder's answer; it ends the wait.
int answer_reply(const JsonPtr &answer)
{
    cgi_write_json(kRespJson, answer.get());
    cgi_set_callback_done(1);
    return 0;
}

// The generic JSON error for a reply that holds no whole record; it still
// ends the wait, since nothing better will come.
int answer_short_reply()
{
    cgi_error_to_webserver(kRespJson);
    cgi_set_callback_done(1);
    return -1;
}

// Sends `code` and waits; without an answer the browser gets the plain
// text error.
void request(int code, const void *payload, int length)
{
    cgi_ipc_request(on_upgrade_ipc_callback, code, length, payload, kRespText);
}

void notify(int code) { cgi_ipc_notify(on_upgrade_ipc_callback, code, 0, nullptr); }

// The request's "type" when it names a known download target.
bool download_type(const JsonPtr &json, int *type)
{
    return json && json_value_int(json_get_member(json.get(), "type"), type) &&
           (*type == kDownloadDeviceFirmware || *type == kDownloadCameraFirmware);
}

} // namespace

// Takes the image uploaded with this request, if any; without one, the
// image already in place answers.
int on_upgrade_camera(char *)
{
    const NvrPath image(kCameraFirmwarePath);
    const char *upload = cgi_uploaded_file_path();
    const bool ok = upload != nullptr ? MoveFileSync(upload, image.c_str()) == 0
                                      : zq_check_file_exist(image.c_str()) == 0;
    return cgi_writeback_webserver(kRespText, ok ? "OK" : "Error");
}

int on_start_upgrade_camera(char *text)
{
    const JsonPtr json(get_request_tokener_json_object(text));
    camera_upgrade_request payload{};
    if (!json || !json_value_int(json_get_member(json.get(), "chnid"), &payload.chnid) || payload.chnid < 0 ||
        payload.chnid > kMaxChannel)
        return cgi_error_to_webserver(kRespJson);
    payload.reset = json_member_int(json.get(), "reset");
    fill_field_text(payload.path, sizeof payload.path, kCameraFirmwarePath);
    request(kMsgCameraUpgradeStart, &payload, sizeof payload);
    return 0;
}

int on_stop_upgrade_camera(char *)
{
    unlink(NvrPath(kCameraFirmwarePath).c_str());
    notify(kMsgCameraUpgradeStop);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_get_online_upgrade(char *text)
{
    const JsonPtr json(get_request_tokener_json_object(text));
    int type = 0;
    if (!download_type(json, &type))
        return cgi_error_to_webserver(kRespJson);
    firmware_download_request payload{};
    const char *url = json_member_text(json.get(), "url");
    fill_field_text(payload.url, sizeof payload.url, url != nullptr ? url : "");
    fill_field_text(payload.path, sizeof payload.path,
                    type == kDownloadDeviceFirmware ? kDeviceFirmwarePath : kCameraFirmwarePath);
    notify(kMsgFirmwarePrepare);
    request(kMsgFirmwareDownload, &payload, sizeof payload);
    return 0;
}

int on_del_online_upgrade(char *text)
{
    const JsonPtr json(get_request_tokener_json_object(text));
    int type = 0;
    if (!download_type(json, &type))
        return cgi_error_to_webserver(kRespJson);
    if (type == kDownloadCameraFirmware) {
        request(kMsgCameraFirmwareDelete, nullptr, 0);
        return 0;
    }
    const NvrPath image(kDeviceFirmwarePath);
    if (zq_check_file_exist(image.c_str()) == 0)
        unlink(image.c_str());
    return answer_res(0);
}

int on_check_nvr_online_upgrade(char *)
{
    request(kMsgFirmwareCheck, nullptr, 0);
    return 0;
}

// Only a result of 0 is an installed image and restarts the recorder; any
// other code is the daemon's refusal and is answered as it stands. Without
// a reply nothing was installed: {"res": 0} and no restart.
int on_nvr_online_upgrade(char *)
{
    notify(kMsgFirmwarePrepare);
    cgi_send_operation_log(kUpgradeLogInstall, kUpgradeLogParam, 0);
    int32_t result = 0;
    const bool replied = system_install_firmware(0, &result);
    answer_res(result);
    if (replied && result == 0) {
        cgi_send_operation_log(kUpgradeLogRestart, kUpgradeLogParam, 0);
        notify(kMsgRestart);
    }
    return 0;
}

int on_check_ipc_online_upgrade(char *text)
{
    const JsonPtr json(get_request_tokener_json_object(text));
    if (!json)
        return cgi_error_to_webserver(kRespJson);
    const uint64_t mask = upgrade_channel_mask(json_member_text(json.get(), "ch"));
    const camera_check_request payload{{channel_mask_low(mask), channel_mask_high(mask)}};
    request(kMsgCameraFirmwareCheck, &payload, sizeof payload);
    return 0;
}

uint64_t upgrade_channel_mask(const char *text)
{
    uint64_t mask = 0;
    for (size_t index = 0; text != nullptr && index < kUpgradeChannelCount; ++index) {
        if (text[index] != '0' && text[index] != '1')
            break;
        if (text[index] == '1')
            mask |= uint64_t{1} << index;
    }
    return mask;
}

int on_upgrade_ipc_callback(void *, const char *header, const char *payload)
{
    if (header == nullptr || payload == nullptr)
        return 0;
    const ReplyReader reply(payload, ipc_reply_size(header));
    switch (ipc_reply_code(header)) {
    case kReplyCameraUpgradeStart:
        return on_start_upgrade_camera_cb(reply);
    case kReplyFirmwareDownload:
    case kReplyCameraFirmwareDelete:
        return on_online_upgrade_res_cb(reply);
    case kReplyFirmwareCheck:
        return on_check_nvr_online_upgrade_cb(reply);
    case kReplyCameraFirmwareCheck:
        return on_check_ipc_online_upgrade_cb(reply);
    default:
        return 0;
    }
}

int on_start_upgrade_camera_cb(const ReplyReader &reply)
{
    camera_upgrade_result result;
    if (!reply.record(0, &result))
        return answer_short_reply();
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "chnid", result.chnid);
    json_add_int(answer.get(), "status", result.status);
    return answer_reply(answer);
}

int on_online_upgrade_res_cb(const ReplyReader &reply)
{
    return on_cgi_res_json_cb(reply) == 0 ? 0 : answer_short_reply();
}

int on_check_nvr_online_upgrade_cb(const ReplyReader &reply)
{
    const char *record = reply.bytes(0, sizeof(upgrade_info));
    if (record == nullptr)
        return answer_short_reply();
    const JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), record, kUpgradeInfo);
    return answer_reply(answer);
}

int on_check_ipc_online_upgrade_cb(const ReplyReader &reply)
{
    json_object *list = wire_list_json(reply, kCameraChecks);
    if (list == nullptr)
        return answer_short_reply();
    const JsonPtr answer = json_new_object();
    json_object_object_add(answer.get(), "check", list);
    return answer_reply(answer);
}
