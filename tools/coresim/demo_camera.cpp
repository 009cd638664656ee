// Camera part of the demo device: a LAN with a few cameras, the recorder's
// cameras as the configuration database lists them (a camera is online when
// its address is on the LAN and its password is right), their stream
// settings, and the results of batch address changes.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "codecs/channel_db.h"
#include "codecs/channel_mask.h"
#include "demo.h"
#include "modules/camera/camera_records.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr const char *kDemoPassword = "demo1234";

// Connection test results of the core daemon.
constexpr int32_t kConnectOk = 0;
constexpr int32_t kConnectNetworkError = 1;
constexpr int32_t kConnectUserError = 2;
// Stream information state of a camera that does not answer.
constexpr int32_t kStreamStateOffline = 3;
// Batch address change results.
constexpr int32_t kModifyOk = 0;
constexpr int32_t kModifyNotFound = 1;

struct Resolution {
    int32_t width, height;
};
// Main stream sizes from the largest down; a camera offers those from its
// own largest on.
constexpr Resolution kMainResolutions[] = {
    {3840, 2160}, {2592, 1944}, {2560, 1440}, {1920, 1080}, {1280, 720},
};
constexpr Resolution kSubResolutions[] = {{704, 576}, {640, 360}};

struct LanCamera {
    const char *ipAddr;
    const char *mac;
    int32_t protocol;
    const char *vendor;
    const char *model;
    int32_t modelId;
    const char *fwVersion;
    const char *sn;
    const char *name;
    int largest; // index into kMainResolutions
    int32_t framerateMax;
    int32_t bitrateMax;
    int32_t smartStream; // 1 when the camera supports it
    int32_t alarms;      // alarm inputs and outputs
};

// What answers on the demo LAN. 192.168.1.105 is not added to the recorder;
// the recorder's fourth camera (192.168.1.104) is not on the LAN.
const LanCamera kLan[] = {
    {"192.168.1.101", "00:1c:27:5a:10:65", 0, "Acme Vision", "AV-4K-B1", 0, "V2.4.1 build 230611",
     "AV4KB1-2306-00412", "Front door", 0, 25, 8192, 1, 1},
    {"192.168.1.102", "00:1c:27:5a:10:66", 0, "Acme Vision", "AV-2M-D2", 0, "V2.3.7 build 221102",
     "AV2MD2-2211-01877", "Garage", 3, 30, 4096, 1, 0},
    {"192.168.1.103", "44:19:b6:03:77:21", 1, "Northwind Optics", "NW-1080R", 1, "1.0.9", "NW1080R-000933",
     "Back yard", 3, 25, 4096, 0, 0},
    {"192.168.1.105", "00:1c:27:5a:10:70", 2, "ZQ", "ZQ-IPC-4M", 2, "V3.1.0 build 240115", "ZQ4M-2401-00007",
     "IPC-4M", 2, 25, 6144, 1, 1},
};

// Network settings every demo camera reports.
constexpr const char *kLanNetmask = "255.255.255.0";
constexpr const char *kLanGateway = "192.168.1.1";
constexpr const char *kLanNetif = "eth0";
constexpr int32_t kDefaultRtspPort = 554;

// The stream settings of one channel, which 3203 changes.
struct StreamSetting {
    Resolution main, sub;
    int32_t mainFramerate, mainBitrate, mainIframe, mainBitrateCtrl, mainVideoType;
    int32_t subFramerate, subBitrate, subIframe, subBitrateCtrl, subVideoType;
    int32_t subEnable, smartStream, smartStreamLevel, subSmartStream, subSmartStreamLevel;
};

// Slots of the 3203 request.
enum StreamSlot : int {
    kSlotSubEnable = 21,
    kSlotMainVideoType = 24,
    kSlotMainWidth = 25,
    kSlotMainHeight = 26,
    kSlotMainFramerate = 27,
    kSlotMainBitrate = 28,
    kSlotMainIframe = 29,
    kSlotMainBitrateCtrl = 30,
    kSlotSmartStream = 31,
    kSlotSmartStreamLevel = 32,
    kSlotSubVideoType = 38,
    kSlotSubWidth = 39,
    kSlotSubHeight = 40,
    kSlotSubFramerate = 41,
    kSlotSubBitrate = 42,
    kSlotSubIframe = 43,
    kSlotSubBitrateCtrl = 44,
    kSlotSubSmartStream = 45,
    kSlotSubSmartStreamLevel = 46,
};

