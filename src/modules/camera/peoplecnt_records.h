// Records of the people-counting groups, the POS text sources, the
// people-counting report backups and face detection: their database
// records, their schedules and the core messages that announce changes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/event_action_db.h"
#include "codecs/event_actions.h"
#include "codecs/schedule.h"

constexpr int kPeopleCntGroups = 9;
constexpr int kPosSources = 8;
constexpr int kReportKinds = 4;
constexpr int kFaceChannels = 16;

constexpr int kPtzTypePos = 21;
constexpr int kPtzTypeFace = 26;

// Requests; each reply code is the request code + 5000.
constexpr int kMsgPosChanged = 1421;
constexpr int kMsgReportBackupChanged = 1423;
constexpr int kMsgPeopleCntChanged = 2290;
constexpr int kMsgPeopleCntDbReset = 2291;
constexpr int kMsgPeopleCntLiveviewReset = 2292;
constexpr int kMsgPeopleCntActionChanged = 2293;
constexpr int kMsgSetFaceConfig = 3381;
constexpr int kMsgFaceActionChanged = 3383;

constexpr size_t kFaceConfigSize = 1620;

#pragma pack(push, 1)
struct peoplecnt_group {
    int32_t groupid;
    int32_t enable;
    int32_t stays;
    int32_t liveview_auto_reset;
    int32_t auto_day;
    int32_t liveview_font_size;
    char name[64];
    char auto_day_time[64];
    char tri_channels[65];
    char liveview_green_tips[128];
    char liveview_red_tips[128];
    char padding[7];
};

// The action fields every counting, POS and face event carries; the two
// camera alarm-output texts stand behind "triChnAlarms".
struct event_action_fields {
    int32_t tri_alarms;
    int32_t interval;
    int32_t email_interval;
    int32_t email_pic_enable;
    char tri_channels_pic[65];
    char padding0[3];
    int32_t ptz_interval;
    int32_t alarmout_interval;
    int32_t white_interval;
    int32_t audio_id;
    int32_t http_notification_interval;
    char chn_alarmout0[kChnAlarmoutTextSize];
    char chn_alarmout1[kChnAlarmoutTextSize];
    char padding1[2];
};

struct peoplecnt_event {
    int32_t groupid;
    event_action_fields action;
};

// A POS source's event, and the same for a face detection channel: the
// trigger channels as the browser's text and as the mask of its first 32
// characters.
struct pos_event {
    int32_t id;
    event_action_fields action;
    char tri_channels[65];
    char padding[3];
    uint32_t tri_channels_mask;
    char reserved[16];
};

struct pos_setting {
    int32_t id;
    int32_t enable;
    char name[33];
    char padding[3];
    int32_t protocol;
    int32_t connectionMode;
    char ip[64];
    int32_t liveviewDisplay;
    int32_t displayChannel;
    int32_t startX;
    int32_t startY;
    int32_t areaWidth;
    int32_t areaHeight;
    int32_t characterEncodeing;
    int32_t fontSize;
    int32_t fontColor;
    int32_t overlayMode;
    int32_t displayTime;
    int32_t timeout;
    char privacy1[64];
    char privacy2[64];
    char privacy3[64];
    int32_t port;
    int32_t clearTime;
    int32_t nvrPort;
};

struct report_backup {
    int32_t reportType;
    int32_t enable;
    char triChannels[65];
    char triGroups[17];
    char padding[2];
    int32_t stayLengthType;
    int32_t stayLengthValue;
    int32_t backupDay;
    char backupTime[32];
    int32_t fileFormat;
    int32_t timeRange;
    int32_t backupTo;
    int32_t lineMask;
};
#pragma pack(pop)

