// Maintenance of the system module: restart and restore, configuration
// export and import, the firmware upgrade of the device, the OEM branding
// package and two database flags.
#pragma once

#include <cstdint>

#include "core/reply_reader.h"
#include "modules/system/upgrade_records.h"

constexpr int kMsgRestore = 3311;        // restore_request
constexpr int kMsgRestoreCleanup = 3410; // no payload, sent while restoring

// Operation log entries (main type 4, parameter code 900).
constexpr int kLogSubRestart = 200;
constexpr int kLogSubUpgrade = 203;
constexpr int kLogSubExport = 213;
constexpr int kLogSubImport = 214;
constexpr int kLogSubRestore = 215;
constexpr int kLogParamMaintenance = 900;

#pragma pack(push, 1)
struct restore_request {
    int32_t keep_ip;
    int32_t keep_user;
};
#pragma pack(pop)
static_assert(sizeof(restore_request) == 8);

int on_restart_device(char *text);
int on_get_restart_state(char *text);
int on_restore_device(char *text);
int on_export_config(char *text);
int on_import_config(char *text);
int on_upgrade_system(char *text);
int on_clean_upgrade_files(char *text);
int on_download_config(char *text);
int on_upload_discard(char *text);
int on_clear_dbup_flag(char *text);
int on_clear_permission_update(char *text);
int on_cgi_upgrade_system_init(char *text);
int on_upload_oem(char *text);

// Decoder of 6713, for both the maintenance and the online upgrade: keeps
// the install result for system_install_firmware and sets the done flag to 1. A payload shorter than 4 bytes
// is no reply.
int on_upgrade_system_cb(const ReplyReader &reply);

// Asks the core daemon to install the firmware image in place (1713) and
// waits for the result. True with the core's result code (0 = installed)
// in `result` when a reply came; false when none came.
bool system_install_firmware(int reset_config, int32_t *result);

// The restart of "/1004": its operation log record, then 1703.
void system_request_restart();