std::map<int32_t, StreamSetting> g_streams; // by channel
std::vector<ipc_modify_entry> g_modify_results;

const LanCamera *lan_camera(const char *ipAddr)
{
    for (const LanCamera &camera : kLan)
        if (strcmp(camera.ipAddr, ipAddr) == 0)
            return &camera;
    return nullptr;
}

// The recorder's camera of a channel; false when the channel has none.
bool stored_camera(int32_t chnid, camera_record *camera)
{
    return read_camera(ZQDB_PATH, camera, chnid) == kRecFound && camera->enable == 1;
}

// The LAN camera behind a stored camera, null when it does not answer.
const LanCamera *online_camera(const camera_record &camera)
{
    const LanCamera *found = lan_camera(camera.ipAddr);
    return found != nullptr && strcmp(camera.password, kDemoPassword) == 0 ? found : nullptr;
}

StreamSetting &stream_of(int32_t chnid, const LanCamera &camera)
{
    auto found = g_streams.find(chnid);
    if (found != g_streams.end())
        return found->second;
    StreamSetting setting{};
    setting.main = kMainResolutions[camera.largest];
    setting.sub = kSubResolutions[0];
    setting.mainFramerate = setting.subFramerate = camera.framerateMax;
    setting.mainBitrate = camera.bitrateMax / 2;
    setting.subBitrate = 512;
    setting.mainIframe = setting.subIframe = 2 * camera.framerateMax;
    setting.mainVideoType = setting.subVideoType = 1;
    setting.subEnable = 1;
    setting.smartStream = camera.smartStream;
    setting.smartStreamLevel = setting.subSmartStreamLevel = 3;
    return g_streams.emplace(chnid, setting).first->second;
}

ipc_list_record list_record(int32_t chnid, const camera_record &camera)
{
    ipc_list_record record{};
    record.id = chnid;
    record.managePort = camera.managePort;
    record.camProtocol = camera.camProtocol;
    record.mainRtspPort = camera.mainRtspPort;
    record.poechannel = camera.poechannel;
    record.physicalport = camera.physicalport;
    record.minorid = camera.minorid;
    snprintf(record.ipAddr, sizeof record.ipAddr, "%s", camera.ipAddr);
    snprintf(record.ddns, sizeof record.ddns, "%s", camera.ddns);
    const LanCamera *lan = online_camera(camera);
    if (lan == nullptr)
        return record;
    record.state = record.subState = record.connectState = 1;
    // The camera tells its stream port when it was not configured.
    if (record.mainRtspPort == 0)
        record.mainRtspPort = kDefaultRtspPort;
    snprintf(record.vendor, sizeof record.vendor, "%s", lan->vendor);
    snprintf(record.sn, sizeof record.sn, "%s", lan->sn);
    snprintf(record.snReal, sizeof record.snReal, "%s", lan->sn);
    snprintf(record.fwVersion, sizeof record.fwVersion, "%s", lan->fwVersion);
    snprintf(record.mac, sizeof record.mac, "%s", lan->mac);
    snprintf(record.model, sizeof record.model, "%s", lan->model);
    record.alarmin = record.alarmout = lan->alarms;
    return record;
}

// 3201: one record per enabled camera of the database.
void on_list(const CoreMessage &, Answer &answer)
{
    std::string records;
    for (int32_t chnid = 0; chnid < kCameraChannels; ++chnid) {
        camera_record camera;
        if (!stored_camera(chnid, &camera))
            continue;
        const ipc_list_record record = list_record(chnid, camera);
        records += demo_bytes(&record, sizeof record);
    }
    confdb_close();
    answer.push_back(AnswerStep::reply(kMsgListCameras + kReplyOffset, records));
}

