// Wire records of the licence plate pages: the camera's recognition
// settings and plate wildcards, its recognition state and support, and the
// plate mode events of the configuration database.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kMsgAnprModeChanged = 1416;
constexpr int kMsgGetAnprWildcards = 1207;
constexpr int kMsgSetAnprWildcards = 1208;
constexpr int kMsgGetAnprState = 1215;
constexpr int kMsgGetAnprSettings = 3289;
constexpr int kMsgSetAnprSettings = 3290;
constexpr int kMsgGetAnprSupport = 3293;
constexpr int kAnprReplyOffset = 5000;

// Plate modes: -1 general (its effective schedule only), then the black
// list, the white list and visitors.
constexpr int kAnprModeGeneral = -1;
constexpr int kAnprModeFirst = 0;
constexpr int kAnprModeCount = 3;
// PTZ action type of plate mode 0; the other modes follow.
constexpr int kPtzTypeAnprFirst = 15;

constexpr int kAnprWildcards = 9;
constexpr int kAnprRegions = 32;
constexpr int kAnprRois = 4;
constexpr int kAnprPresets = 4;
constexpr int kAnprPolygons = 4;

#pragma pack(push, 1)
struct anpr_mode_changed {
    int32_t chnid;
    int32_t mode;
};

struct anpr_wildcards {
    int32_t chnid;
    int32_t filter;
    int32_t enable[kAnprWildcards];
    int32_t cr_count[kAnprWildcards];
    char format[kAnprWildcards][16];
    int32_t max_plate_char_num;
};

struct anpr_state {
    int32_t chnid;
    int32_t state;
    int32_t zoom_number;
};

struct anpr_support {
    int32_t vca_support;
    int32_t vca_version;
};

struct anpr_roi {
    char name[64];
    int32_t start_x;
    int32_t start_y;
    int32_t end_x;
    int32_t end_y;
};

struct anpr_polygon {
    char name[64];
    char polygon_x[64];
    char polygon_y[64];
};

struct anpr_settings {
    int32_t chnid;
    int32_t enable;
    int32_t resolution_width;
    int32_t resolution_height;
    int32_t area_x;
    int32_t area_y;
    int32_t area_width;
    int32_t area_height;
    int32_t day_night_mode_enable;
    int32_t scene;
    int32_t direction_enable;
    int32_t region_enable;
    int32_t roiid_enable;
    int32_t process_mode;
    int32_t repeat_check_time_value;
    int32_t repeat_check_time_unit;
    int32_t post_enable;
    int32_t post_type;
    int32_t post_tcp_port;
    char post_http_user[64];
    char post_http_password[64];
    char post_http_url[512];
    int32_t confidence;
    char region[kAnprRegions][32];
    char cur_area[32];
    int32_t in_night_mode;
    int32_t platecolor_enable;
    int32_t vehicletype_enable;
    int32_t vehiclecolor_enable;
    anpr_roi roi[kAnprRois];
    anpr_roi preset[kAnprPresets][kAnprRois];
    unsigned char reserved[264];
    int32_t night_mode_enable;
    int32_t night_mode_level;
    int32_t night_mode_starthour;
    int32_t night_mode_startminute;
    int32_t night_mode_stophour;
    int32_t night_mode_stopminute;
    int32_t night_mode_effective_mode;
    int32_t json_support;
    int32_t ir_led_external_support;
    int32_t vehicle_enhancement;
    int32_t vehicle_brand_enable;
    anpr_polygon normal_polygons[kAnprPolygons];
    int32_t aitype;
};
#pragma pack(pop)

static_assert(sizeof(anpr_mode_changed) == 8);
static_assert(sizeof(anpr_wildcards) == 228);
static_assert(offsetof(anpr_wildcards, cr_count) == 44);
static_assert(offsetof(anpr_wildcards, format) == 80);
static_assert(offsetof(anpr_wildcards, max_plate_char_num) == 224);
static_assert(sizeof(anpr_state) == 12);
static_assert(sizeof(anpr_roi) == 80);
static_assert(sizeof(anpr_polygon) == 192);
static_assert(sizeof(anpr_settings) == 4472);
static_assert(offsetof(anpr_settings, post_tcp_port) == 72);
static_assert(offsetof(anpr_settings, post_http_user) == 76);
static_assert(offsetof(anpr_settings, post_http_password) == 140);
static_assert(offsetof(anpr_settings, post_http_url) == 204);
static_assert(offsetof(anpr_settings, confidence) == 716);
static_assert(offsetof(anpr_settings, region) == 720);
static_assert(offsetof(anpr_settings, cur_area) == 1744);
static_assert(offsetof(anpr_settings, in_night_mode) == 1776);
static_assert(offsetof(anpr_settings, vehiclecolor_enable) == 1788);
static_assert(offsetof(anpr_settings, roi) == 1792);
static_assert(offsetof(anpr_settings, preset) == 2112);
static_assert(offsetof(anpr_settings, reserved) == 3392);
static_assert(offsetof(anpr_settings, night_mode_enable) == 3656);
static_assert(offsetof(anpr_settings, night_mode_effective_mode) == 3680);
static_assert(offsetof(anpr_settings, json_support) == 3684);
static_assert(offsetof(anpr_settings, vehicle_brand_enable) == 3696);
static_assert(offsetof(anpr_settings, normal_polygons) == 3700);
static_assert(offsetof(anpr_settings, aitype) == 4468);
