// Wire records of the smart analytics pages: the rules the cameras run
// (regions, lines, people counting, objects left or removed), the analytics
// settings, and the smart event record of the configuration database.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/schedule.h"

constexpr int kMsgSmartEventChanged = 1412;
constexpr int kMsgGetVcaLine2 = 1209;
constexpr int kMsgSetVcaLine2 = 1210;
constexpr int kMsgGetVcaSettings2 = 1211;
constexpr int kMsgSetVcaSettings2 = 1212;
constexpr int kMsgGetVcaRegionEntrance = 3237;
constexpr int kMsgGetVcaRegionExit = 3238;
constexpr int kMsgGetVcaMotion = 3239;
constexpr int kMsgGetVcaTamper = 3240;
constexpr int kMsgGetVcaLine = 3241;
constexpr int kMsgGetVcaLoitering = 3242;
constexpr int kMsgGetVcaHuman = 3243;
constexpr int kMsgSetVcaRegionEntrance = 3244;
constexpr int kMsgSetVcaRegionExit = 3245;
constexpr int kMsgSetVcaMotion = 3246;
constexpr int kMsgSetVcaTamper = 3247;
constexpr int kMsgSetVcaLine = 3248;
constexpr int kMsgSetVcaLoitering = 3249;
constexpr int kMsgSetVcaHuman = 3250;
constexpr int kMsgGetVcaPeople = 3253;
constexpr int kMsgSetVcaPeople = 3254;
constexpr int kMsgGetVcaSupport = 3257;
constexpr int kMsgGetVcaSettings = 3259;
constexpr int kMsgSetVcaSettings = 3260;
constexpr int kMsgClearPeopleCount = 3261;
constexpr int kMsgGetVcaLeftRemove = 3268;
constexpr int kMsgSetVcaLeftRemove = 3269;
// Every reply carries its request's code plus this (3237 -> 8237, 1209 -> 6209).
constexpr int kVcaReplyOffset = 5000;

constexpr int kSmartEventLineCrossing = 4;
constexpr int kSmartEventPeopleCount = 7;
constexpr int kSmartEventLeftRemove = 8;

constexpr int kVcaRegions = 4;
constexpr int kVcaPolygons = 5;
constexpr int kVcaLines = 4;
constexpr int kVcaSubLines = 5;
constexpr int kVcaPositionSets = 8;
constexpr size_t kVcaRegionTextSize = 300;
constexpr size_t kVcaPolygonTextSize = 64;
constexpr size_t kVcaCopyTextSize = 65;
constexpr size_t kVcaRegionSize = 976;
constexpr size_t kVcaPolygonStride = 192;
constexpr size_t kVcaRegionPolygons = 80; // polygons of a region start here

#pragma pack(push, 1)

// One region's bytes: the header words, then five polygons 192 bytes apart
// (each X text, Y text and 64 zero bytes; the last without its zero tail).
struct vca_region {
    unsigned char bytes[kVcaRegionSize];
};

// Region entrance and exit, advanced motion, tamper, loitering and human
// detection (requests 3244 to 3247, 3249, 3250 and the replies of 3237 to
// 3240, 3242, 3243).
struct vca_rule {
    int32_t chnid;
    int32_t enable;
    int32_t zero0[4];
    int32_t sensitivity;
    int32_t time;
    int32_t size;
    int32_t tracks;
    char region[kVcaRegionTextSize];
    int32_t ignore_time;
    int32_t objtype;
    char polygon_x[kVcaPolygonTextSize];
    char polygon_y[kVcaPolygonTextSize];
    char copy_channels[kVcaCopyTextSize];
    char padding0[23];
    int32_t region_type;
    int32_t region_scene;
    vca_region regions[kVcaRegions];
    int32_t zero1;
};

