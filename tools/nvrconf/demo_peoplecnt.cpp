// Demo people counting, POS and report backups: an entrance group over the
// first two cameras that sounds during opening hours, one POS till shown on
// the first camera, daily and weekly report backups, and face detection on
// the first camera raising the first alarm output.
#include <cstdio>

#include "modules/camera/peoplecnt_records.h"
#include "nvrconf.h"
#include "nvrconf_demo.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr const char *kDemoChannels = "1100000000000000000000000000000000000000000000000000000000000000";

void copy_text(char *field, size_t size, const char *text) { snprintf(field, size, "%s", text); }

// Opening hours on every day of the week.
void opening_hours(schedule_record *schedule)
{
    *schedule = schedule_record{};
    for (schedule_day &day : schedule->days) {
        copy_text(day.sections[0].start_time, sizeof day.sections[0].start_time, "08:00");
        copy_text(day.sections[0].end_time, sizeof day.sections[0].end_time, "20:00");
        day.sections[0].action_type = 1;
    }
}

void demo_actions(event_action_fields *action)
{
    action->tri_alarms = 1;
    action->interval = 10;
    action->email_interval = 60;
    action->email_pic_enable = 1;
    copy_text(action->tri_channels_pic, sizeof action->tri_channels_pic, "1");
    action->ptz_interval = 10;
    action->alarmout_interval = 10;
    action->white_interval = 10;
    action->http_notification_interval = 10;
}

int add_demo_group()
{
    peoplecnt_group group{};
    group.enable = 1;
    group.stays = 50;
    group.liveview_auto_reset = 1;
    group.liveview_font_size = 24;
    copy_text(group.name, sizeof group.name, "Entrance");
    copy_text(group.auto_day_time, sizeof group.auto_day_time, "00:00:00");
    copy_text(group.tri_channels, sizeof group.tri_channels, kDemoChannels);
    copy_text(group.liveview_green_tips, sizeof group.liveview_green_tips, "Welcome");
    copy_text(group.liveview_red_tips, sizeof group.liveview_red_tips, "Please wait");
    peoplecnt_event event{};
    demo_actions(&event.action);
    static schedule_record schedule;
    opening_hours(&schedule);
    const bool failed =
        store_if_absent(kRecPeopleCntGroup, 0, &group, sizeof group) != 0 ||
        store_if_absent(kRecPeopleCntEvent, 0, &event, sizeof event) != 0 ||
        store_if_absent(kRecPeopleCntSchedule, kScheduleAudible << 8, &schedule, sizeof schedule) != 0;
    return failed ? -1 : 0;
}

int add_demo_pos()
{
    pos_setting pos{};
    pos.enable = 1;
    copy_text(pos.name, sizeof pos.name, "Front till");
    copy_text(pos.ip, sizeof pos.ip, "192.168.1.60");
    pos.liveviewDisplay = 1;
    pos.areaWidth = 320;
    pos.areaHeight = 240;
    pos.fontSize = 16;
    pos.fontColor = 0xffffff;
    pos.displayTime = 10;
    pos.timeout = 30;
    pos.port = 9000;
    pos.clearTime = 5;
    pos.nvrPort = 9001;
    pos_event event{};
    demo_actions(&event.action);
    copy_text(event.tri_channels, sizeof event.tri_channels, kDemoChannels);
    event.tri_channels_mask = 3;
    static schedule_record schedule;
    opening_hours(&schedule);
    const bool failed =
        store_if_absent(kRecPos, 0, &pos, sizeof pos) != 0 ||
        store_if_absent(kRecPosEvent, 0, &event, sizeof event) != 0 ||
        store_if_absent(kRecPosSchedule, kScheduleEffective << 8, &schedule, sizeof schedule) != 0;
    return failed ? -1 : 0;
}

int add_demo_reports()
{
    for (int kind = 0; kind < kReportKinds; ++kind) {
        report_backup report{};
        report.reportType = kind;
        report.enable = kind < 2 ? 1 : 0;
        copy_text(report.triChannels, sizeof report.triChannels, kDemoChannels);
        copy_text(report.triGroups, sizeof report.triGroups, "1");
        report.backupDay = kind == 1 ? 1 : 0;
        copy_text(report.backupTime, sizeof report.backupTime, "23:30:00");
        report.timeRange = kind;
        report.lineMask = 1;
        if (store_if_absent(kRecPeopleCntBackup, kind, &report, sizeof report) != 0)
            return -1;
    }
    return 0;
}

int add_demo_face()
{
    pos_event event{};
    demo_actions(&event.action);
    copy_text(event.tri_channels, sizeof event.tri_channels, "1");
    event.tri_channels_mask = 1;
    return store_if_absent(kRecFaceEvent, 0, &event, sizeof event);
}

} // namespace

int add_demo_peoplecnt()
{
    return add_demo_group() != 0 || add_demo_pos() != 0 || add_demo_reports() != 0 || add_demo_face() != 0
               ? -1
               : 0;
}
