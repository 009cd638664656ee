// General settings: video outputs and audio with the host name, device id
// and wizard keys ("/6080", "/6081"), and the log and snapshot retention
// ("/1016", "/1017").
#include <cstdio>
#include <cstring>

#include "codecs/device_db.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/system/device_info.h"
#include "modules/system/device_records.h"
#include "modules/system/system.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kDeviceIdLowest = 1;
constexpr int kDeviceIdHighest = 255;
constexpr int kVolumeStep = 10;
constexpr int kVolumeHighest = 100;

// The keys "/6081" requires.
struct GeneralRequest {
    int mainResolution = 0;
    int audioOutputOn = 0;
    int audioVolume = 0;
    int hdmiAudioOn = 0;
    int subResolution = 0;
    int wizardEnable = 0;
    int deviceId = 0;
    int displayMode = 0;
    int subEnable = 0;
    char hostname[kHostNameStored] = "";
};

bool check_general_info(json_object *request, GeneralRequest *out)
{
    return json_int_present(request, "mainResolution", &out->mainResolution) &&
           json_int_within(request, "audioOutputOn", 0, 1, &out->audioOutputOn) &&
           json_int_within(request, "audioVolume", 0, kVolumeHighest, &out->audioVolume) &&
           out->audioVolume % kVolumeStep == 0 &&
           json_int_within(request, "hdmiAudioOn", 0, 1, &out->hdmiAudioOn) &&
           json_int_present(request, "subResolution", &out->subResolution) &&
           json_int_within(request, "wizardEnable", 0, 1, &out->wizardEnable) &&
           on_cgi_get_string_from_json(request, "hostname", out->hostname, sizeof out->hostname) == 0 &&
           json_int_within(request, "deviceId", kDeviceIdLowest, kDeviceIdHighest, &out->deviceId) &&
           json_int_within(request, "displayMode", 0, 1, &out->displayMode) &&
           json_int_within(request, "subEnable", 0, 1, &out->subEnable);
}

// Display record fields a general settings request changes when it has them.
struct DisplayKey {
    const char *key;
    int32_t display_record::*field;
};
constexpr DisplayKey kDisplayKeys[] = {
    {"mainResolution", &display_record::mainResolution}, {"audioOutputOn", &display_record::audioOutputOn},
    {"audioVolume", &display_record::audioVolume},       {"audioStereo", &display_record::audioStereo},
    {"hdmiAudioOn", &display_record::hdmiAudioOn},       {"subResolution", &display_record::subResolution},
};

// Keys stored when present, by their database names.
struct OptionalKey {
    const char *key;
    const char *setting;
};
constexpr OptionalKey kOptionalKeys[] = {
    {"hdmihotplug", "hdmihotplug"},
    {"streamInfo", "stream_information"},
};

// A changed mirroring of the outputs: the sub output follows it, and the
// device restarts once the answer is written. True when it applies.
bool apply_homologous(json_object *request, display_record *display, bool *stored)
{
    int changed = 0;
    int homologous = 0;
    if (!json_int_present(request, "isHomologousChanged", &changed) || changed == 0 ||
        !json_int_present(request, "homologous", &homologous))
        return false;
    display->subEnable = homologous == 0 ? 1 : 0;
    *stored = system_store_int("homologous", homologous) == 0 &&
              system_store_int("quick_screen", display->subEnable) == 0;
    return true;
}

bool store_general_keys(json_object *request, const GeneralRequest &general)
{
    bool stored = system_store_host_name(general.hostname) == 0 &&
                  system_store_int("deviceid", general.deviceId) == 0 &&
                  system_store_int("wizard_enable", general.wizardEnable) == 0 &&
                  system_store_int("display_mode", general.displayMode) == 0;
    for (const OptionalKey &entry : kOptionalKeys) {
        int value = 0;
        if (stored && json_int_present(request, entry.key, &value))
            stored = system_store_int(entry.setting, value) == 0;
    }
    return stored;
}

void announce_general(const GeneralRequest &general, const display_record &before,
                      const display_record &after)
{
    system_notify_int(kMsgDeviceId, general.deviceId);
    system_notify_service("hostname");
    if (after.mainResolution != before.mainResolution || after.subResolution != before.subResolution) {
        const output_resolution outputs[] = {{kOutputMain, after.mainResolution},
                                             {kOutputSub, after.subResolution}};
        for (const output_resolution &output : outputs)
            system_notify(kMsgOutputResolution, &output, sizeof output);
        system_notify(kMsgResolutionApplied, nullptr, 0);
    }
    const audio_setting audio{after.hdmiAudioOn, after.audioOutputOn, after.audioVolume};
    system_notify(kMsgAudio, &audio, sizeof audio);
    system_send_log(kLogSubSettings, kLogParamGeneral, nullptr);
}