// Object left or removed (request 3269, reply of 3268).
struct vca_left_remove {
    int32_t chnid;
    int32_t sensitivity;
    int32_t left_enable;
    int32_t remove_enable;
    int32_t min_time;
    int32_t zero0[4];
    char region[kVcaRegionTextSize];
    char polygon_x[kVcaPolygonTextSize];
    char polygon_y[kVcaPolygonTextSize];
    char copy_channels[kVcaCopyTextSize];
    char padding0[23];
    int32_t region_type;
    int32_t region_scene;
    vca_region regions[kVcaRegions];
    int32_t zero1;
};

struct vca_line {
    int32_t start_x;
    int32_t start_y;
    int32_t stop_x;
    int32_t stop_y;
    int32_t direction;
    int32_t zero[26];
};

// Line crossing (request 3248, reply of 3241).
struct vca_line_rule {
    int32_t chnid;
    int32_t enable;
    int32_t width;
    int32_t height;
    vca_line lines[kVcaLines];
    int32_t objtype;
    char copy_channels[kVcaCopyTextSize];
    char padding0[31];
};

struct vca_point_line {
    int32_t start_x;
    int32_t start_y;
    int32_t stop_x;
    int32_t stop_y;
};

// A line of the second camera generation: the line, its direction and
// switch, and the five sub-lines of a multi-segment line.
struct vca_line2 {
    int32_t start_x;
    int32_t start_y;
    int32_t stop_x;
    int32_t stop_y;
    int32_t direction;
    int32_t enable;
    vca_point_line sub_lines[kVcaSubLines];
    int32_t zero[5];
};

// Line rule of the second camera generation (request 1210, reply of 1209).
struct vca_line_rule2 {
    int32_t chnid;
    int32_t enable;
    int32_t width;
    int32_t height;
    vca_line2 lines[kVcaLines];
    int32_t objtype;
    char copy_channels[kVcaCopyTextSize];
    char padding0[3];
    int32_t sensitivity;
    int32_t line_type;
    int32_t line_scene;
    int32_t zero[8];
};

struct vca_people_line {
    int8_t line_enable;
    int8_t auto_reset_enable;
    int8_t direction;
    int8_t show_cnt_enable;
    int32_t start_x;
    int32_t start_y;
    int32_t stop_x;
    int32_t stop_y;
    int32_t auto_reset_weekday;
    int32_t auto_reset_hour;
    int32_t auto_reset_min;
    int32_t auto_reset_sec;
    int32_t alarm_enable;
    int32_t alarm_threshold[4];
};

// People counting (request 3254, reply of 3253).
struct vca_people_rule {
    int32_t chnid;
    int32_t width;
    int32_t height;
    int32_t osd_enable;
    int32_t osd_font_size;
    int32_t osd_text_pos;
    int32_t sensitivity;
    int32_t osd_type;
    int32_t line_num;
    int32_t trigger_type;
    int32_t trigger_enable;
    int32_t total_alarm_enable;
    int32_t total_alarm_threshold[4];
    vca_people_line lines[kVcaLines];
    char copy_channels[kVcaCopyTextSize];
    char padding0[3];
    schedule_record effective;
    int32_t zero0;
};

struct vca_box {
    int32_t min_start_x;
    int32_t min_start_y;
    int32_t min_width;
    int32_t min_height;
    int32_t max_start_x;
    int32_t max_start_y;
    int32_t max_width;
    int32_t max_height;
};

// The first eight words of the analytics settings of both camera
// generations.
struct vca_settings_head {
    int32_t chnid;
    int32_t vca_type;
    int32_t fps;
    int32_t mode;
    int32_t installation;
    int32_t analysis;
    int32_t width;
    int32_t height;
};

// Analytics settings (request 3260, reply of 3259).
struct vca_settings {
    vca_settings_head head;
    vca_box box;
};

// Analytics settings of the second camera generation (request 1212, reply
// of 1211): eight boxes stored column by column (eight minStartX, then
// eight minStartY ...), and the channels to copy to.
struct vca_settings2 {
    vca_settings_head head;
    int32_t columns[8][kVcaPositionSets];
    char copy_channels[kVcaCopyTextSize];
    char padding0[3];
};

