// The camera module's reply callback, its decoder table and the decoders
// that several camera resources share.
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/ipc_common_param.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/camera/camera.h"

namespace {

// A reply code and its decoder, or the record answered as one object.
struct CameraReply {
    int code;
    CameraDecoder decode;
    const RelayRecord *record;
};

int common_json(const ReplyReader &reply)
{
    return on_cgi_common_json_cb(static_cast<int>(reply.count(4)), reply);
}

const CameraReply kCameraReplies[] = {
    {8381, common_json},
    {6216, on_cgi_camera_res_cb},
    {6218, on_cgi_camera_res_cb},
    {8375, on_cgi_camera_res_cb},
    {6262, on_cgi_camera_res_cb},
    {7290, on_cgi_camera_res_cb},
    {7291, on_cgi_camera_res_cb},
    {7292, on_cgi_camera_res_cb},
    {7293, on_cgi_camera_res_cb},
    {6421, on_cgi_camera_res_cb},
    {6423, on_cgi_set_report_auto_backup_cb},
    {8222, on_set_ipc_image_cb},
    {8224, on_set_ipc_image_cb},
    {8226, on_set_ipc_image_cb},
    {8372, on_cgi_set_ipc_audio_info_cb},
    {kMsgTestConnect + kReplyOffset, on_test_ipc_connect_cb},
    {kMsgTestConnectEx + kReplyOffset, on_test_ipc_connect_cb},
    {kMsgSetNetwork + kReplyOffset, on_set_ipc_network_cb},
    {kMsgSearchCameras + kReplyOffset, on_search_ipc_cb},
    {kMsgListCameras + kReplyOffset, on_get_ipc_list_cb},
    {kMsgSetStream + kReplyOffset, on_set_ipc_stream_cb},
    {kMsgGetStreamInfo + kReplyOffset, on_get_ipc_stream_info_cb},
    {kMsgGetModifyResult + kReplyOffset, on_get_ipc_modify_result_cb},
    {kMsgMonthRecordDays + kReplyOffset, on_get_month_record_days_cb},
    {kMsgGetImageEnhancement + kReplyOffset, nullptr, &kImageEnhancementRecord},
    {kMsgGetImageDisplay + kReplyOffset, nullptr, &kImageDisplayRecord},
    {kMsgGetIpcCommonParam + kReplyOffset, nullptr, &kCommonParamRecord},
    {kMsgGetImageSchedule + kReplyOffset, on_get_ipc_image_schedule_cb},
    {kMsgGetAreaParam + kReplyOffset, on_get_ipc_area_param_cb},
    {kMsgGetSche10 + kReplyOffset, on_get_ipc_sche10_cb},
    {kMsgGetExposureSche + kReplyOffset, on_get_ipc_exposure_sche_cb},
    {kMsgGetSche12 + kReplyOffset, on_get_ipc_sche12_cb},
    {kMsgGetIpcMotion + kReplyOffset, on_get_ipc_motion_cb},
    {kMsgSetIpcMotion + kReplyOffset, on_cgi_camera_res_cb},
    {kMsgGetEventText + kReplyOffset, on_get_ipc_event_text_cb},
    {kMsgGetIpcModelType + kReplyOffset, nullptr, &kModelTypeRecord},
    {kMsgCameraCommand + kReplyOffset, on_web_sendto_qt_cmd_cb},
    {kReplyCameraCommandMore, on_web_sendto_qt_cmd_cb},
    {kMsgGetChipCode + kReplyOffset, on_web_get_chip_code_cb},
    {kMsgGetMotionStatus + kReplyOffset, on_web_get_motion_status_cb},
    {kMsgGetChannelsModel + kReplyOffset, on_web_get_channels_model_cb},
    {kMsgGetIpcType + kReplyOffset, nullptr, &kIpcTypeRecord},
    {kMsgGetAutoTracking + kReplyOffset, on_cgi_get_auto_tracking_status_cb},
    {kMsgGetWatermark + kReplyOffset, nullptr, &kWatermarkRecord},
    {kMsgGetEventStream + kReplyOffset, nullptr, &kEventStreamRecord},
    {kMsgGetLprNightMode + kReplyOffset, nullptr, &kNightModeRecord},
    {kMsgGetAudioInfo + kReplyOffset, on_cgi_get_ipc_audio_info_cb},
    {kMsgGetSystemInfo + kReplyOffset, nullptr, &kSystemInfoRecord},
    {kMsgGetCustomParam + kReplyOffset, nullptr, &kCustomParamRecord},
    {kMsgUpgradeByFile + kReplyOffset, on_cgi_camera_res_cb},
    {kMsgUpgradeByUrl + kReplyOffset, on_upgrade_ipc_by_url_cb},
    {kMsgUpgradeStatus + kReplyOffset, on_get_ipc_upgrade_status_cb},
};

// The int32 status at the start of a reply; false for a shorter reply,
// which counts as no reply.
bool reply_status(const ReplyReader &reply, int32_t *status)
{
    if (reply.size() < sizeof *status)
        return false;
    *status = reply.int32_at(0);
    return true;
}

int write_text_done(const char *text, int done)
{
    cgi_writeback_webserver(kRespText, text);
    cgi_set_callback_done(done);
    return 0;
}

} // namespace

