// The recorder's own PTZ settings per channel: serial port settings for
// analogue PTZ heads, default speeds, and the tours kept in the database.
#include <cstring>

#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "front/web_utils.h"
#include "modules/ptz/ptz.h"
#include "modules/ptz/ptz_records.h"
#include "platform/confdb/confdb.h"

namespace {

// The port page's keys in the order of its answer: the channel first, then
// the settings a request sets.
const WireField kPortFields[] = {
    WIRE_INT("camId", ptz_port_record, channel),     WIRE_INT("connectType", ptz_port_record, connectType),
    WIRE_INT("baudRate", ptz_port_record, baudRate), WIRE_INT("dataBits", ptz_port_record, dataBits),
    WIRE_INT("stopBits", ptz_port_record, stopBits), WIRE_INT("parityType", ptz_port_record, parityType),
    WIRE_INT("protocol", ptz_port_record, protocol), WIRE_INT("address", ptz_port_record, address),
};
constexpr size_t kPortFieldCount = sizeof kPortFields / sizeof kPortFields[0];
constexpr WireLayout kPortAnswer{kPortFields, kPortFieldCount, sizeof(ptz_port_record)};
constexpr WireLayout kPortSettings{kPortFields + 1, kPortFieldCount - 1, sizeof(ptz_port_record)};

const WireField kSpeedFields[] = {
    WIRE_INT("pan_speed", ptz_speed_record, pan_speed),
    WIRE_INT("tilt_speed", ptz_speed_record, tilt_speed),
    WIRE_INT("zoom_speed", ptz_speed_record, zoom_speed),
    WIRE_INT("foucs_speed", ptz_speed_record, focus_speed),
};
constexpr WireLayout kSpeedLayout = wire_layout(kSpeedFields, sizeof(ptz_speed_record));

// The port page shows the first 16 channels.
constexpr int kPortPageChannels = 16;

struct IntRange {
    const char *key;
    int low;
    int high;
};
constexpr int kNoLimit = 0x7fffffff;

const IntRange kPortChecks[] = {
    {"cnt", -kNoLimit - 1, kNoLimit},
    {"connectType", 0, 1},
    {"baudRate", 0, kNoLimit},
    {"dataBits", 5, 8},
    {"stopBits", 0, kNoLimit},
    {"parityType", 0, 2},
    {"protocol", 0, 13},
    {"address", 0, kNoLimit},
};

// The record of `channel` as stored; an absent one is the channel's own.
template <typename Record> int read_channel_record(int kind, int channel, Record *record)
{
    const int found = confdb_read_record(ZQDB_PATH, kind, channel, record, sizeof *record);
    if (found == kRecAbsent)
        record->channel = channel;
    return found < 0 ? -1 : 0;
}

template <typename Record> int write_channel_record(int kind, const Record &record)
{
    return confdb_write_record(ZQDB_PATH, kind, record.channel, &record, sizeof record);
}

// The channel under `key` of a JSON text when it lies in 0..`limit` - 1.
bool request_channel(const char *text, const char *key, int limit, int *channel)
{
    return on_cgi_get_value_by_json(text, key, channel) == 0 && *channel >= 0 && *channel < limit;
}

} // namespace

int check_ptzport_info(json_object *request)
{
    if (json_value_array(json_get_member(request, "chnid")) == nullptr)
        return -1;
    for (const IntRange &check : kPortChecks) {
        int value = 0;
        if (!ptz_int(request, check.key, &value) || value < check.low || value > check.high)
            return -1;
    }
    return 0;
}

int on_get_ptzport_info(char *text)
{
    int channel = 0;
    ptz_port_record record;
    if (!request_channel(text, "chnid", kPortPageChannels, &channel) ||
        read_channel_record(kRecPtzPort, channel, &record) != 0)
        return cgi_error_to_webserver(kRespJson);
    const JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), &record, kPortAnswer);
    return cgi_write_json(kRespJson, answer.get());
}

// The same settings go to every listed channel; list elements that are no
// channel are skipped, and the list ends where the array ends.
int on_set_ptzport_info(char *text)
{
    const JsonPtr request = ptz_parse(text);
    if (!request || check_ptzport_info(request.get()) != 0)
        return 0;
    ptz_port_record record{};
    wire_update(request.get(), kPortSettings, &record);
    json_object *channels = json_get_member(request.get(), "chnid");
    const size_t listed = json_array_size(channels);
    const int count = json_member_int(request.get(), "cnt");
    for (size_t index = 0; static_cast<int>(index) < count && index < listed; ++index) {
        int channel = -1;
        if (!json_value_int(json_array_item(channels, index), &channel) || !ptz_channel_valid(channel))
            continue;
        record.channel = channel;
        if (write_channel_record(kRecPtzPort, record) != 0)
            return cgi_error_to_webserver(kRespText);
        const int32_t payload = channel;
        ptz_notify(kMsgPtzPortChanged, &payload, sizeof payload);
        ptz_log(kPtzLogSetting, channel);
    }
    return ptz_answer_ok();
}

int on_get_ptzsupport_info(char *text)
{
    int camera = 0;
    if (on_cgi_get_value_by_json(text, "camId", &camera) != 0)
        return 0;
    const int32_t payload = camera;
    return ptz_request(kMsgGetPtzSupport, &payload, sizeof payload, kRespText);
}

int on_get_ptz_speed(char *text)
{
    int channel = 0;
    if (!request_channel(text, "camId", kPtzChannels, &channel))
        return 0;
    ptz_speed_record record;
    if (read_channel_record(kRecPtzSpeed, channel, &record) != 0)
        return cgi_error_to_webserver(kRespJson);
    const JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), &record, kSpeedLayout);
    return cgi_write_json(kRespJson, answer.get());
}

