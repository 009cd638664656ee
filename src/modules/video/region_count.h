// Regional people counting of a camera: the counting settings kept on the
// camera, read and set through the core daemon, and the recorder-side
// actions of each of the four regions.
#pragma once

#include <json-c/json.h>

#include <cstddef>
#include <cstdint>

#include "codecs/schedule.h"
#include "core/reply_reader.h"
#include "modules/video/vca_records.h"

constexpr int kMsgGetRegionalPcnt = 1220;
constexpr int kReplyGetRegionalPcnt = 6220;
constexpr int kMsgSetRegionalPcnt = 1221;
constexpr int kReplySetRegionalPcnt = 6221;

constexpr int kRegionalRegions = 4;
constexpr int kPtzTypeRegionalFirst = 22;
constexpr size_t kRegionalPolygonSize = 64;
constexpr size_t kRegionalCopySize = 65;

#pragma pack(push, 1)

struct regional_pcnt_region {
    int32_t enable;
    char polygon_x[kRegionalPolygonSize];
    char polygon_y[kRegionalPolygonSize];
    int32_t max_stay_enable;
    int32_t max_stay_value;
    int32_t min_stay_enable;
    int32_t min_stay_value;
    int32_t max_stay_time_enable;
    int32_t max_stay_time_value;
};

// Payload of reply 6220 and of request 1221 (result 0, copy text empty in
// the reply).
struct regional_pcnt_settings {
    int32_t result;
    int32_t chnid;
    int32_t sensitivity;
    int32_t min_obj_x;
    int32_t min_obj_y;
    int32_t min_obj_width;
    int32_t min_obj_height;
    int32_t max_obj_x;
    int32_t max_obj_y;
    int32_t max_obj_width;
    int32_t max_obj_height;
    regional_pcnt_region regions[kRegionalRegions];
    char copy_channels[kRegionalCopySize];
    char padding[3];
    schedule_record effective; // camera variant
};

#pragma pack(pop)

static_assert(sizeof(regional_pcnt_region) == 156);
static_assert(offsetof(regional_pcnt_settings, regions) == 44);
static_assert(offsetof(regional_pcnt_settings, copy_channels) == 668);
static_assert(offsetof(regional_pcnt_settings, effective) == 736);
static_assert(sizeof(regional_pcnt_settings) == 26912);

// The regional people counting event of (chnid 0..63, region 0..3), in the
// smart event record layout: kRecFound, kRecAbsent (record zeroed) or -1.
int read_regional_pcnt_event(const char *db, smart_event_record *record, int chnid, int region);
int write_regional_pcnt_event(const char *db, const smart_event_record *record, int region);
// The audible, e-mail and PTZ schedules of a region's event by kind (a
// kRecRegionalPcnt...Schedule value).
int read_regional_pcnt_schedule(const char *db, int kind, schedule_record *schedule, int chnid, int region);
int write_regional_pcnt_schedule(const char *db, int kind, const schedule_record *schedule, int chnid,
                                 int region);

// The action object of one region, as the page shows it.
json_object *regional_action_json(int chnid, int region);
// Stores the action keys of `dialog` for (chnid, region): number of
// changes (0 for a dialog that is not an object), or -1 when a database
// write failed.
int save_regional_action(json_object *dialog, int chnid, int region);

int on_cgi_get_ipc_regional_info(char *text);
int on_cgi_set_ipc_regional_info(char *text);
// Decoders of 6220 and 6221; 1 when `code` is one of them.
int region_count_decode_reply(int code, const ReplyReader &reply);
