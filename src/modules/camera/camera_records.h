// Wire records of the camera module: core message payloads and reply
// records, and the camera protocol and model records of the database.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/channel_db.h"
#include "codecs/schedule.h"

// Notifications.
constexpr int kMsgCameraAdded = 1201;
constexpr int kMsgCameraDeleted = 1202;
constexpr int kMsgCameraChanged = 1203;
constexpr int kMsgCameraPoe = 1206;
// Requests; each reply code is the request code + 5000.
constexpr int kReplyOffset = 5000;
constexpr int kMsgSearchCameras = 3200;
constexpr int kMsgListCameras = 3201;
constexpr int kMsgTestConnect = 3202;
constexpr int kMsgSetStream = 3203;
constexpr int kMsgGetStreamInfo = 3204;
constexpr int kMsgSetNetwork = 3205;
constexpr int kMsgTestConnectEx = 3227;
constexpr int kMsgSetNetworkBatch = 3229;
constexpr int kMsgGetModifyResult = 3230;
constexpr int kMsgMonthRecordDays = 3493;
// Image settings, schedules and regions.
constexpr int kMsgGetImageEnhancement = 3221;
constexpr int kMsgGetImageDisplay = 3223;
constexpr int kMsgSetImageDisplay = 3224;
constexpr int kMsgGetAreaParam = 3271;
constexpr int kMsgGetSche10 = 3273;
constexpr int kMsgGetExposureSche = 3275;
constexpr int kMsgGetSche12 = 3277;
constexpr int kMsgGetImageSchedule = 3278;
constexpr int kMsgSetImageSchedule = 3279;
constexpr int kMsgSetImageEnhancement = 3280;
constexpr int kMsgSetSche10 = 3281;
constexpr int kMsgSetExposureSche = 3282;
constexpr int kMsgSetSche12 = 3283;
constexpr int kMsgSetAreaId = 3284;
constexpr int kMsgSetAreaParam = 3288;
constexpr int kMsgGetIpcMotion = 3358;
constexpr int kMsgGetEventText = 3360;
constexpr int kMsgSetIpcMotion = 3366;

constexpr int kCameraProtocolMax = 7;
constexpr int kMaxResolutions = 24;
constexpr int kModifyResultMax = 64;

#pragma pack(push, 1)

// Reply 8200: one per camera found.
struct ipc_search_record {
    char ipAddr[32];
    char macAddr[32];
    int32_t managePort;
    int32_t protocol;
    char vendor[192];
    char sn[128];
    char fwVersion[64];
    char model[64];
    int32_t modelId;
    char netmask[32];
    char dns[32];
    char gateway[32];
    char netif[8];
    int32_t active_status;
    char name[64];
    char snReal[64];
};
static_assert(sizeof(ipc_search_record) == 760);
static_assert(offsetof(ipc_search_record, vendor) == 72);
static_assert(offsetof(ipc_search_record, modelId) == 520);
static_assert(offsetof(ipc_search_record, netif) == 620);
static_assert(offsetof(ipc_search_record, name) == 632);
static_assert(offsetof(ipc_search_record, snReal) == 696);

// Reply 8201: one per channel.
struct ipc_list_record {
    int32_t id;
    int32_t managePort;
    int32_t camProtocol;
    int32_t state;
    int32_t mainRtspPort;
    char ipAddr[32];
    char vendor[192];
    char sn[128];
    char fwVersion[64];
    char mac[48];
    char model[64];
    char reserved[260];
    int32_t poechannel;
    int32_t physicalport;
    int32_t alarmin;
    int32_t alarmout;
    int32_t whiteLed;
    int32_t ledAlarm;
    int32_t ledManual;
    int32_t minorid;
    int32_t subState;
    int32_t connectState;
    char snReal[64];
    char ddns[64];
    char chipinfo[64];
};
static_assert(sizeof(ipc_list_record) == 1040);
static_assert(offsetof(ipc_list_record, ipAddr) == 20);
static_assert(offsetof(ipc_list_record, mac) == 436);
static_assert(offsetof(ipc_list_record, model) == 484);
static_assert(offsetof(ipc_list_record, poechannel) == 808);
static_assert(offsetof(ipc_list_record, minorid) == 836);
static_assert(offsetof(ipc_list_record, snReal) == 848);
static_assert(offsetof(ipc_list_record, chipinfo) == 976);

