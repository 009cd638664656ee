// Online upgrade part of the demo device: the update service offers a newer
// recorder firmware and newer firmware for the cameras that answer; a
// download advances a quarter per poll and leaves an image in place; the
// install succeeds once the image is there; a camera upgrade advances a
// fifth per poll.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "codecs/channel_mask.h"
#include "codecs/firmware_paths.h"
#include "demo.h"
#include "modules/system/upgrade_records.h"
#include "platform/sysutil/nvr_path.h"

namespace {

constexpr int32_t kInstalled = 0;
constexpr int32_t kNoImage = 2;
constexpr int32_t kCameraNoImage = -1;
constexpr int32_t kDownloadStep = 25;
constexpr int32_t kCameraStep = 20;
constexpr int32_t kComplete = 100;
constexpr int32_t kOffered = 1; // the service has a newer version

// Download progress per target path, and camera upgrade progress per
// channel.
std::map<std::string, int32_t> g_downloads;
std::map<int32_t, int32_t> g_camera_upgrades;

void reply(Answer &answer, const CoreMessage &request, const std::string &payload)
{
    answer.push_back(AnswerStep::reply(request.code + 5000, payload));
}

bool image_exists(const char *device_path) { return access(NvrPath(device_path).c_str(), R_OK) == 0; }

void put_image(const char *device_path)
{
    FILE *file = fopen(NvrPath(device_path).c_str(), "wb");
    if (file == nullptr)
        return;
    fputs("demo firmware image\n", file);
    fclose(file);
}

void offer(upgrade_info *info, const char *version, const char *url, int32_t size, const char *description)
{
    info->state = kOffered;
    info->file_size = size;
    snprintf(info->softversion, sizeof info->softversion, "%s", version);
    snprintf(info->url, sizeof info->url, "%s", url);
    snprintf(info->description, sizeof info->description, "%s", description);
}

void prepare(const CoreMessage &, Answer &) {}

void check_firmware(const CoreMessage &request, Answer &answer)
{
    upgrade_info info{};
    offer(&info, "V5.2.0 build 261120", "https://update.example.com/nvr/V5.2.0.bin", 48234496,
          "Faster playback seeking; H.265 smart recording");
    reply(answer, request, demo_bytes(&info, sizeof info));
}

// Each poll of a download moves it on; at 100 the image is in place.
void download(const CoreMessage &request, Answer &answer)
{
    firmware_download_request payload;
    if (!demo_payload_as(request, &payload))
        return;
    const std::string path(payload.path, strnlen(payload.path, sizeof payload.path));
    int32_t &progress = g_downloads[path];
    progress = progress >= kComplete ? kDownloadStep : progress + kDownloadStep;
    if (progress >= kComplete)
        put_image(path.c_str());
    reply(answer, request, demo_int32s({progress}));
}

void delete_camera_firmware(const CoreMessage &request, Answer &answer)
{
    unlink(NvrPath(kCameraFirmwarePath).c_str());
    g_downloads.erase(kCameraFirmwarePath);
    reply(answer, request, demo_int32s({0}));
}

void install(const CoreMessage &request, Answer &answer)
{
    reply(answer, request, demo_int32s({image_exists(kDeviceFirmwarePath) ? kInstalled : kNoImage}));
}

// Each poll of a camera's upgrade moves it on, once an image is in place.
void start_camera_upgrade(const CoreMessage &request, Answer &answer)
{
    camera_upgrade_request payload;
    if (!demo_payload_as(request, &payload))
        return;
    camera_upgrade_result result{payload.chnid, kCameraNoImage};
    if (image_exists(kCameraFirmwarePath)) {
        int32_t &progress = g_camera_upgrades[payload.chnid];
        progress = progress >= kComplete ? kCameraStep : progress + kCameraStep;
        result.status = progress;
    }
    reply(answer, request, demo_bytes(&result, sizeof result));
}

void stop_camera_upgrade(const CoreMessage &, Answer &) { g_camera_upgrades.clear(); }

// Every answering camera of the mask is offered its next version.
void check_camera_firmware(const CoreMessage &request, Answer &answer)
{
    camera_check_request payload;
    if (!demo_payload_as(request, &payload))
        return;
    const uint64_t mask = channel_mask_of(payload.mask[0], payload.mask[1]);
    static camera_check_reply records;
    memset(&records, 0, sizeof records);
    for (int32_t channel = 0; channel < static_cast<int32_t>(kUpgradeChannelCount); ++channel) {
        if ((mask >> channel & 1u) == 0)
            continue;
        const DemoCameraInfo camera = demo_camera_info(channel);
        if (!camera.online)
            continue;
        // The camera's version number (up to its first blank) one step on.
        const int number = static_cast<int>(strcspn(camera.fwVersion, " "));
        char version[64];
        snprintf(version, sizeof version, "%.*s.1 build 261118", number, camera.fwVersion);
        char url[kUpgradeUrlSize];
        snprintf(url, sizeof url, "https://update.example.com/ipc/%s/%.*s.1.bin", camera.model, number,
                 camera.fwVersion);
        offer(&records.channel[channel], version, url, 15728640,
              "Improved night image; fixes RTSP reconnect");
    }
    reply(answer, request, demo_bytes(&records, sizeof records));
}

const DemoRow kUpgradeRows[] = {
    {kMsgFirmwarePrepare, prepare},
    {kMsgFirmwareCheck, check_firmware},
    {kMsgFirmwareDownload, download},
    {kMsgCameraFirmwareDelete, delete_camera_firmware},
    {kMsgFirmwareInstall, install},
    {kMsgCameraUpgradeStart, start_camera_upgrade},
    {kMsgCameraUpgradeStop, stop_camera_upgrade},
    {kMsgCameraFirmwareCheck, check_camera_firmware},
};
NVR_DEMO_ROWS(kUpgradeRows)

} // namespace
