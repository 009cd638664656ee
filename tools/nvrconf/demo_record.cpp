// Recording part of the demo device: every channel's recording setting,
// the record schedules of the four demo cameras, a few holidays, and edge
// storage on the two cameras that support it.
#include <cstdio>
#include <cstring>

#include "codecs/record_db.h"
#include "modules/record/record_records.h"
#include "nvrconf.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kDemoChannels = 16;
constexpr int kDemoCameraCount = 4;
// Action types of the demo schedules: continuous and event recording.
constexpr int32_t kActionContinuous = 1;
constexpr int32_t kActionEvent = 2;

struct DemoPlan {
    const char *start;
    const char *end;
    int32_t action;
};

struct DemoHoliday {
    const char *name;
    int32_t type;
    int32_t start_mon, start_mday, start_mweek, start_wday;
    int32_t end_mon, end_mday, end_mweek, end_wday;
};

const DemoHoliday kDemoHolidays[] = {
    {"New Year", 0, 1, 1, 0, 0, 1, 1, 0, 0},
    {"Spring Festival", 0, 2, 10, 0, 0, 2, 16, 0, 0},
    {"Thanksgiving", 1, 11, 0, 4, 4, 11, 0, 4, 4},
};

record_setting demo_setting(int32_t chnid)
{
    record_setting setting{};
    setting.id = chnid;
    const bool camera = chnid < kDemoCameraCount;
    setting.mode = camera ? chnid % 3 : 0;
    setting.audioEnable = camera && chnid != 2 ? 1 : 0;
    setting.prevRecordOn = 1;
    setting.prevRecordDuration = 5;
    setting.postRecordOn = 1;
    setting.postRecordDuration = camera ? 30 : 10;
    setting.recordExpDate = 30;
    return setting;
}

void set_plans(schedule_day *day, const DemoPlan *plans, size_t count)
{
    for (size_t index = 0; index < count; ++index) {
        schedule_section &section = day->sections[index];
        snprintf(section.start_time, sizeof section.start_time, "%s", plans[index].start);
        snprintf(section.end_time, sizeof section.end_time, "%s", plans[index].end);
        section.action_type = plans[index].action;
    }
}

// Channel 0 records all day, channel 1 continuously by day and on events
// at night, channel 2 on working days and all of a holiday, channel 3 on
// events around the clock.
void fill_demo_schedule(int chnid, record_schedule *schedule)
{
    static const DemoPlan kAllDay[] = {{"00:00", "24:00", kActionContinuous}};
    static const DemoPlan kDayAndNight[] = {{"00:00", "08:00", kActionEvent},
                                            {"08:00", "18:00", kActionContinuous},
                                            {"18:00", "24:00", kActionEvent}};
    static const DemoPlan kWorkingHours[] = {{"07:00", "19:00", kActionContinuous}};
    memset(schedule, 0, sizeof *schedule);
    for (int index = 0; index < kScheduleDays; ++index) {
        schedule_day &day = schedule->schedule.days[index];
        switch (chnid) {
        case 0:
            set_plans(&day, kAllDay, 1);
            break;
        case 1:
            set_plans(&day, kDayAndNight, 3);
            break;
        case 2:
            if (index >= 1 && index <= 5)
                set_plans(&day, kWorkingHours, 1);
            if (index == kScheduleDays - 1)
                day.day_enable = 1, day.day_action_type = kActionContinuous;
            break;
        default:
            day.day_enable = 1;
            day.day_action_type = kActionEvent;
            break;
        }
    }
}

holiday_record demo_holiday(int32_t id, const DemoHoliday &entry)
{
    holiday_record holiday{};
    holiday.id = id;
    snprintf(holiday.name, sizeof holiday.name, "%s", entry.name);
    holiday.enable = 1;
    holiday.type = entry.type;
    holiday.startYear = holiday.endYear = 2025;
    holiday.startMon = entry.start_mon, holiday.startMDay = entry.start_mday;
    holiday.startMWeek = entry.start_mweek, holiday.startWDay = entry.start_wday;
    holiday.endMon = entry.end_mon, holiday.endMDay = entry.end_mday;
    holiday.endMWeek = entry.end_mweek, holiday.endWDay = entry.end_wday;
    return holiday;
}

} // namespace

int add_demo_recording()
{
    // Edge storage is switched on for the two ONVIF cameras on the first
    // demo set-up only, so a change made later is kept.
    unsigned char first = 0;
    const int fresh = confdb_read_record(ZQDB_PATH, kRecRecordSetting, 0, &first, sizeof first);
    if (fresh == kRecAbsent && copy_table_column_int(ZQDB_PATH, "camera", "anr", 1, 0x3, 0, "id") != 0)
        return fail("cannot store the demo edge storage flags", "");
    for (int32_t chnid = 0; chnid < kDemoChannels; ++chnid) {
        const record_setting setting = demo_setting(chnid);
        if (store_if_absent(kRecRecordSetting, chnid, &setting, sizeof setting) != 0)
            return fail("cannot store the demo recording setting", "");
    }
    static record_schedule schedule;
    for (int32_t chnid = 0; chnid < kDemoCameraCount; ++chnid) {
        fill_demo_schedule(chnid, &schedule);
        if (store_if_absent(kRecRecordSchedule, chnid, &schedule, sizeof schedule) != 0)
            return fail("cannot store the demo record schedule", "");
    }
    int32_t id = 0;
    for (const DemoHoliday &entry : kDemoHolidays) {
        const holiday_record holiday = demo_holiday(id++, entry);
        if (store_if_absent(kRecHoliday, holiday.id, &holiday, sizeof holiday) != 0)
            return fail("cannot store the demo holiday", entry.name);
    }
    return kExitOk;
}