// Request 3203: int32 slots by index; the first 65 bytes (slots 0 to 16)
// hold the channels in text form.
constexpr int kStreamSlots = 51;
constexpr int kStreamFirstSlot = 17;
struct ipc_stream_setting {
    int32_t slot[kStreamSlots];
};
static_assert(sizeof(ipc_stream_setting) == 204);

// Reply 8204, by int32 index.
constexpr int kStreamInfoWords = 139;
struct ipc_stream_info {
    int32_t word[kStreamInfoWords];
};
static_assert(sizeof(ipc_stream_info) == 556);

// The camera a connection test logs in to.
struct ipc_connect_target {
    char ipAddr[32];
    int32_t managePort;
    char userName[64];
    char password[33];
    char padding[3];
    int32_t camProtocol;
};
static_assert(sizeof(ipc_connect_target) == 140);
static_assert(offsetof(ipc_connect_target, userName) == 36);
static_assert(offsetof(ipc_connect_target, password) == 100);
static_assert(offsetof(ipc_connect_target, camProtocol) == 136);

// Request 3202.
struct ipc_connect_param {
    ipc_connect_target target;
    char reserved[72];
};
static_assert(sizeof(ipc_connect_param) == 212);

// Request 3227: the same one int32 later.
struct ipc_connect_param_ex {
    int32_t zero;
    ipc_connect_target target;
    char reserved[4];
};
static_assert(sizeof(ipc_connect_param_ex) == 148);
static_assert(offsetof(ipc_connect_param_ex, target) == 4);

// Requests 3205 (388 bytes) and 3229 (all 396).
struct ipc_net_change {
    char macAddr[48];
    char oldIpcAddr[32];
    char newIpcAddr[32];
    char netmask[32];
    char gateway[32];
    char primaryDNS[32];
    int32_t port;
    char username[64];
    char password[33];
    char padding0[3];
    int32_t protocol;
    char reserved[64];
    char netif[6];
    char padding1[2];
    int32_t channelId;
    int32_t modifynum;
};
constexpr size_t kNetChangeSize = 388;
static_assert(sizeof(ipc_net_change) == 396);
static_assert(offsetof(ipc_net_change, port) == 208);
static_assert(offsetof(ipc_net_change, username) == 212);
static_assert(offsetof(ipc_net_change, password) == 276);
static_assert(offsetof(ipc_net_change, protocol) == 312);
static_assert(offsetof(ipc_net_change, netif) == 380);
static_assert(offsetof(ipc_net_change, channelId) == kNetChangeSize);

// Reply 8230.
struct ipc_modify_entry {
    char mac[48];
    int32_t result;
};
struct ipc_modify_result {
    int32_t reserved0;
    int32_t count;
    int32_t reserved1[2];
    ipc_modify_entry entries[kModifyResultMax];
};
static_assert(sizeof(ipc_modify_entry) == 52);
static_assert(sizeof(ipc_modify_result) == 3344);

// Request 3493.
struct month_record_days_query {
    int32_t main_stream; // 1 when "streamType" is 1
    int32_t year;
    int32_t month;
    char channels[68];
};
static_assert(sizeof(month_record_days_query) == 80);

// Database: a camera protocol and a camera model.
struct ipc_protocol_record {
    int32_t id;
    char name[24];
    int32_t protocolFunction;
    int32_t enable;
    int32_t display_model;
};
static_assert(sizeof(ipc_protocol_record) == 40);

struct ipc_model_record {
    int32_t id;
    int32_t protocol;
    char name[32];
    int32_t alarm_type;
    int32_t default_model;
};
static_assert(sizeof(ipc_model_record) == 48);

// Operation log detail of a camera change (detail kind 111).
struct camera_log_detail {
    int32_t param_code;
    char ipAddr[64];
    int32_t managePort;
    int32_t camera;
    char reserved[64];
    char protocol[16];
    char transport[16];
    uint8_t syncTime;
    char padding[3];
};
static_assert(sizeof(camera_log_detail) == 176);
static_assert(offsetof(camera_log_detail, protocol) == 140);
static_assert(offsetof(camera_log_detail, transport) == 156);
static_assert(offsetof(camera_log_detail, syncTime) == 172);