ipc_search_record search_record(const LanCamera &camera)
{
    ipc_search_record record{};
    snprintf(record.ipAddr, sizeof record.ipAddr, "%s", camera.ipAddr);
    snprintf(record.macAddr, sizeof record.macAddr, "%s", camera.mac);
    record.managePort = 80;
    record.protocol = camera.protocol;
    snprintf(record.vendor, sizeof record.vendor, "%s", camera.vendor);
    snprintf(record.sn, sizeof record.sn, "%s", camera.sn);
    snprintf(record.snReal, sizeof record.snReal, "%s", camera.sn);
    snprintf(record.fwVersion, sizeof record.fwVersion, "%s", camera.fwVersion);
    snprintf(record.model, sizeof record.model, "%s", camera.model);
    record.modelId = camera.modelId;
    snprintf(record.netmask, sizeof record.netmask, "%s", kLanNetmask);
    snprintf(record.dns, sizeof record.dns, "%s", kLanGateway);
    snprintf(record.gateway, sizeof record.gateway, "%s", kLanGateway);
    snprintf(record.netif, sizeof record.netif, "%s", kLanNetif);
    record.active_status = 1;
    snprintf(record.name, sizeof record.name, "%s", camera.name);
    return record;
}

// 3200: every camera of the LAN, whatever protocol was asked for.
void on_search(const CoreMessage &, Answer &answer)
{
    std::string records;
    for (const LanCamera &camera : kLan) {
        const ipc_search_record record = search_record(camera);
        records += demo_bytes(&record, sizeof record);
    }
    answer.push_back(AnswerStep::reply(kMsgSearchCameras + kReplyOffset, records));
}

int32_t connect_result(const char *ipAddr, const char *password)
{
    if (lan_camera(ipAddr) == nullptr)
        return kConnectNetworkError;
    return strcmp(password, kDemoPassword) == 0 ? kConnectOk : kConnectUserError;
}

// 3202 and 3227: the same question in two record layouts.
template <typename Param> void on_test_connect(const CoreMessage &request, Answer &answer)
{
    Param param;
    if (!demo_payload_as(request, &param))
        return;
    ipc_connect_target &target = param.target;
    target.ipAddr[sizeof target.ipAddr - 1] = target.password[sizeof target.password - 1] = '\0';
    answer.push_back(AnswerStep::reply(request.code + kReplyOffset,
                                       demo_int32s({connect_result(target.ipAddr, target.password)})));
}

// Width and height pairs of `list` into the words of a resolution list.
void put_resolutions(int32_t *words, const Resolution *list, size_t count)
{
    for (size_t index = 0; index < count && index < kMaxResolutions; ++index) {
        words[2 * index] = list[index].width;
        words[2 * index + 1] = list[index].height;
    }
}

ipc_stream_info stream_info(int32_t chnid, const LanCamera &camera, const StreamSetting &setting)
{
    ipc_stream_info info{};
    int32_t *w = info.word;
    w[1] = chnid;
    put_resolutions(w + 2, kMainResolutions + camera.largest, std::size(kMainResolutions) - camera.largest);
    w[50] = camera.framerateMax, w[51] = 1, w[52] = camera.bitrateMax, w[53] = 256;
    w[54] = setting.mainVideoType, w[55] = setting.main.width, w[56] = setting.main.height;
    w[57] = setting.mainFramerate, w[58] = setting.mainBitrate, w[59] = setting.mainIframe;
    w[60] = setting.mainBitrateCtrl, w[61] = 1, w[62] = 200;
    put_resolutions(w + 63, kSubResolutions, std::size(kSubResolutions));
    w[111] = camera.framerateMax, w[112] = 1, w[113] = 2048, w[114] = 64;
    w[115] = setting.subVideoType, w[116] = setting.sub.width, w[117] = setting.sub.height;
    w[118] = setting.subFramerate, w[119] = setting.subBitrate, w[120] = setting.subIframe;
    w[121] = setting.subBitrateCtrl, w[122] = 1, w[123] = 200;
    w[124] = setting.subEnable, w[125] = 1, w[126] = 1, w[127] = camera.protocol;
    w[128] = w[129] = 1;
    w[130] = camera.smartStream, w[131] = setting.smartStream, w[132] = setting.smartStreamLevel;
    w[133] = camera.smartStream, w[134] = setting.subSmartStream, w[135] = setting.subSmartStreamLevel;
    w[136] = setting.mainIframe, w[137] = setting.subIframe, w[138] = setting.subIframe;
    return info;
}

