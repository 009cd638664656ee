// Camera: handlers of the camera table, the module's reply callback and
// its decoders, the camera protocol and model records and the helpers the
// handlers share.
#pragma once

#include "codecs/channel_db.h"
#include "core/reply_reader.h"
#include "modules/camera/camera_records.h"
#include "modules/camera/camera_relay.h"

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

// Camera protocol and model records. The list reads fill `out` (up to
// `capacity`) and give the number read, or -1.
int read_ipc_protocols(const char *db, ipc_protocol_record *out, int capacity);
int write_ipc_protocol(const char *db, const ipc_protocol_record *record);
int read_ipc_models_by_protocol(const char *db, int protocol, ipc_model_record *out, int capacity);
int read_ipc_model(const char *db, ipc_model_record *record, int id);

// Camera changes: the 1203 notification and the operation log of `record`
// (sub type 204, parameter code 903) with its detail block.
void camera_send_changed(const camera_record &record);
// The operation log of a camera change with the detail block of `record`.
void camera_send_log(const camera_record &record, int sub_type, int param_code);