// Reply of the support query 3257.
struct vca_support {
    int32_t chnid;
    int32_t support;
    int32_t type;
};

// Payload of the people counter reset 3261.
struct vca_people_reset {
    int32_t chnid;
    int32_t zero[2];
    int32_t line;
    int32_t resetdb;
};

// One smart event of one channel (record kRecSmartEvent, id = index << 8 |
// chnid).
struct smart_event_record {
    int32_t chnid;
    int32_t enable;
    int32_t tri_channel_mask;
    char tri_channels[65];
    char padding0[3];
    int32_t tri_alarms;
    int32_t interval;
    int32_t email_interval;
    char chn_alarmout0[65];
    char chn_alarmout1[65];
    char padding1[2];
    int32_t ptz_interval;
    int32_t alarmout_interval;
    int32_t white_interval;
    int32_t email_pic_enable;
    char tri_channels_pic[65];
    char padding2[3];
    int32_t audio_id;
    int32_t http_notification_interval;
    int32_t reserved[3];
};

#pragma pack(pop)

static_assert(sizeof(vca_rule) == 4480);
static_assert(offsetof(vca_rule, sensitivity) == 24);
static_assert(offsetof(vca_rule, tracks) == 36);
static_assert(offsetof(vca_rule, region) == 40);
static_assert(offsetof(vca_rule, ignore_time) == 340);
static_assert(offsetof(vca_rule, polygon_x) == 348);
static_assert(offsetof(vca_rule, polygon_y) == 412);
static_assert(offsetof(vca_rule, copy_channels) == 476);
static_assert(offsetof(vca_rule, region_type) == 564);
static_assert(offsetof(vca_rule, regions) == 572);
static_assert(kVcaRegionPolygons + (kVcaPolygons - 1) * kVcaPolygonStride + 2 * kVcaPolygonTextSize ==
              kVcaRegionSize);
static_assert(sizeof(vca_left_remove) == 4468);
static_assert(offsetof(vca_left_remove, region) == 36);
static_assert(offsetof(vca_left_remove, polygon_x) == 336);
static_assert(offsetof(vca_left_remove, polygon_y) == 400);
static_assert(offsetof(vca_left_remove, copy_channels) == 464);
static_assert(offsetof(vca_left_remove, region_type) == 552);
static_assert(offsetof(vca_left_remove, regions) == 560);
static_assert(sizeof(vca_line) == 124);
static_assert(sizeof(vca_line_rule) == 612);
static_assert(offsetof(vca_line_rule, objtype) == 512);
static_assert(offsetof(vca_line_rule, copy_channels) == 516);
static_assert(sizeof(vca_line2) == 124);
static_assert(sizeof(vca_line_rule2) == 628);
static_assert(sizeof(vca_people_line) == 56);
static_assert(sizeof(vca_people_rule) == 26536);
static_assert(offsetof(vca_people_rule, lines) == 64);
static_assert(offsetof(vca_people_rule, copy_channels) == 288);
static_assert(offsetof(vca_people_rule, effective) == 356);
static_assert(sizeof(vca_settings_head) == 32);
static_assert(sizeof(vca_settings) == 64);
static_assert(sizeof(vca_settings2) == 356);
static_assert(sizeof(vca_support) == 12);
static_assert(sizeof(vca_people_reset) == 20);
static_assert(sizeof(smart_event_record) == 328);
static_assert(offsetof(smart_event_record, tri_alarms) == 80);
static_assert(offsetof(smart_event_record, chn_alarmout0) == 92);
static_assert(offsetof(smart_event_record, ptz_interval) == 224);
static_assert(offsetof(smart_event_record, tri_channels_pic) == 240);
static_assert(offsetof(smart_event_record, audio_id) == 308);
