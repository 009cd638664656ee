// Wire records of the live view and playback module: the core message
// codes, the request payloads and the reply records.
#pragma once

#include <cstddef>
#include <cstdint>

// Channels this module serves; sessions and channel lists hold at most
// kStreamListMax entries.
constexpr int kStreamChannels = 16;
constexpr int kStreamListMax = 64;

// Requests answered by a reply (reply code in the comment).
constexpr int kMsgGetLiveImage = 3002;      // 8002
constexpr int kMsgPlaybackBusy = 4011;      // 9011
constexpr int kMsgPlaybackTime = 1153;      // 6153
constexpr int kMsgSearchRecords = 1159;     // 6159
constexpr int kMsgNextRecordPage = 1161;    // 6161
constexpr int kMsgStartPlayback = 1162;     // 6162
constexpr int kMsgJumpPlayback = 1171;      // 6171
constexpr int kMsgSetTranscode = 1176;      // 6176
constexpr int kMsgTranscodeState = 1177;    // 6177
constexpr int kMsgStartPlaybackMask = 3109; // 8103
constexpr int kMsgStartLive = 3500;         // 8500
constexpr int kMsgPlaybackStream = 3502;    // 8502
constexpr int kMsgRtspAddresses = 3503;     // 8503
constexpr int kMsgExternPorts = 3506;       // 8506
constexpr int kMsgExportRecording = 1173;   // 6173, many
// Instructions, sent without waiting.
constexpr int kMsgFastForward = 1112;
constexpr int kMsgStepPlaybackBatch = 1113;
constexpr int kMsgSlowForward = 1149;
constexpr int kMsgClosePlayback = 1160;
constexpr int kMsgStopPlayback = 1164;
constexpr int kMsgPausePlayback = 1165;
constexpr int kMsgResumePlayback = 1166;
constexpr int kMsgSetPlaybackSpeed = 1167;
constexpr int kMsgStepPlayback = 1170;
constexpr int kMsgSetLiveImage = 1205;
constexpr int kMsgStopLive = 1901;
constexpr int kMsgStopAllLive = 1902;
constexpr int kMsgStopSession = 1903;
constexpr int kMsgStopExport = 1178;

constexpr int kReplyLiveImage = 8002;
constexpr int kReplyPlaybackBusy = 9011;
constexpr int kReplyPlaybackTime = 6153;
constexpr int kReplySearchRecords = 6159;
constexpr int kReplyNextRecordPage = 6161;
constexpr int kReplyStartPlayback = 6162;
constexpr int kReplyJumpPlayback = 6171;
constexpr int kReplySetTranscode = 6176;
constexpr int kReplyTranscodeState = 6177;
constexpr int kReplyStartPlaybackMask = 8103;
constexpr int kReplyStartLive = 8500;
constexpr int kReplyPlaybackStream = 8502;
constexpr int kReplyRtspAddresses = 8503;
constexpr int kReplyExternPorts = 8506;
constexpr int kReplyExportChunk = 6173;

// Operation log entries of the module: parameter code and sub types.
constexpr int kLogParamStream = 900;
constexpr int kLogSubChannelAction = 205;
constexpr int kLogSubLiveView = 208;
constexpr int kLogSubPlayback = 209;
constexpr int kLogSubLiveImage = 217;
constexpr int kLogSubChannelAction2 = 218;
constexpr int kLogDetailLiveImage = 107;

constexpr int kTimeTextSize = 32;

#pragma pack(push, 1)

// Payload of 1205; with a status word, the reply 8002.
struct image_adjust {
    int32_t channel;
    int32_t brightness;
    int32_t contrast;
    int32_t saturation;
    int32_t sharpness;
    int32_t noise_reduction;
    int32_t i2ddnr;
};
static_assert(sizeof(image_adjust) == 28);

struct live_image_reply {
    image_adjust adjust;
    int32_t status; // negative: the core could not read the channel
};
static_assert(sizeof(live_image_reply) == 32);
static_assert(offsetof(live_image_reply, status) == 28);

