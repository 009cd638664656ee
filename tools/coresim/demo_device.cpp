// Device information and settings notices of the demo device: the identity
// and capacity report (its model, versions and camera count from the demo
// database), and the notices of changed outputs, audio, names, retention,
// record settings and language, which the demo takes without a reply.
#include <cstdio>
#include <cstring>
#include <string>

#include "demo.h"
#include "modules/system/device_records.h"
#include "platform/confdb/confdb.h"

namespace {

// The device id of the last 1705, once one came (the database's before).
int32_t g_device_id = -1;

template <size_t N> void put_text(char (&field)[N], const char *key, const char *fallback)
{
    get_param_value(ZQDB_PATH, key, field, static_cast<int>(N), fallback);
}

// 3400 -> 8400.
void on_system_info(const CoreMessage &, Answer &answer)
{
    system_info_record info{};
    info.deviceId = g_device_id >= 0 ? g_device_id : get_param_int(ZQDB_PATH, "deviceid", 255);
    info.maxCameras = get_param_int(ZQDB_PATH, "max_cameras", 16);
    info.maxSensor = 4;
    info.maxAlarm = 1;
    info.maxAudioOut = 1;
    info.displayNum = 2;
    info.masRs485 = 1;
    info.maxNetworkLan = 2;
    info.zqddns = 1;
    snprintf(info.sn, sizeof info.sn, "NVR3216A2306000417");
    snprintf(info.prefix, sizeof info.prefix, "ZQ");
    put_text(info.deviceName, "model", "NVR-3216");
    put_text(info.software, "software_version", "7x.7.0.9");
    put_text(info.hwver, "hardware_version", "V1.1");
    snprintf(info.macAddress, sizeof info.macAddress, "00:1E:4A:3C:52:10");
    info.isSupportTalk = 1;
    confdb_close();
    answer.push_back(
        AnswerStep::reply(kReplySystemInfo, std::string(reinterpret_cast<const char *>(&info), sizeof info)));
}

void on_device_id(const CoreMessage &request, Answer &)
{
    if (request.payload.size() == sizeof g_device_id)
        memcpy(&g_device_id, request.payload.data(), sizeof g_device_id);
}

// 1702: a service reloads its settings.
void on_service_changed(const CoreMessage &request, Answer &)
{
    const std::string name = request.payload.substr(0, request.payload.find('\0'));
    fprintf(stderr, "coresim: settings of \"%s\" changed\n", name.c_str());
}

void on_restart(const CoreMessage &, Answer &) { fprintf(stderr, "coresim: the device would restart now\n"); }

void accept(const CoreMessage &, Answer &) {}

const DemoRow kDeviceRows[] = {
    {kMsgSystemInfo, on_system_info},
    {kMsgDeviceId, on_device_id},
    {kMsgServiceChanged, on_service_changed},
    {kMsgRestart, on_restart},
    {kMsgOutputResolution, accept},
    {kMsgResolutionApplied, accept},
    {kMsgAudio, accept},
    {kMsgSubOutput, accept},
    {kMsgRetentionChanged, accept},
    {kMsgSetLanguage, accept},
};
NVR_DEMO_ROWS(kDeviceRows)

} // namespace