// 3204: the channel's capabilities and settings; a channel without a
// camera that answers reports only its state.
void on_stream_info(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = -1;
    if (!demo_payload_as(request, &chnid))
        return;
    camera_record camera;
    const LanCamera *lan = stored_camera(chnid, &camera) ? online_camera(camera) : nullptr;
    confdb_close();
    ipc_stream_info info{};
    info.word[0] = kStreamStateOffline;
    info.word[1] = chnid;
    if (lan != nullptr)
        info = stream_info(chnid, *lan, stream_of(chnid, *lan));
    answer.push_back(AnswerStep::reply(kMsgGetStreamInfo + kReplyOffset, demo_bytes(&info, sizeof info)));
}

// Takes `value` unless the request leaves the field as it is (-1).
void take(int32_t value, int32_t *field)
{
    if (value >= 0)
        *field = value;
}

void apply_stream_setting(const ipc_stream_setting &sent, StreamSetting *setting)
{
    const int32_t *slot = sent.slot;
    if (slot[kSlotMainWidth] > 0 && slot[kSlotMainHeight] > 0)
        setting->main = {slot[kSlotMainWidth], slot[kSlotMainHeight]};
    if (slot[kSlotSubWidth] > 0 && slot[kSlotSubHeight] > 0)
        setting->sub = {slot[kSlotSubWidth], slot[kSlotSubHeight]};
    take(slot[kSlotSubEnable], &setting->subEnable);
    take(slot[kSlotMainVideoType], &setting->mainVideoType);
    take(slot[kSlotMainFramerate], &setting->mainFramerate);
    take(slot[kSlotMainBitrate], &setting->mainBitrate);
    take(slot[kSlotMainIframe], &setting->mainIframe);
    take(slot[kSlotMainBitrateCtrl], &setting->mainBitrateCtrl);
    take(slot[kSlotSmartStream], &setting->smartStream);
    take(slot[kSlotSmartStreamLevel], &setting->smartStreamLevel);
    take(slot[kSlotSubVideoType], &setting->subVideoType);
    take(slot[kSlotSubFramerate], &setting->subFramerate);
    take(slot[kSlotSubBitrate], &setting->subBitrate);
    take(slot[kSlotSubIframe], &setting->subIframe);
    take(slot[kSlotSubBitrateCtrl], &setting->subBitrateCtrl);
    take(slot[kSlotSubSmartStream], &setting->subSmartStream);
    take(slot[kSlotSubSmartStreamLevel], &setting->subSmartStreamLevel);
}

// 3203: every marked channel whose camera answers takes the setting; the
// reply is the mask of those channels.
void on_set_stream(const CoreMessage &request, Answer &answer)
{
    ipc_stream_setting sent;
    if (!demo_payload_as(request, &sent))
        return;
    char text[kChannelMaskText + 1];
    memcpy(text, sent.slot, kChannelMaskText);
    text[kChannelMaskText] = '\0';
    const uint64_t marked = channel_mask_from_text(text);
    uint64_t changed = 0;
    for (int32_t chnid = 0; chnid < kCameraChannels; ++chnid) {
        camera_record camera;
        const LanCamera *lan =
            (marked >> chnid & 1u) != 0 && stored_camera(chnid, &camera) ? online_camera(camera) : nullptr;
        if (lan == nullptr)
            continue;
        apply_stream_setting(sent, &stream_of(chnid, *lan));
        changed |= uint64_t{1} << chnid;
    }
    confdb_close();
    answer.push_back(AnswerStep::reply(
        kMsgSetStream + kReplyOffset,
        demo_int32s({static_cast<int32_t>(changed & 0xffffffffu), static_cast<int32_t>(changed >> 32)})));
}

void on_set_network(const CoreMessage &request, Answer &answer)
{
    answer.push_back(AnswerStep::reply(request.code + kReplyOffset, demo_int32s({0})));
}

