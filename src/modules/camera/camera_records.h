// Wire records of the camera module: core message payloads and reply
// records, and the camera protocol and model records of the database.
#pragma once

#include <cstddef>
#include <cstdint>

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

// Request 3202.
struct ipc_connect_param {
    char ipAddr[32];
    int32_t managePort;
    char userName[64];
    char password[33];
    char padding[3];
    int32_t camProtocol;
    char reserved[72];
};
static_assert(sizeof(ipc_connect_param) == 212);
static_assert(offsetof(ipc_connect_param, userName) == 36);
static_assert(offsetof(ipc_connect_param, password) == 100);
static_assert(offsetof(ipc_connect_param, camProtocol) == 136);

// Request 3227: the same one int32 later.
struct ipc_connect_param_ex {
    int32_t zero;
    char ipAddr[32];
    int32_t managePort;
    char userName[64];
    char password[33];
    char padding[3];
    int32_t camProtocol;
    char reserved[4];
};
static_assert(sizeof(ipc_connect_param_ex) == 148);
static_assert(offsetof(ipc_connect_param_ex, managePort) == 36);
static_assert(offsetof(ipc_connect_param_ex, password) == 104);
static_assert(offsetof(ipc_connect_param_ex, camProtocol) == 140);

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

#pragma pack(pop)