// The five percentages of an image adjustment's log detail.
struct image_adjust_log {
    int32_t percent[5];
};
static_assert(sizeof(image_adjust_log) == 20);

// Sessions to pause, step, stop, close or fast-forward.
struct playback_session_list {
    int32_t sid[kStreamListMax];
    int32_t reserved0;
    int32_t speed[kStreamListMax]; // fast forward only
    int32_t reserved1[kStreamListMax];
    int32_t count;
};
static_assert(sizeof(playback_session_list) == 776);
static_assert(offsetof(playback_session_list, speed) == 260);
static_assert(offsetof(playback_session_list, count) == 772);

// Sessions (set speed) or channels (slow forward) at one speed.
struct playback_channel_list {
    int32_t speed;
    int32_t single_session;
    int32_t entries[kStreamListMax];
    int32_t count;
};
static_assert(sizeof(playback_channel_list) == 268);
static_assert(offsetof(playback_channel_list, entries) == 8);
static_assert(offsetof(playback_channel_list, count) == 264);

// Payload of 1159.
struct record_search_request {
    char channels[64]; // '1' for the channel searched, '0' for the others
    int32_t reserved0;
    int32_t one;
    int32_t main_stream;
    int32_t minus_one[2];
    char start_time[kTimeTextSize];
    char end_time[kTimeTextSize];
    char reserved1[68];
};
static_assert(sizeof(record_search_request) == 216);
static_assert(offsetof(record_search_request, one) == 68);
static_assert(offsetof(record_search_request, main_stream) == 72);
static_assert(offsetof(record_search_request, start_time) == 84);
static_assert(offsetof(record_search_request, end_time) == 116);

// Payload of 1161.
struct record_page_request {
    int32_t sid;
    int32_t page;
    int32_t reserved[3];
};
static_assert(sizeof(record_page_request) == 20);

// Reply 6159 and 6161: one record per recorded section.
struct record_section {
    int32_t cam_id;
    int32_t sid;
    int32_t reserved0;
    int32_t lock;
    int32_t reserved1;
    int32_t record_type;
    char start_time[20];
    char end_time[20];
    char reserved2[16];
};
static_assert(sizeof(record_section) == 80);
static_assert(offsetof(record_section, lock) == 12);
static_assert(offsetof(record_section, record_type) == 20);
static_assert(offsetof(record_section, start_time) == 24);
static_assert(offsetof(record_section, end_time) == 44);

// Payload of 1162.
struct playback_start_request {
    int32_t channel;
    int32_t sid;
    int32_t reserved[2];
    char start_time[kTimeTextSize];
    char end_time[kTimeTextSize];
    char play_time[kTimeTextSize];
};
static_assert(sizeof(playback_start_request) == 112);
static_assert(offsetof(playback_start_request, start_time) == 16);
static_assert(offsetof(playback_start_request, end_time) == 48);
static_assert(offsetof(playback_start_request, play_time) == 80);

// Payload of 3109: synchronous playback of the channels of the mask words.
constexpr int kPlaybackMaskWords = 8;
struct playback_mask_request {
    int32_t play_seconds; // local time of play_time
    char play_time[kTimeTextSize];
    int32_t mask[kPlaybackMaskWords];
};
static_assert(sizeof(playback_mask_request) == 68);
static_assert(offsetof(playback_mask_request, mask) == 36);

// Reply 8103.
struct playback_mask_reply {
    int32_t sid;
    char play_time[kTimeTextSize];
    int32_t status; // not 0: no session was started
};
static_assert(sizeof(playback_mask_reply) == 40);

// Payload of 1171.
struct playback_jump_request {
    int32_t channel[kStreamListMax];
    int32_t sid[kStreamListMax];
    int32_t count;
    char jump_time[64];
};
static_assert(sizeof(playback_jump_request) == 580);
static_assert(offsetof(playback_jump_request, count) == 512);
static_assert(offsetof(playback_jump_request, jump_time) == 516);

// Payload of 3500 (stream source) and 1901 (0).
struct live_stream_request {
    int32_t id;
    int32_t stream_type;
    int32_t stream_from;
};
static_assert(sizeof(live_stream_request) == 12);

