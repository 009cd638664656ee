// The remaining system settings: the IP access filter, the automatic
// reboot, UPnP, the alarm audio files and the diagnosis export.
#pragma once

#include "core/reply_reader.h"

// "/6300", "/6301": the access filter switch, its kind and its addresses.
int on_get_access_filter(char *text);
int on_set_access_filter(char *text);
// "/1032", "/1033": the weekly reboot time.
int on_get_auto_reboot(char *text);
int on_set_auto_reboot(char *text);
// "/1030", "/1031": the UPnP mapping of the web and RTSP ports.
int on_get_upnp_info(char *text);
int on_set_upnp_info(char *text);

// "/6320" to "/6325": the alarm audio files.
int on_get_audio_file_list(char *text);
int on_upload_audio_file(char *text);
int on_add_audio_file(char *text);
int on_del_audio_files(char *text);
int on_rename_audio_file(char *text);
int on_cgi_audio_file_action(char *text);
int on_get_audio_file_list_cb(const ReplyReader &reply);

// "/6310", "/6311": the diagnosis archive and its download.
int on_export_diagnosis(char *text);
int on_download_file(char *text);
int on_export_diagnosis_cb(const ReplyReader &reply);
