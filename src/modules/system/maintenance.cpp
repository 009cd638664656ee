// Restart, restore, firmware upgrade and the database flags.
#include "modules/system/maintenance.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/system/device_info.h"
#include "modules/system/device_records.h"
#include "modules/system/system.h"
#include "platform/confdb/confdb.h"
#include "platform/sysutil/nvr_path.h"

namespace {

constexpr const char *kCoreReadyMarker = "/tmp/zqcore";
constexpr const char *kFirmwareImage = "/dev/shm/updateFM.bin";
constexpr int kUpgradeInitPauseUs = 500 * 1000;
// The upgrade text: a word, " & ", then the query string.
constexpr size_t kUpgradeWord = 1024;

// Channel 0's motion record: its two intervals that must not stay 0.
constexpr size_t kMotionRecordSize = 700;
constexpr size_t kMotionRepairOffsets[] = {388, 468};
constexpr int32_t kMotionRepairValue = 20;

// The result of the last 6713 reply of this request.
std::atomic<int32_t> g_upgrade_result{0};

void maintenance_log(int sub_type) { cgi_send_operation_log(sub_type, kLogParamMaintenance, 0); }

// Sets the two intervals of channel 0's motion record that are 0 to 20,
// and writes the record only when one was changed: the browser polls this
// path, and a needless write would race with a motion save of channel 0.
void repair_motion_record()
{
    unsigned char record[kMotionRecordSize];
    if (confdb_read_record(ZQDB_PATH, kRecMotion, 0, record, sizeof record) != kRecFound)
        return;
    bool changed = false;
    for (const size_t offset : kMotionRepairOffsets) {
        int32_t value = 0;
        memcpy(&value, record + offset, sizeof value);
        if (value != 0)
            continue;
        memcpy(record + offset, &kMotionRepairValue, sizeof kMotionRepairValue);
        changed = true;
    }
    if (changed && confdb_write_record(ZQDB_PATH, kRecMotion, 0, record, sizeof record) != 0)
        cgi_log("system", __LINE__, "", "motion record of channel 0 not repaired");
}

// The query string of an upgrade text "WORD & QUERY", up to its first
// white space; empty when the text has no " & ".
void upgrade_query(const char *text, char (&query)[kUpgradeWord])
{
    query[0] = '\0';
    const char *separator = strstr(text, " & ");
    if (separator == nullptr)
        return;
    sscanf(separator + 3, "%1023s", query);
}

int clear_flag(const char *key)
{
    if (add_param_value(ZQDB_PATH, key, "0") != 0)
        return cgi_error_to_webserver(kRespText);
    return cgi_writeback_webserver(kRespText, "OK");
}

} // namespace

void system_request_restart()
{
    maintenance_log(kLogSubRestart);
    system_notify(kMsgRestart, nullptr, 0);
}

int on_restart_device(char * /*text*/)
{
    system_request_restart();
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_get_restart_state(char * /*text*/)
{
    repair_motion_record();
    const bool ready = access(NvrPath(kCoreReadyMarker).c_str(), R_OK) == 0;
    return cgi_writeback_webserver(kRespText, ready ? "OK" : "NO OK");
}

int on_restore_device(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (request == nullptr)
        return 0;
    const restore_request payload{json_member_int(request.get(), "keepIp"),
                                  json_member_int(request.get(), "keepUser")};
    // The device restarts afterwards: the answer goes first.
    cgi_writeback_webserver(kRespText, "OK");
    system_notify(kMsgRestore, &payload, sizeof payload);
    system_notify(kMsgRestoreCleanup, nullptr, 0);
    maintenance_log(kLogSubRestore);
    system_notify(kMsgRestart, nullptr, 0);
    return 0;
}

int on_upgrade_system_cb(const ReplyReader &reply)
{
    if (reply.size() < sizeof(int32_t))
        return -1;
    g_upgrade_result.store(reply.int32_at(0));
    cgi_set_callback_done(1);
    return 0;
}

bool system_install_firmware(int reset_config, int32_t *result)
{
    const firmware_install_request payload{reset_config};
    g_upgrade_result.store(0);
    cgi_start_ipc(on_system_ipc_callback, kMsgFirmwareInstall, sizeof payload, &payload, 0);
    cgi_stop_ipc();
    *result = g_upgrade_result.load();
    return g_callback_done.load() != 0;
}

// Only a result of 0 is an installed image: any other code is the core's
// refusal and is answered as it stands, with no restart.
int on_upgrade_system(char *text)
{
    if (text == nullptr)
        return cgi_error_to_webserver(kRespText);
    char query[kUpgradeWord];
    upgrade_query(text, query);
    const int reset_config = strstr(query, "reset") != nullptr ? 1 : 0;
    maintenance_log(kLogSubUpgrade);
    int32_t result = 0;
    if (system_install_firmware(reset_config, &result) && result == 0) {
        cgi_writeback_webserver(kRespText, "OK");
        system_request_restart();
        return 0;
    }
    char answer[16];
    snprintf(answer, sizeof answer, "%d", static_cast<int>(result));
    return cgi_writeback_webserver(kRespText, answer);
}

int on_clean_upgrade_files(char * /*text*/)
{
    const bool present = access(NvrPath(kFirmwareImage).c_str(), F_OK) == 0;
    return cgi_writeback_webserver(kRespText, present ? "Error" : "OK");
}

int on_cgi_upgrade_system_init(char * /*text*/)
{
    system_notify(kMsgFirmwarePrepare, nullptr, 0);
    usleep(kUpgradeInitPauseUs);
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "res", 0);
    return cgi_write_json(kRespJson, answer.get());
}

// The upload stays at its temporary path and goes with the request.
int on_upload_discard(char * /*text*/) { return 0; }

int on_clear_dbup_flag(char * /*text*/) { return clear_flag("zqfs_dbup"); }

int on_clear_permission_update(char * /*text*/) { return clear_flag("permission_update"); }
