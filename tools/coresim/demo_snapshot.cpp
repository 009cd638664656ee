// Snapshot, camera event, fisheye and regional counting part of the demo
// device: each camera keeps its input and volume detection settings, its
// fisheye modes (the camera of channel 1 is a fisheye camera) and its
// counting regions, changed by the messages the program sends.
#include <cstdio>
#include <map>

#include "demo.h"
#include "modules/video/camera_input.h"
#include "modules/video/region_count.h"
#include "modules/video/snapshot.h"

namespace {

constexpr int32_t kFisheyeChannel = 1;

struct DemoCameraEvents {
    camera_io_set io;
    volume_detect_set volume;
    fisheye_mode_set fisheye;
    regional_pcnt_settings regions;
};

std::map<int32_t, DemoCameraEvents> g_cameras; // by channel

void demo_regions(int32_t chnid, regional_pcnt_settings *settings)
{
    settings->chnid = chnid;
    settings->sensitivity = 3;
    settings->min_obj_width = settings->min_obj_height = 20;
    settings->max_obj_width = settings->max_obj_height = 200;
    regional_pcnt_region &region = settings->regions[0];
    region.enable = 1;
    snprintf(region.polygon_x, sizeof region.polygon_x, "%s", "10,90,90,10");
    snprintf(region.polygon_y, sizeof region.polygon_y, "%s", "10,10,90,90");
    region.max_stay_enable = 1;
    region.max_stay_value = 5;
    for (int day = 0; day < kScheduleIpcDays; ++day) {
        schedule_day &entry = settings->effective.days[day];
        entry.day_enable = 1;
        snprintf(entry.sections[0].start_time, sizeof entry.sections[0].start_time, "%s", "00:00");
        snprintf(entry.sections[0].end_time, sizeof entry.sections[0].end_time, "%s", "24:00");
    }
}

DemoCameraEvents &camera_of(int32_t chnid)
{
    auto found = g_cameras.find(chnid);
    if (found != g_cameras.end())
        return found->second;
    static DemoCameraEvents fresh;
    fresh = DemoCameraEvents{};
    fresh.io = {chnid, 1, 0};
    fresh.volume = {chnid, 0, 0, 60, 5, 1, 1, 0};
    fresh.fisheye = {chnid, chnid == kFisheyeChannel ? 1 : 0, chnid == kFisheyeChannel ? 2 : 0, 0, 0};
    demo_regions(chnid, &fresh.regions);
    return g_cameras.emplace(chnid, fresh).first->second;
}

// The channel of a query; false for a short payload or a channel that
// holds no answering camera (the query then gets no reply).
bool camera_channel(const CoreMessage &request, int32_t *chnid)
{
    return demo_payload_as(request, chnid) && *chnid >= 0 && *chnid < 64 && demo_camera_info(*chnid).online;
}

// The trigger text of replies: the camera's own channel.
std::string own_channel_text(int32_t chnid)
{
    std::string text(static_cast<size_t>(chnid) + 1, '0');
    text.back() = '1';
    return text + '\0';
}

// A query's reply: the fixed words `reply`, then the trigger text.
template <typename Reply> void answer_event(int code, const Reply &reply, int32_t chnid, Answer &answer)
{
    answer.push_back(AnswerStep::reply(code, demo_bytes(&reply, sizeof reply) + own_channel_text(chnid)));
}

void on_get_io(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = 0;
    if (!camera_channel(request, &chnid))
        return;
    const camera_io_set &io = camera_of(chnid).io;
    answer_event(kReplyGetCameraIo, camera_io_reply{0, chnid, io.enable, io.type, 1, 0}, chnid, answer);
}

// Keeps a setting the web sent for its camera, read back by the next query.
template <typename Setting> void keep_sent(const CoreMessage &request, Setting DemoCameraEvents::*member)
{
    Setting sent;
    if (demo_payload_as(request, &sent) && sent.cam_id >= 0 && sent.cam_id < 64)
        camera_of(sent.cam_id).*member = sent;
}

void on_set_io(const CoreMessage &request, Answer &) { keep_sent(request, &DemoCameraEvents::io); }

void on_get_volume(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = 0;
    if (!camera_channel(request, &chnid))
        return;
    const volume_detect_set &v = camera_of(chnid).volume;
    const volume_detect_reply reply{0,          chnid,       v.enable,        v.type, v.volume, v.duration,
                                    v.on_event, v.off_event, v.ongoing_event, 1,      0};
    answer_event(kReplyGetVolumeDetect, reply, chnid, answer);
}

void on_set_volume(const CoreMessage &request, Answer &) { keep_sent(request, &DemoCameraEvents::volume); }

void on_get_fisheye(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = 0;
    if (!camera_channel(request, &chnid))
        return;
    const fisheye_mode_set &mode = camera_of(chnid).fisheye;
    const fisheye_mode_reply reply{chnid, mode.fishmount, mode.fishdisplay, mode.fishcorrect,
                                   chnid == kFisheyeChannel ? 0 : -1};
    answer.push_back(AnswerStep::reply(kReplyGetFisheyeMode, demo_bytes(&reply, sizeof reply)));
}

// Only the fisheye camera takes fisheye modes.
void on_set_fisheye(const CoreMessage &request, Answer &answer)
{
    fisheye_mode_set sent;
    if (!demo_payload_as(request, &sent))
        return;
    const bool fisheye = sent.chnid == kFisheyeChannel;
    if (fisheye)
        camera_of(sent.chnid).fisheye = sent;
    answer.push_back(AnswerStep::reply(kReplySetFisheyeMode, demo_int32s({fisheye ? 0 : -1})));
}

// A camera named by the fisheye camera's address is supported.
bool is_fisheye_camera(const fisheye_camera &camera)
{
    const DemoCameraInfo info = demo_camera_info(kFisheyeChannel);
    return info.online &&
           std::string(camera.ipaddr, strnlen(camera.ipaddr, sizeof camera.ipaddr)) == info.ipAddr;
}

void on_check_fisheye_camera(const CoreMessage &request, Answer &answer)
{
    fisheye_camera camera{};
    if (request.payload.size() < kFisheyeCheckSize)
        return;
    memcpy(&camera, request.payload.data(), kFisheyeCheckSize);
    const fisheye_mode_set &mode = camera_of(kFisheyeChannel).fisheye;
    const fisheye_camera_check_reply reply =
        is_fisheye_camera(camera) ? fisheye_camera_check_reply{1, 0, mode.fishmount, mode.fishdisplay, 2}
                                  : fisheye_camera_check_reply{0, 0, 0, 0, 0};
    answer.push_back(AnswerStep::reply(kReplyCheckFisheyeCamera, demo_bytes(&reply, sizeof reply)));
}

void on_set_fisheye_camera(const CoreMessage &request, Answer &answer)
{
    fisheye_camera camera;
    if (!demo_payload_as(request, &camera))
        return;
    const bool fisheye = is_fisheye_camera(camera);
    if (fisheye) {
        fisheye_mode_set &mode = camera_of(kFisheyeChannel).fisheye;
        mode.fishmount = camera.install;
        mode.fishdisplay = camera.display;
    }
    answer.push_back(AnswerStep::reply(kReplySetFisheyeCamera, demo_int32s({fisheye ? 0 : -1})));
}

void on_get_regions(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = 0;
    if (!camera_channel(request, &chnid))
        return;
    static regional_pcnt_settings reply;
    reply = camera_of(chnid).regions;
    reply.result = 0;
    memset(reply.copy_channels, 0, sizeof reply.copy_channels);
    answer.push_back(AnswerStep::reply(kReplyGetRegionalPcnt, demo_bytes(&reply, sizeof reply)));
}

void on_set_regions(const CoreMessage &request, Answer &answer)
{
    static regional_pcnt_settings sent;
    if (!demo_payload_as(request, &sent))
        return;
    const bool known = sent.chnid >= 0 && sent.chnid < 64 && demo_camera_info(sent.chnid).online;
    if (known)
        camera_of(sent.chnid).regions = sent;
    answer.push_back(AnswerStep::reply(kReplySetRegionalPcnt, demo_int32s({known ? 0 : -1})));
}

void ignore(const CoreMessage &, Answer &) {}

const DemoRow kSnapshotRows[] = {
    {kMsgSnapshotParamsChanged, ignore},
    {kMsgSnapshotScheduleChanged, ignore},
    {kMsgSnapshotSwitch, ignore},
    {kMsgGetCameraIo, on_get_io},
    {kMsgSetCameraIo, on_set_io},
    {kMsgGetVolumeDetect, on_get_volume},
    {kMsgSetVolumeDetect, on_set_volume},
    {kMsgGetFisheyeMode, on_get_fisheye},
    {kMsgSetFisheyeMode, on_set_fisheye},
    {kMsgCheckFisheyeCamera, on_check_fisheye_camera},
    {kMsgSetFisheyeCamera, on_set_fisheye_camera},
    {kMsgGetRegionalPcnt, on_get_regions},
    {kMsgSetRegionalPcnt, on_set_regions},
};

} // namespace

NVR_DEMO_ROWS(kSnapshotRows)