// 3229: one camera of a batch address change; its result replaces an
// earlier one of the same camera.
void on_set_network_batch(const CoreMessage &request, Answer &)
{
    ipc_net_change change;
    if (!demo_payload_as(request, &change))
        return;
    change.macAddr[sizeof change.macAddr - 1] = change.oldIpcAddr[sizeof change.oldIpcAddr - 1] = '\0';
    ipc_modify_entry entry{};
    memcpy(entry.mac, change.macAddr, sizeof entry.mac);
    entry.result = lan_camera(change.oldIpcAddr) != nullptr ? kModifyOk : kModifyNotFound;
    auto same = std::find_if(g_modify_results.begin(), g_modify_results.end(),
                             [&](const ipc_modify_entry &kept) { return strcmp(kept.mac, entry.mac) == 0; });
    if (same != g_modify_results.end())
        *same = entry;
    else if (g_modify_results.size() < kModifyResultMax)
        g_modify_results.push_back(entry);
}

void on_modify_result(const CoreMessage &, Answer &answer)
{
    ipc_modify_result result{};
    result.count = static_cast<int32_t>(g_modify_results.size());
    std::copy(g_modify_results.begin(), g_modify_results.end(), result.entries);
    answer.push_back(
        AnswerStep::reply(kMsgGetModifyResult + kReplyOffset, demo_bytes(&result, sizeof result)));
}

int days_in_month(int year, int month)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// 3493: recordings on every day of the month up to today, but every ninth
// day (the recorder was off).
void on_month_record_days(const CoreMessage &request, Answer &answer)
{
    month_record_days_query query;
    if (!demo_payload_as(request, &query))
        return;
    int32_t days[32] = {};
    const time_t now = time(nullptr);
    struct tm today {};
    localtime_r(&now, &today);
    const int this_month = (today.tm_year + 1900) * 12 + today.tm_mon + 1;
    const int asked = query.year * 12 + query.month;
    if (query.month >= 1 && query.month <= 12 && asked <= this_month) {
        const int last = asked == this_month ? today.tm_mday : days_in_month(query.year, query.month);
        for (int day = 1; day <= last; ++day)
            days[day] = day % 9 != 0 ? 1 : 0;
    }
    answer.push_back(AnswerStep::reply(kMsgMonthRecordDays + kReplyOffset, demo_bytes(days, sizeof days)));
}

// 1201, 1202: stream settings kept for a channel go with its camera.
void forget_stream(const CoreMessage &request, Answer &)
{
    int32_t chnid = -1;
    if (demo_payload_as(request, &chnid))
        g_streams.erase(chnid);
}

void accept(const CoreMessage &, Answer &) {}

const DemoRow kCameraRows[] = {
    {kMsgSearchCameras, on_search},
    {kMsgListCameras, on_list},
    {kMsgTestConnect, on_test_connect<ipc_connect_param>},
    {kMsgSetStream, on_set_stream},
    {kMsgGetStreamInfo, on_stream_info},
    {kMsgSetNetwork, on_set_network},
    {kMsgTestConnectEx, on_test_connect<ipc_connect_param_ex>},
    {kMsgSetNetworkBatch, on_set_network_batch},
    {kMsgGetModifyResult, on_modify_result},
    {kMsgMonthRecordDays, on_month_record_days},
    {kMsgCameraAdded, forget_stream},
    {kMsgCameraDeleted, forget_stream},
    {kMsgCameraChanged, accept},
    {kMsgCameraPoe, accept},
};

} // namespace

DemoCameraInfo demo_camera_info(int32_t chnid)
{
    camera_record camera;
    const LanCamera *lan = stored_camera(chnid, &camera) ? online_camera(camera) : nullptr;
    confdb_close();
    if (lan == nullptr)
        return DemoCameraInfo{false, "", "", ""};
    return DemoCameraInfo{true, lan->model, lan->fwVersion, lan->ipAddr};
}

NVR_DEMO_ROWS(kCameraRows)

bool demo_camera_has_alarms(int32_t chnid)
{
    camera_record camera;
    if (!stored_camera(chnid, &camera))
        return false;
    const LanCamera *lan = online_camera(camera);
    return lan != nullptr && lan->alarms != 0;
}