// ---- Image settings -------------------------------------------------------

// The enhancement block of reply 8221 and request 3280.
struct ipc_image_enhancement {
    int32_t smartir;
    int32_t whiteblance;
    int32_t focusmode;
    int32_t antiblurry;
    int32_t wdrenable;
    int32_t wdrlevel;
    int32_t wdrstarthour;
    int32_t wdrstartminute;
    int32_t wdrstophour;
    int32_t wdrstopminute;
    int32_t regiontype;
    int32_t hlcmode;
    int32_t exclude;
    int32_t exposemode;
    char exposeregion[64];
    int32_t modelType;
    int32_t imageschemode;
    int32_t hlcday;
    int32_t hlcnight;
    int32_t redgain;
    int32_t bluegain;
    int32_t defogmode;
    int32_t defoglevel;
    int32_t dismode;
    int32_t exposetime;
    int32_t exposegain;
    int32_t aflevel;
    int32_t hlclevel;
    int32_t exposurectrl;
    int32_t enblur;
    int32_t deblur;
    char sdkversion[32];
    int32_t lensType;
    int32_t reduceVideoStuttering;
    int32_t reserved;
};
static_assert(sizeof(ipc_image_enhancement) == 228);
static_assert(offsetof(ipc_image_enhancement, exposeregion) == 56);
static_assert(offsetof(ipc_image_enhancement, modelType) == 120);
static_assert(offsetof(ipc_image_enhancement, aflevel) == 164);
static_assert(offsetof(ipc_image_enhancement, sdkversion) == 184);
static_assert(offsetof(ipc_image_enhancement, lensType) == 216);
static_assert(offsetof(ipc_image_enhancement, reduceVideoStuttering) == 220);

struct ipc_image_enhancement_info {
    int32_t id;
    ipc_image_enhancement block;
};
static_assert(sizeof(ipc_image_enhancement_info) == 232);

struct ipc_image_enhancement_setting {
    int32_t channels[kCameraChannels]; // -1 for an empty slot
    ipc_image_enhancement block;
};
static_assert(sizeof(ipc_image_enhancement_setting) == 484);

// Reply 8223 and request 3224, by int32 index.
constexpr int kImageDisplayWords = 90;
struct ipc_image_display {
    int32_t word[kImageDisplayWords];
};
static_assert(sizeof(ipc_image_display) == 360);

// ---- Image schedule (reply 8278, request 3279) -----------------------------

constexpr int kImageScheEntries = 7;
constexpr int kImageScheEffective = 10;

struct ipc_image_sche_entry {
    int32_t valid;
    int32_t enable;
    int32_t startHour;
    int32_t startMinute;
    int32_t endHour;
    int32_t endMinute;
    int32_t exposureLevel;
    int32_t minShutter;
    int32_t maxShutter;
    int32_t gainLevel;
    int32_t irCutLatency;
    int32_t irCutState;
    int32_t irLedState;
    int32_t colorMode;
};
static_assert(sizeof(ipc_image_sche_entry) == 56);

struct ipc_image_sche_effective {
    char startTime[32];
    char endTime[32];
    int32_t templateId;
};
static_assert(sizeof(ipc_image_sche_effective) == 68);

struct ipc_image_schedule {
    int32_t channel;
    ipc_image_sche_entry entries[kImageScheEntries];
    int32_t hasSche;
    ipc_image_sche_effective effective[kImageScheEffective];
    int32_t reserved;
};
static_assert(sizeof(ipc_image_schedule) == 1084);
static_assert(offsetof(ipc_image_schedule, hasSche) == 396);
static_assert(offsetof(ipc_image_schedule, effective) == 400);

// ---- Regions (reply 8271, requests 3288 and 3284) --------------------------

constexpr int kIpcAreas = 16;

struct ipc_area {
    int32_t enable;
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};
static_assert(sizeof(ipc_area) == 20);