int on_camera_ipc_callback(void * /*context*/, const char *header, const char *payload)
{
    if (header == nullptr || payload == nullptr)
        return 0;
    const int code = ipc_reply_code(header);
    for (const CameraReply &row : kCameraReplies) {
        if (row.code != code)
            continue;
        const ReplyReader reply(payload, ipc_reply_size(header));
        return row.record != nullptr ? relay_record_json(reply, *row.record) : row.decode(reply);
    }
    return 0;
}

int on_cgi_camera_res_cb(const ReplyReader &reply) { return on_cgi_res_json_cb(reply); }

int on_cgi_set_report_auto_backup_cb(const ReplyReader &)
{
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "res", 0);
    cgi_write_json(kRespJson, answer.get());
    cgi_set_callback_done(1);
    return 0;
}

int on_set_ipc_image_cb(const ReplyReader &reply)
{
    int32_t status = 0;
    if (!reply_status(reply, &status))
        return -1;
    return status == 0 ? write_text_done("OK", 2) : write_text_done("ERROR", 1);
}

int on_cgi_set_ipc_audio_info_cb(const ReplyReader &reply)
{
    int32_t status = 0;
    if (!reply_status(reply, &status))
        return -1;
    return write_text_done(status == 0 ? "OK" : "ERROR", 1);
}

int on_test_ipc_connect_cb(const ReplyReader &reply)
{
    int32_t status = 0;
    if (!reply_status(reply, &status))
        return -1;
    switch (status) {
    case 0:
    case 4:
        return write_text_done("OK", 2);
    case 1:
        return write_text_done("NETWORKERROR", 1);
    case 2:
        return write_text_done("USERERROR", 1);
    case 5:
        return write_text_done("BANDWIDTHERROR", 1);
    default:
        return write_text_done("UNKOWNERROR", 1);
    }
}

int on_set_ipc_network_cb(const ReplyReader &reply)
{
    int32_t status = 0;
    if (!reply_status(reply, &status))
        return -1;
    static const char *const kResults[] = {
        R"({"resultString":"OK"})",
        R"({"resultString":"NETWORK_ERR"})",
        R"({"resultString":"INVALID_USER"})",
        R"({"resultString":"UNKNOWN_ERR"})",
        R"({"resultString":"PROTO_NOT_SUPPORT"})",
    };
    const bool known = status >= 0 && status < 5;
    cgi_writeback_webserver(kRespJson, known ? kResults[status] : R"({"resultString":"ERROR"})");
    cgi_set_callback_done(1);
    return 0;
}