// The address block of one stream, as the live start reply and each half of
// an RTSP address record carry it.
struct stream_address {
    int32_t port;
    int32_t external_port;
    int32_t ddns_port;
    int32_t external_http_port;
    int32_t ddns_http_port;
    int32_t direct;
    int32_t status; // negative: the stream could not be started
    char username[32];
    char password[32];
    char rtsp_addr[256];
    char res_path[128];
};
static_assert(sizeof(stream_address) == 476);
static_assert(offsetof(stream_address, direct) == 20);
static_assert(offsetof(stream_address, username) == 28);
static_assert(offsetof(stream_address, password) == 60);
static_assert(offsetof(stream_address, rtsp_addr) == 92);
static_assert(offsetof(stream_address, res_path) == 348);

// Reply 8500.
struct live_start_reply {
    int32_t channel;
    stream_address stream;
};
static_assert(sizeof(live_start_reply) == 480);
static_assert(offsetof(live_start_reply, stream) + offsetof(stream_address, status) == 28);
static_assert(offsetof(live_start_reply, stream) + offsetof(stream_address, rtsp_addr) == 96);
static_assert(offsetof(live_start_reply, stream) + offsetof(stream_address, res_path) == 352);

// Reply 8503: one record per channel, in channel order.
struct rtsp_address_record {
    int32_t channel;
    char ipc_main[256];
    char ipc_sub[256];
    int32_t reserved0;
    stream_address main;
    int32_t reserved1;
    stream_address sub;
};
static_assert(sizeof(rtsp_address_record) == 1476);
static_assert(offsetof(rtsp_address_record, ipc_sub) == 260);
static_assert(offsetof(rtsp_address_record, main) == 520);
static_assert(offsetof(rtsp_address_record, sub) == 1000);
static_assert(offsetof(rtsp_address_record, main) + offsetof(stream_address, res_path) == 868);
static_assert(offsetof(rtsp_address_record, sub) + offsetof(stream_address, res_path) == 1348);

// Reply 8502: the stream of a started playback session.
struct playback_stream_reply {
    int32_t sid;
    int32_t port;
    int32_t external_port;
    int32_t external_http_port;
    int32_t ddns_port;
    int32_t ddns_http_port;
    char source_path[128];
};
static_assert(sizeof(playback_stream_reply) == 152);
static_assert(offsetof(playback_stream_reply, source_path) == 24);

// Payload of 1176 and, in its first two words, of 1177.
struct playback_transcode {
    int32_t ch;
    int32_t sid;
    int32_t mode;
    int32_t framesize;
    int32_t bitrate;
    int32_t framerate;
};
static_assert(sizeof(playback_transcode) == 24);

// Reply 6176 and 6177.
struct playback_transcode_state {
    int32_t ch;
    int32_t sid;
    int32_t state;
};
static_assert(sizeof(playback_transcode_state) == 12);

// Reply 8506.
struct extern_ports_reply {
    int32_t upnp_extern_port;
    int32_t ddns_extern_port;
};
static_assert(sizeof(extern_ports_reply) == 8);

// Recording export: the stretch of one channel the core daemon replays as
// frames (times "%d-%d-%d %d:%d:%d", no leading zeros).
struct export_request {
    int32_t channel;
    int32_t stream_type;
    char start_time[32];
    char end_time[32];
};
static_assert(sizeof(export_request) == 72);
static_assert(offsetof(export_request, start_time) == 8);
static_assert(offsetof(export_request, end_time) == 40);

#pragma pack(pop)

// One chunk of a replayed frame (reply 6173): the frame's 88-byte header,
// the continuation marker (0 for a frame's first chunk), the chunk length
// (or one of the end markers) and up to kExportChunkData bytes of data.
constexpr size_t kExportChunkSize = 614496;
constexpr size_t kExportChunkMarker = 88;
constexpr size_t kExportChunkLength = 92;
constexpr size_t kExportChunkHead = 96;
constexpr int32_t kExportChunkData = 614400;
constexpr int32_t kExportEndOfData = -1;
constexpr int32_t kExportAbort = -2;
