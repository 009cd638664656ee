// Camera: handlers of the camera table, the module's reply callback and
// its decoders, the camera protocol and model records and the helpers the
// handlers share.
#pragma once

#include "codecs/channel_db.h"
#include "core/reply_reader.h"
#include "modules/camera/camera_feature_records.h"
#include "modules/camera/camera_records.h"
#include "modules/camera/camera_relay.h"
#include "modules/camera/peoplecnt_records.h"

// Camera list, search, protocols and names.
int on_get_ipc_detail(char *text);
int on_get_ipc_list(char *text);
int on_search_ipc(char *text);
int on_get_ipc_protocols(char *text);
int on_get_ipc_names(char *text);

// Adding, editing and deleting cameras.
int on_add_ipc(char *text);
int on_edit_ipc(char *text);
int on_delete_ipc(char *text);
int on_set_ipc_user(char *text);
int on_set_ipc_transmit(char *text);

// Connection tests.
int on_test_ipc_connect(char *text);
int on_test_ipc_connect_ex(char *text);

// Camera network.
int on_set_ipc_network(char *text);
int on_set_ipc_network_batch(char *text);
int on_get_ipc_modify_result(char *text);

// Streams and recordings.
int on_get_ipc_stream_info(char *text);
int on_set_ipc_stream_info(char *text);
int on_set_ipc_stream_batch(char *text);
int on_get_month_record_days(char *text);

// Image enhancement, display and generic page parameters.
int on_get_ipc_image_enhancement(char *text);
int on_set_ipc_image_enhancement(char *text);
int on_get_ipc_image_display(char *text);
int on_set_ipc_image_display(char *text);
int on_get_ipc_common_param(char *text);
int on_set_ipc_common_param(char *text);

// Image schedules and weekly camera schedules.
int on_get_ipc_image_schedule(char *text);
int on_set_ipc_image_schedule(char *text);
int on_set_ipc_image_schedule_batch(char *text);
int on_get_ipc_sche10(char *text);
int on_set_ipc_sche10(char *text);
int on_get_ipc_exposure_sche(char *text);
int on_set_ipc_exposure_sche(char *text);
int on_get_ipc_sche12(char *text);
int on_set_ipc_sche12(char *text);

// Regions, camera motion detection and event texts.
int on_get_ipc_area_param(char *text);
int on_set_ipc_area_param(char *text);
int on_set_ipc_area_id(char *text);
int on_get_ipc_motion(char *text);
int on_set_ipc_motion(char *text);
int on_get_ipc_event_text(char *text);

// Event schedules and exposure lists of the database.
int on_get_ipc_event_schedules(char *text);
int on_set_ipc_event_schedules(char *text);
int on_set_ipc_exposure_list(char *text);
int on_get_ipc_exposure_list(char *text);

// Camera features: models and types, free-form commands, chip code,
// motion status, auto tracking, PTZ support, watermark, event stream,
// licence plate night mode, audio, system information, custom parameters.
int on_web_get_ipc_model_type(char *text);
int on_web_sendto_qt_cmd(char *text);
int on_web_get_chip_code(char *text);
int on_web_get_motion_status(char *text);
int on_web_get_channels_model(char *text);
int on_cgi_get_auto_tracking_status(char *text);
int on_cgi_set_auto_tracking_status(char *text);
int on_cgi_get_ptz_support(char *text);
int on_cgi_get_ipc_type(char *text);
int on_cgi_get_watermark(char *text);
int on_cgi_set_watermark(char *text);
int on_cgi_get_ipc_event_stream(char *text);
int on_cgi_set_ipc_event_stream(char *text);
int on_cgi_get_ipc_lpr_night_mode(char *text);
int on_cgi_get_ipc_audio_info(char *text);
int on_cgi_set_ipc_audio_info(char *text);
int on_cgi_get_ipc_system_info(char *text);
int on_cgi_get_ipc_custom_param(char *text);

// People counting, POS, report backup and face settings.
int on_cgi_get_peoplecnt_settings(char *text);
int on_cgi_set_peoplecnt_settings(char *text);
int on_cgi_get_peoplecnt_action(char *text);
int on_cgi_set_peoplecnt_action(char *text);
int on_cgi_set_peoplecnt_db_reset(char *text);
int on_cgi_set_peoplecnt_liveview_reset(char *text);
int on_cgi_get_pos_info(char *text);
int on_cgi_set_pos_info(char *text);
int on_cgi_get_report_auto_backup(char *text);
int on_cgi_set_report_auto_backup(char *text);
int on_cgi_set_face_config(char *text);