static_assert(sizeof(peoplecnt_group) == 480);
static_assert(offsetof(peoplecnt_group, name) == 24);
static_assert(offsetof(peoplecnt_group, auto_day_time) == 88);
static_assert(offsetof(peoplecnt_group, tri_channels) == 152);
static_assert(offsetof(peoplecnt_group, liveview_green_tips) == 217);
static_assert(offsetof(peoplecnt_group, liveview_red_tips) == 345);
static_assert(sizeof(event_action_fields) == 236);
static_assert(sizeof(peoplecnt_event) == 240);
static_assert(sizeof(pos_event) == 328);
static_assert(sizeof(pos_setting) == 368);
static_assert(offsetof(pos_setting, name) == 8);
static_assert(offsetof(pos_setting, protocol) == 44);
static_assert(offsetof(pos_setting, ip) == 52);
static_assert(offsetof(pos_setting, liveviewDisplay) == 116);
static_assert(offsetof(pos_setting, timeout) == 160);
static_assert(offsetof(pos_setting, privacy1) == 164);
static_assert(offsetof(pos_setting, privacy2) == 228);
static_assert(offsetof(pos_setting, privacy3) == 292);
static_assert(offsetof(pos_setting, port) == 356);
static_assert(offsetof(pos_setting, clearTime) == 360);
static_assert(offsetof(pos_setting, nvrPort) == 364);
static_assert(sizeof(report_backup) == 152);
static_assert(offsetof(report_backup, triChannels) == 8);
static_assert(offsetof(report_backup, triGroups) == 73);
static_assert(offsetof(report_backup, stayLengthType) == 92);
static_assert(offsetof(report_backup, backupTime) == 104);
static_assert(offsetof(report_backup, fileFormat) == 136);
static_assert(offsetof(report_backup, lineMask) == 148);

// Schedule kinds of a POS source (and of a face channel): the HTTP
// notification kind is the shared HTTP schedule of the event's table.
enum EventScheduleKind {
    kScheduleEffective = 0,
    kScheduleAudible = 1,
    kScheduleEmail = 2,
    kSchedulePtz = 3,
    kScheduleWhite = 4,
    kScheduleHttp = 6,
};

// The people-counting groups, all 9 at once; each record carries its own
// group id. Reads and writes give 0 or -1.
int read_peoplecnt_settings(const char *db, peoplecnt_group groups[kPeopleCntGroups]);
int write_peoplecnt_settings(const char *db, const peoplecnt_group groups[kPeopleCntGroups]);
// One group's event record (the write by its own id) and schedules, group
// 0..8; schedule kinds kScheduleAudible, kScheduleEmail, kSchedulePtz and kScheduleWhite.
int read_peoplecnt_event(const char *db, peoplecnt_event *record, int group);
int write_peoplecnt_event(const char *db, const peoplecnt_event *record);
int read_peoplecnt_schedule(const char *db, int kind, schedule_record *schedule, int group);
int write_peoplecnt_schedule(const char *db, int kind, const schedule_record *schedule, int group);

// The POS sources: all 8, or one by id 0..7 (the write by its own id).
int read_pos_settings(const char *db, pos_setting list[kPosSources]);
int read_pos_setting(const char *db, pos_setting *record, int id);
int write_pos_setting(const char *db, const pos_setting *record);
int read_pos_event(const char *db, pos_event *record, int id);
int write_pos_event(const char *db, const pos_event *record);
int read_pos_schedule(const char *db, int kind, schedule_record *schedule, int id);
int write_pos_schedule(const char *db, int kind, const schedule_record *schedule, int id);

// The report backups, all 4 at once.
int read_peoplecnt_auto_backup(const char *db, report_backup list[kReportKinds]);
int write_peoplecnt_auto_backup(const char *db, const report_backup list[kReportKinds]);

// Face detection of channels 0..15.
int read_face_event(const char *db, pos_event *record, int chnid);
int write_face_event(const char *db, const pos_event *record);
int write_face_schedule(const char *db, int kind, const schedule_record *schedule, int chnid);
int read_face_schedule(const char *db, int kind, schedule_record *schedule, int chnid);
