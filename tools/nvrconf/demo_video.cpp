// Demo data of the OSD, privacy mask, video loss and exception pages.
#include <cstdio>
#include <cstring>
#include <memory>

#include "nvrconf.h"
#include "nvrconf_demo.h"

#include "codecs/channel_db.h"
#include "codecs/event_action_db.h"
#include "modules/video/videoloss_records.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kDemoChannels = 4;

// The time stamp at the top left, the name at the bottom right.
int add_osd_positions(int chnid)
{
    osd_record osd;
    if (read_osd(ZQDB_PATH, &osd, chnid) < 0)
        return -1;
    if (osd.datePosX != 0 || osd.namePosX != 0 || osd.alpha != 0)
        return 0;
    osd.camId = chnid;
    osd.dateFormat = 1;
    osd.datePosX = 0.0625;
    osd.datePosY = 0.0625;
    osd.namePosX = 0.75;
    osd.namePosY = 0.875;
    osd.alpha = 128;
    return write_osd(ZQDB_PATH, &osd);
}

// The entrance camera hides the neighbour's window.
privacy_mask_record demo_masks(int chnid)
{
    privacy_mask_record masks{};
    masks.id = chnid;
    for (int index = 0; index < kPrivacyMaskAreas; ++index)
        masks.areas[index].area_id = index;
    privacy_mask_entry &window = masks.areas[0];
    window.enable = chnid == 0 ? 1 : 0;
    window.start_x = 320;
    window.start_y = 40;
    window.area_width = 90;
    window.area_height = 60;
    window.width = 460;
    window.height = 260;
    return masks;
}

video_lost_record demo_video_loss(int chnid)
{
    video_lost_record loss{};
    loss.camId = chnid;
    loss.enable = 1;
    loss.tri_alarms = chnid == 0 ? 1 : 0;
    loss.interval = 20;
    loss.email_interval = 60;
    loss.email_enable = 1;
    loss.audible_enable = 1;
    memset(loss.chn_alarmout0, '0', 64);
    memset(loss.chn_alarmout1, '0', 64);
    loss.ptz_interval = 10;
    loss.alarmout_interval = 10;
    loss.white_interval = 10;
    loss.http_notification_interval = 10;
    return loss;
}

void all_day(schedule_record *schedule)
{
    for (schedule_day &day : schedule->days) {
        snprintf(day.sections[0].start_time, kScheduleTimeSize, "00:00");
        snprintf(day.sections[0].end_time, kScheduleTimeSize, "24:00");
        day.sections[0].action_type = 1;
    }
}

int add_exceptions()
{
    trigger_alarm_record alarms{};
    // A full or failing disk and a lost network sound the alarm.
    alarms.exceptions[0] = alarms.exceptions[1] = alarms.exceptions[3] = 1;
    alarms.recordFailedMailInterval = 30;
    if (store_if_absent(kRecTriggerAlarms, 0, &alarms, sizeof alarms) != 0)
        return -1;
    constexpr const char *kTable = "except_http_notification_params";
    http_notification_params http;
    if (read_http_notification_params(ZQDB_PATH, &http, kTable, 0) != 0)
        return -1;
    if (http.url[0] != '\0')
        return 0;
    http.id = 0;
    snprintf(http.url, sizeof http.url, "http://192.168.1.20/nvr/disk-full");
    snprintf(http.username, sizeof http.username, "nvr");
    return write_http_notification_params(ZQDB_PATH, &http, kTable);
}

} // namespace

int add_demo_video()
{
    auto schedule = std::make_unique<schedule_record>();
    all_day(schedule.get());
    for (int chnid = 0; chnid < kDemoChannels; ++chnid) {
        const privacy_mask_record masks = demo_masks(chnid);
        const video_lost_record loss = demo_video_loss(chnid);
        if (add_osd_positions(chnid) != 0 ||
            store_if_absent(kRecPrivacyMask, chnid, &masks, sizeof masks) != 0 ||
            store_if_absent(kRecVideoLoss, chnid, &loss, sizeof loss) != 0 ||
            store_if_absent(kRecVideolossAudibleSchedule, chnid, schedule.get(), sizeof *schedule) != 0 ||
            store_if_absent(kRecVideolossEmailSchedule, chnid, schedule.get(), sizeof *schedule) != 0)
            return -1;
    }
    return add_exceptions();
}