// Camera firmware upgrades and the small camera probes.
int on_upgrade_ipc_by_file(char *text);
int on_get_ipc_upgrade_status(char *text);
int on_upgrade_ipc_by_url(char *text);
int on_stop_ipc_upgrade(char *text);
int on_get_poe_password(char *text);
int on_get_max_poe_num(char *text);
int on_get_ipv6_support(char *text);
int on_cgi_test_alive(char *text);

// The module's single reply callback: finds the decoder of the reply code
// in the module's decoder table.
int on_camera_ipc_callback(void *context, const char *header, const char *payload);

// Decoders (camera_ipc.cpp and the handler files).
int on_cgi_camera_res_cb(const ReplyReader &reply);
int on_cgi_set_report_auto_backup_cb(const ReplyReader &reply);
int on_set_ipc_image_cb(const ReplyReader &reply);
int on_cgi_set_ipc_audio_info_cb(const ReplyReader &reply);
int on_test_ipc_connect_cb(const ReplyReader &reply);
int on_set_ipc_network_cb(const ReplyReader &reply);
int on_get_ipc_list_cb(const ReplyReader &reply);
int on_search_ipc_cb(const ReplyReader &reply);
int on_get_ipc_stream_info_cb(const ReplyReader &reply);
int on_set_ipc_stream_cb(const ReplyReader &reply);
int on_get_ipc_modify_result_cb(const ReplyReader &reply);
int on_get_month_record_days_cb(const ReplyReader &reply);
int on_get_ipc_image_schedule_cb(const ReplyReader &reply);
int on_get_ipc_sche10_cb(const ReplyReader &reply);
int on_get_ipc_exposure_sche_cb(const ReplyReader &reply);
int on_get_ipc_sche12_cb(const ReplyReader &reply);
int on_get_ipc_area_param_cb(const ReplyReader &reply);
int on_get_ipc_motion_cb(const ReplyReader &reply);
int on_get_ipc_event_text_cb(const ReplyReader &reply);
int on_web_sendto_qt_cmd_cb(const ReplyReader &reply);
int on_web_get_chip_code_cb(const ReplyReader &reply);
int on_web_get_motion_status_cb(const ReplyReader &reply);
int on_web_get_channels_model_cb(const ReplyReader &reply);
int on_cgi_get_auto_tracking_status_cb(const ReplyReader &reply);
int on_cgi_get_ipc_audio_info_cb(const ReplyReader &reply);
int on_upgrade_ipc_by_url_cb(const ReplyReader &reply);
int on_get_ipc_upgrade_status_cb(const ReplyReader &reply);

// Reply records the callback answers as one JSON object each.
extern const RelayRecord kImageEnhancementRecord;
extern const RelayRecord kImageDisplayRecord;
extern const RelayRecord kCommonParamRecord;
extern const RelayRecord kModelTypeRecord;
extern const RelayRecord kIpcTypeRecord;
extern const RelayRecord kWatermarkRecord;
extern const RelayRecord kEventStreamRecord;
extern const RelayRecord kNightModeRecord;
extern const RelayRecord kSystemInfoRecord;
extern const RelayRecord kCustomParamRecord;

// Camera protocol and model records. The list reads fill `out` (up to
// `capacity`) and give the number read, or -1.
int read_ipc_protocols(const char *db, ipc_protocol_record *out, int capacity);
int write_ipc_protocol(const char *db, const ipc_protocol_record *record);
int read_ipc_models_by_protocol(const char *db, int protocol, ipc_model_record *out, int capacity);
int read_ipc_model(const char *db, ipc_model_record *record, int id);
// A camera's exposure list (kRecFound, kRecAbsent or -1); the write stores
// the list under its own channel, 0..63, and gives 0 or -1.
int read_exposure(const char *db, ipc_exposure_list *list, int chnid);
int write_exposure(const char *db, const ipc_exposure_list *list);

// Camera changes: the 1203 notification and the operation log of `record`
// (sub type 204, parameter code 903) with its detail block.
void camera_send_changed(const camera_record &record);
// The operation log of a camera change with the detail block of `record`.
void camera_send_log(const camera_record &record, int sub_type, int param_code);