// Speeds the request leaves out keep their stored value.
int on_set_ptz_speed(char *text)
{
    const JsonPtr request = ptz_parse(text);
    int channel = 0;
    ptz_speed_record record;
    if (!request || !ptz_int(request.get(), "camId", &channel) || !ptz_channel_valid(channel) ||
        read_channel_record(kRecPtzSpeed, channel, &record) != 0)
        return 0;
    wire_update(request.get(), kSpeedLayout, &record);
    record.channel = channel;
    if (write_channel_record(kRecPtzSpeed, record) != 0)
        return cgi_error_to_webserver(kRespText);
    ptz_log(kPtzLogSetting, channel);
    return ptz_answer_ok();
}

// ---- Tours -----------------------------------------------------------------

namespace {

// A tour of a request: its channel, its id (1 to 8) and, for the resources
// that set points, how many (0 to 48).
struct TourRequest {
    int channel;
    int tour_id;
    int rows;
};

bool tour_request(json_object *request, bool with_rows, TourRequest *tour)
{
    tour->rows = 0;
    return request != nullptr && ptz_int(request, "chn", &tour->channel) &&
           ptz_channel_valid(tour->channel) && ptz_int(request, "tourid", &tour->tour_id) &&
           tour->tour_id >= 1 && tour->tour_id <= kPtzTours &&
           (!with_rows ||
            (ptz_int(request, "rowsize", &tour->rows) && tour->rows >= 0 && tour->rows <= kPtzTourPoints));
}

// Calls `take` with each point of "path" below the request's row count;
// the path ends at its last element or at one that is no object. The
// number of points taken.
template <typename Take> int for_each_point(json_object *request, int rows, Take take)
{
    json_object *path = json_value_array(json_get_member(request, "path"));
    int taken = 0;
    for (; taken < rows; ++taken) {
        json_object *item = json_array_item(path, static_cast<size_t>(taken));
        if (item == nullptr || !json_object_is_type(item, json_type_object))
            break;
        take(taken, ptz_tour_point{json_member_int(item, "preset"), json_member_int(item, "time"),
                                   json_member_int(item, "speed")});
    }
    return taken;
}

int read_tours(int channel, ptz_tour_table *table)
{
    return confdb_read_record(ZQDB_PATH, kRecPtzTour, channel, table, sizeof *table) < 0 ? -1 : 0;
}

int write_tours(int channel, const ptz_tour_table &table)
{
    return confdb_write_record(ZQDB_PATH, kRecPtzTour, channel, &table, sizeof table);
}

// A tour without a preset from `from` on ends there: times and speeds stay.
void clear_presets(ptz_tour_point *points, int from)
{
    for (int point = from; point < kPtzTourPoints; ++point)
        points[point].preset = 0;
}

ptz_tour_table g_tours;

} // namespace

// A tour shorter than the stored one leaves none of the old points behind.
int on_set_ptz_tour_set(char *text)
{
    const JsonPtr request = ptz_parse(text);
    TourRequest tour{};
    if (!tour_request(request.get(), true, &tour) || read_tours(tour.channel, &g_tours) != 0)
        return 0;
    ptz_tour_point *stored = g_tours.points[tour.tour_id - 1];
    ptz_tour_set message{};
    message.channel = tour.channel;
    message.tour_id = tour.tour_id;
    message.count = for_each_point(request.get(), tour.rows, [&](int point, const ptz_tour_point &value) {
        message.points[point] = value;
        stored[point] = value;
    });
    clear_presets(stored, message.count);
    if (write_tours(tour.channel, g_tours) != 0)
        return cgi_error_to_webserver(kRespText);
    ptz_notify(kMsgPtzTourSet, &message, sizeof message);
    ptz_answer_ok();
    ptz_log(kPtzLogSetting, tour.channel);
    return 0;
}

int on_set_fish_ptz_tour_set(char *text)
{
    const JsonPtr request = ptz_parse(text);
    TourRequest tour{};
    if (!tour_request(request.get(), true, &tour))
        return 0;
    static fish_ptz_tour_set message;
    memset(&message, 0, sizeof message);
    message.channel = tour.channel;
    message.stream_id = json_member_int(request.get(), "streamId");
    message.tour_index = tour.tour_id - 1;
    fish_ptz_tour &filled = message.tours[message.tour_index];
    for_each_point(request.get(), tour.rows, [&](int point, const ptz_tour_point &value) {
        filled.preset[point] = value.preset;
        filled.time[point] = value.time;
        filled.speed[point] = value.speed;
    });
    ptz_notify(kMsgFishPtzTourSet, &message, sizeof message);
    ptz_answer_ok();
    ptz_log(kPtzLogSetting, tour.channel);
    return 0;
}

int on_set_ptz_tour_clear(char *text)
{
    const JsonPtr request = ptz_parse(text);
    TourRequest tour{};
    if (!tour_request(request.get(), false, &tour) || read_tours(tour.channel, &g_tours) != 0)
        return 0;
    clear_presets(g_tours.points[tour.tour_id - 1], 0);
    if (write_tours(tour.channel, g_tours) != 0)
        return cgi_error_to_webserver(kRespText);
    ptz_tour_cmd message{};
    message.channel = tour.channel;
    message.tour_id = tour.tour_id;
    message.fisheye_type = json_member_int(request.get(), "fisheyeType");
    message.stream_id = json_member_int(request.get(), "streamId");
    ptz_notify(kMsgPtzTourClear, &message, sizeof message);
    ptz_answer_ok();
    ptz_log(kPtzLogSetting, tour.channel);
    return 0;
}
