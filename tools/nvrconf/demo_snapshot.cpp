// Demo snapshot settings, camera input and volume events and regional
// people counting actions of the demo cameras: snapshots every five
// minutes through working hours, the camera events recording their own
// channel, the first counting region raising the first alarm output.
#include <cstdio>

#include "modules/video/camera_input.h"
#include "modules/video/snapshot.h"
#include "modules/video/vca_records.h"
#include "nvrconf.h"
#include "nvrconf_demo.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kDemoCameraChannels = 4;

void working_hours(snapshot_schedule_record *record)
{
    for (int day = 0; day < 7; ++day) {
        schedule_section &section = record->schedule.days[day].sections[0];
        snprintf(section.start_time, sizeof section.start_time, "%s", "08:00");
        snprintf(section.end_time, sizeof section.end_time, "%s", "18:00");
        section.action_type = 1;
    }
}

int add_channel(int chnid)
{
    static snapshot_schedule_record schedule;
    schedule = snapshot_schedule_record{};
    schedule.chnid = chnid;
    working_hours(&schedule);
    snapshot_params_record params{};
    params.resolution = 1;
    params.quality = 2;
    params.interval = 5;
    params.interval_unit = 1;
    params.expiration_date = 30;
    camera_event_record event{};
    event.cam_id = chnid;
    event.enable = chnid % 2;
    event.tri_channel_mask = static_cast<int32_t>(1u << chnid);
    event.tri_actions = 1;
    return store_if_absent(kRecSnapshotSchedule, chnid, &schedule, sizeof schedule) != 0 ||
                   store_if_absent(kRecSnapshotParams, chnid, &params, sizeof params) != 0 ||
                   store_if_absent(kRecCameraIoEvent, chnid, &event, sizeof event) != 0 ||
                   store_if_absent(kRecVolumeDetect, chnid, &event, sizeof event) != 0
               ? -1
               : 0;
}

int add_region_action(int chnid)
{
    const smart_event_record record = demo_smart_event(chnid);
    return store_if_absent(kRecRegionalPcntEvent, chnid, &record, sizeof record);
}

} // namespace

int add_demo_snapshot()
{
    for (int chnid = 0; chnid < kDemoCameraChannels; ++chnid)
        if (add_channel(chnid) != 0 || add_region_action(chnid) != 0)
            return -1;
    return 0;
}