// Retention times the pages offer: -1 to 1, and the even values up to 12.
bool retention_valid(int value) { return value >= -1 && value <= 12 && (value <= 1 || value % 2 == 0); }

bool retention_in(json_object *request, const char *key, int *out)
{
    return json_int_present(request, key, out) && retention_valid(*out);
}

} // namespace

int on_get_general_info(char * /*text*/)
{
    display_record display;
    network_record network;
    if (read_display(ZQDB_PATH, &display) < 0 || read_network(ZQDB_PATH, &network) < 0)
        return cgi_error_to_webserver(kRespJson);
    char hostname[kHostNameSize + 1];
    copy_field_text(hostname, sizeof hostname, network.host_name, sizeof network.host_name);
    const JsonPtr answer = json_new_object();
    json_object *object = answer.get();
    json_add_int(object, "displayMode", get_param_int(ZQDB_PATH, "display_mode", 0));
    json_add_int(object, "hdmihotplug", get_param_int(ZQDB_PATH, "hdmihotplug", 1));
    json_add_int(object, "mainResolution", display.mainResolution);
    json_add_int(object, "hdmiAudioOn", display.hdmiAudioOn);
    json_add_int(object, "homologous", get_param_int(ZQDB_PATH, "homologous", 1));
    json_add_int(object, "curControl", display.curControl);
    json_add_int(object, "subEnable", display.subEnable);
    json_add_int(object, "subResolution", display.subResolution);
    json_add_int(object, "audioOutputOn", display.audioOutputOn);
    json_add_int(object, "audioVolume", display.audioVolume);
    json_add_int(object, "deviceId", get_param_int(ZQDB_PATH, "deviceid", 255));
    json_add_string(object, "hostname", hostname);
    json_add_int(object, "wizardEnable", get_param_int(ZQDB_PATH, "wizard_enable", 0));
    return cgi_write_json(kRespJson, object);
}

int on_set_general_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    GeneralRequest general;
    display_record display;
    if (request == nullptr || !check_general_info(request.get(), &general))
        return 0;
    if (read_display(ZQDB_PATH, &display) < 0)
        return cgi_error_to_webserver(kRespText);
    const display_record before = display;
    for (const DisplayKey &entry : kDisplayKeys) {
        int value = 0;
        if (json_int_present(request.get(), entry.key, &value))
            display.*entry.field = value;
    }
    bool stored = true;
    const bool restart = apply_homologous(request.get(), &display, &stored);
    // Everything is stored before the first notice, so a failed store
    // tells the core daemon nothing.
    if (!stored || write_display(ZQDB_PATH, &display) != 0 || !store_general_keys(request.get(), general))
        return cgi_error_to_webserver(kRespText);
    int homologous_changed = 0;
    json_int_present(request.get(), "isHomologousChanged", &homologous_changed);
    if (display.subEnable != general.subEnable && homologous_changed == 0 && before.curControl == 0)
        system_notify_int(kMsgSubOutput, general.subEnable);
    announce_general(general, before, display);
    cgi_writeback_webserver(kRespText, before.curControl == 0 ? "OK" : "SUB");
    if (restart)
        system_notify(kMsgRestart, nullptr, 0);
    return 0;
}

int on_get_auto_maintenance(char * /*text*/)
{
    disk_maintain_record retention;
    if (read_disk_maintain_info(ZQDB_PATH, &retention) < 0)
        return cgi_error_to_webserver(kRespJson);
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "logRetention", retention.logRetention);
    json_add_int(answer.get(), "photoRetention", retention.photoRetention);
    return cgi_write_json(kRespJson, answer.get());
}

int on_set_auto_maintenance(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int log_days = 0;
    int photo_days = 0;
    if (request == nullptr || !retention_in(request.get(), "logRetention", &log_days) ||
        !retention_in(request.get(), "photoRetention", &photo_days))
        return 0;
    disk_maintain_record retention;
    if (read_disk_maintain_info(ZQDB_PATH, &retention) < 0)
        return cgi_error_to_webserver(kRespText);
    retention.logRetention = log_days;
    retention.photoRetention = photo_days;
    if (write_disk_maintain_info(ZQDB_PATH, &retention) != 0)
        return cgi_error_to_webserver(kRespText);
    system_notify(kMsgRetentionChanged, nullptr, 0);
    return cgi_writeback_webserver(kRespText, "OK");
}
