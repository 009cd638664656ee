// Demo data of the camera image pages that the database keeps: the motion
// and smart event schedules of the demo cameras and their exposure lists.
#include <cstdio>
#include <cstring>

#include "codecs/event_schedule_db.h"
#include "modules/camera/camera_records.h"
#include "nvrconf_demo.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kDemoCameraChannels = 4;
// Smart events the demo cameras watch: region entrance and line crossing.
constexpr int kDemoSmartEvents[] = {0, 4};

// A week of one section a day from `start` to `end`, action `action`.
void fill_week(schedule_record *schedule, const char *start, const char *end, int action)
{
    memset(schedule, 0, sizeof *schedule);
    for (int day = 0; day < kScheduleDays; ++day) {
        schedule_section &section = schedule->days[day].sections[0];
        snprintf(section.start_time, sizeof section.start_time, "%s", start);
        snprintf(section.end_time, sizeof section.end_time, "%s", end);
        section.action_type = action;
    }
}

bool absent(int kind, int id)
{
    static unsigned char record[sizeof(schedule_record)];
    return confdb_read_record(ZQDB_PATH, kind, id, record, sizeof record) == kRecAbsent;
}

int add_schedules(int chnid)
{
    static schedule_record schedule;
    if (absent(kRecMotionEffectiveSchedule, chnid)) {
        fill_week(&schedule, "00:00", "23:59", 1);
        if (write_motion_effective_schedule(ZQDB_PATH, &schedule, chnid) != 0)
            return -1;
    }
    for (const int index : kDemoSmartEvents) {
        if (!absent(kRecSmartEventEffectiveSchedule, index << 8 | chnid))
            continue;
        fill_week(&schedule, "18:00", "23:59", 1);
        if (write_smart_event_effective_schedule(ZQDB_PATH, &schedule, chnid, index) != 0)
            return -1;
    }
    return 0;
}

// Exposure times (in 1/x seconds) with the gain each needs.
int add_exposure_list(int chnid)
{
    if (!absent(kRecIpcExposure, chnid))
        return 0;
    static const ipc_exposure_entry kSteps[] = {{25, 10},  {50, 20},  {100, 35},
                                                {250, 50}, {500, 70}, {1000, 90}};
    ipc_exposure_list list{};
    list.chnid = chnid;
    for (const ipc_exposure_entry &step : kSteps)
        list.entries[list.count++] = step;
    return confdb_write_record(ZQDB_PATH, kRecIpcExposure, chnid, &list, sizeof list);
}

} // namespace

int add_demo_camera_image()
{
    for (int chnid = 0; chnid < kDemoCameraChannels; ++chnid)
        if (add_schedules(chnid) != 0 || add_exposure_list(chnid) != 0)
            return -1;
    return 0;
}
