// Recording part of the demo device: edge storage (ANR) support of each
// camera, the result of an ANR change, and the record streams of every
// channel, all from the cameras of the configuration database. Holidays,
// record schedules and modes are read back from the database, so their
// notifications need no answer.
#include "codecs/channel_db.h"
#include "demo.h"
#include "modules/record/record_records.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int32_t kProtocolRtsp = 1;
// Record stream values (kbit/s) of a channel with a camera.
constexpr int32_t kPrimaryStream = 4096;
constexpr int32_t kSecondaryStream = 512;
constexpr int kDefaultMaxCameras = 32;

bool enabled_camera(int32_t chnid, camera_record *camera)
{
    return read_camera(ZQDB_PATH, camera, chnid) == kRecFound && camera->enable == 1;
}

// Edge storage needs an enabled camera of a protocol that keeps
// recordings, not on a PoE port.
bool supports_anr(int32_t chnid)
{
    camera_record camera;
    return enabled_camera(chnid, &camera) && camera.camProtocol != kProtocolRtsp && camera.poechannel == 0;
}

void on_anr_support(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = -1;
    if (!demo_payload_as(request, &chnid))
        return;
    const anr_support support{chnid, supports_anr(chnid) ? 1 : 0};
    confdb_close();
    answer.push_back(AnswerStep::reply(kReplyGetAnrSupport, demo_bytes(&support, sizeof support)));
}

// 2285: switching edge storage off always works; switching it on fails on
// a camera without support.
void on_set_anr(const CoreMessage &request, Answer &answer)
{
    anr_change change;
    if (!demo_payload_as(request, &change))
        return;
    static anr_change_result result;
    result = anr_change_result{};
    result.count = change.count < 0 ? 0 : (change.count > kRecordChannels ? kRecordChannels : change.count);
    result.anr = change.anr;
    for (int32_t index = 0; index < result.count; ++index) {
        result.channels[index] = change.channels[index];
        result.results[index] = change.anr == 0 || supports_anr(change.channels[index]) ? 0 : 1;
    }
    confdb_close();
    answer.push_back(AnswerStep::reply(kReplySetAnr, demo_bytes(&result, sizeof result)));
}

// 3218: the channels up to the device's camera count, with stream values
// where a camera is enabled.
void on_record_streams(const CoreMessage &, Answer &answer)
{
    static record_stream_info info;
    info = record_stream_info{};
    const int cameras = get_param_int(ZQDB_PATH, "max_cameras", kDefaultMaxCameras);
    info.count = cameras < 0 ? 0 : (cameras > kRecordChannels ? kRecordChannels : cameras);
    for (int32_t chnid = 0; chnid < info.count; ++chnid) {
        camera_record camera;
        if (!enabled_camera(chnid, &camera))
            continue;
        info.primary[chnid] = kPrimaryStream;
        info.secondary[chnid] = camera.enableSubStream != 0 ? kSecondaryStream : 0;
    }
    confdb_close();
    answer.push_back(AnswerStep::reply(kReplyGetRecordStreams, demo_bytes(&info, sizeof info)));
}

void accept(const CoreMessage &, Answer &) {}

const DemoRow kRecordRows[] = {
    {kMsgHolidaysChanged, accept},       {kMsgRecordSettingChanged, accept},
    {kMsgRecordScheduleChanged, accept}, {kMsgRecordModeChanged, accept},
    {kMsgRecordParamChanged, accept},    {kMsgSetAnr, on_set_anr},
    {kMsgGetAnrSupport, on_anr_support}, {kMsgGetRecordStreams, on_record_streams},
};

} // namespace

NVR_DEMO_ROWS(kRecordRows)
