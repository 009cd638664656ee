// Video module of the demo device: the live motion map of each channel,
// changed by the motion map messages the program sends.
#include <cstring>
#include <map>
#include <string>

#include "demo.h"
#include "modules/video/video_records.h"

namespace {

std::map<int32_t, motion_map> g_maps; // by channel

motion_map &map_of(int32_t chnid)
{
    auto found = g_maps.find(chnid);
    if (found == g_maps.end()) {
        motion_map map{};
        map.chnid = chnid;
        map.enable = 1;
        map.sensitivity = 3;
        strcpy(map.map, "0000000000000000000000");
        found = g_maps.emplace(chnid, map).first;
    }
    return found->second;
}

void on_get_map(const CoreMessage &request, Answer &answer)
{
    int32_t chnid = 0;
    if (request.payload.size() < sizeof chnid)
        return;
    memcpy(&chnid, request.payload.data(), sizeof chnid);
    const motion_map &map = map_of(chnid);
    answer.push_back(
        AnswerStep::reply(kReplyGetMotionMap, std::string(reinterpret_cast<const char *>(&map), sizeof map)));
}

void on_set_map(const CoreMessage &request, Answer &)
{
    motion_map sent{};
    if (request.payload.size() < sizeof sent)
        return;
    memcpy(&sent, request.payload.data(), sizeof sent);
    motion_map &map = map_of(sent.chnid);
    memcpy(map.map, sent.map, sizeof map.map);
    map.map[sizeof map.map - 1] = '\0';
    map.sensitivity = sent.sensitivity;
}

// 3251: the map and sensitivity go to every listed channel.
void on_set_map_batch(const CoreMessage &request, Answer &)
{
    motion_map_batch sent{};
    if (request.payload.size() < sizeof sent)
        return;
    memcpy(&sent, request.payload.data(), sizeof sent);
    for (int32_t index = 0; index < sent.count && index < kVideoChannels; ++index) {
        motion_map &map = map_of(sent.channels[index]);
        memcpy(map.map, sent.map, sizeof map.map);
        map.map[sizeof map.map - 1] = '\0';
        map.sensitivity = sent.sensitivity;
    }
}

void ignore(const CoreMessage &, Answer &) {}

const DemoRow kVideoRows[] = {
    {kMsgGetMotionMap, on_get_map},  {kMsgSetMotionMap, on_set_map},
    {kMsgMotionChanged, ignore},     {kMsgMotionDaySchedule, ignore},
    {kMsgMotionSchedEnable, ignore}, {kMsgMotionMapBatch, on_set_map_batch},
    {kMsgMotionCopied, ignore},      {kMsgMotionDayScheduleBatch, ignore},
};

} // namespace

NVR_DEMO_ROWS(kVideoRows)