struct ipc_area_info {
    int32_t channel;
    int32_t enable;
    int32_t reserved;
    char sdkversion[32];
    ipc_area areas[kIpcAreas];
};
static_assert(sizeof(ipc_area_info) == 364);
static_assert(offsetof(ipc_area_info, sdkversion) == 12);
static_assert(offsetof(ipc_area_info, areas) == 44);

struct ipc_area_setting {
    int32_t channels[kCameraChannels];
    int32_t enable;
    int32_t channel_count;
    ipc_area areas[kIpcAreas];
};
static_assert(sizeof(ipc_area_setting) == 584);
static_assert(offsetof(ipc_area_setting, areas) == 264);

struct ipc_area_id {
    int32_t chan_id;
    int32_t area_id;
};
static_assert(sizeof(ipc_area_id) == 8);

// ---- Camera schedules (replies 8273, 8275, 8277; requests 3281 to 3283) -----

// A day of the exposure schedule: 48 entries of 76 bytes.
struct ipc_exposure_section {
    char start_time[32];
    char end_time[32];
    int32_t action_type;
    int32_t exposureTime;
    int32_t gainLevel;
};
static_assert(sizeof(ipc_exposure_section) == 76);
struct ipc_exposure_day {
    ipc_exposure_section sections[kScheduleSections];
};
static_assert(sizeof(ipc_exposure_day) == 3648);

// The setters send the channels and 7 days from a buffer of the size the
// cameras have always received; the rest of it is zero.
constexpr size_t kIpcScheRequestSize = 26180;
constexpr size_t kIpcExposureScheRequestSize = 29188;
struct ipc_sche_setting {
    int32_t channels[kCameraChannels];
    schedule_day days[kScheduleIpcDays];
    char tail[kIpcScheRequestSize - 256 - kScheduleIpcDays * sizeof(schedule_day)];
};
static_assert(sizeof(ipc_sche_setting) == kIpcScheRequestSize);
struct ipc_exposure_sche_setting {
    int32_t channels[kCameraChannels];
    ipc_exposure_day days[kScheduleIpcDays];
    char tail[kIpcExposureScheRequestSize - 256 - kScheduleIpcDays * sizeof(ipc_exposure_day)];
};
static_assert(sizeof(ipc_exposure_sche_setting) == kIpcExposureScheRequestSize);

// ---- Camera motion detection (reply 8358, request 3366) --------------------

constexpr size_t kIpcMotionMapSize = 300;

// The settings that reply 8358 and request 3366 both carry.
struct ipc_motion_params {
    int32_t chnid;
    int32_t enable;
    int32_t sensitivity;
    int32_t minsize;
    int32_t mintime;
    int32_t adaptability;
    char map_mask[kIpcMotionMapSize];
    schedule_record schedule;
};
static_assert(offsetof(ipc_motion_params, map_mask) == 24);
static_assert(offsetof(ipc_motion_params, schedule) == 324);

struct ipc_motion_info {
    ipc_motion_params params;
    int32_t isNtPlatform;
};
static_assert(sizeof(ipc_motion_info) == 26504);
static_assert(offsetof(ipc_motion_info, isNtPlatform) == 26500);

struct ipc_motion_setting {
    uint32_t copy_mask[2]; // low word first; the channel's own bit included
    ipc_motion_params params;
    int32_t reserved;
};
static_assert(sizeof(ipc_motion_setting) == 26512);
static_assert(offsetof(ipc_motion_setting, params) + offsetof(ipc_motion_params, map_mask) == 32);
static_assert(offsetof(ipc_motion_setting, params) + offsetof(ipc_motion_params, schedule) == 332);

// Request 3360.
struct ipc_event_text_query {
    int32_t chnid;
    int32_t mainType;
    int32_t subType;
    char time[64];
};
static_assert(sizeof(ipc_event_text_query) == 76);

// Database: a camera's exposure list (one record per channel).
constexpr int kExposureEntries = 140;
struct ipc_exposure_entry {
    int32_t exposureTime;
    int32_t gainLevel;
};
struct ipc_exposure_list {
    int32_t chnid;
    int32_t count;
    ipc_exposure_entry entries[kExposureEntries];
};
static_assert(sizeof(ipc_exposure_list) == 1128);

#pragma pack(pop)
