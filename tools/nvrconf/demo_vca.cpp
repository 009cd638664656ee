// Demo smart events: region entrance and line crossing on each demo camera
// raise the first alarm output, record their own channel and send a mail
// with a picture.
#include <cstdio>

#include "codecs/channel_mask.h"
#include "modules/video/vca_records.h"
#include "nvrconf_demo.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kDemoCameraChannels = 4;
constexpr int kDemoSmartEvents[] = {0, 4};

} // namespace

smart_event_record demo_smart_event(int chnid)
{
    smart_event_record record{};
    record.chnid = chnid;
    record.enable = 1;
    char channels[kChannelMaskText + 1];
    channel_mask_to_text(uint64_t{1} << chnid, channels);
    snprintf(record.tri_channels, sizeof record.tri_channels, "%s", channels);
    snprintf(record.tri_channels_pic, sizeof record.tri_channels_pic, "%s", channels);
    record.tri_channel_mask = static_cast<int32_t>(1u << chnid);
    record.tri_alarms = 1;
    record.interval = 10;
    record.email_interval = 60;
    record.email_pic_enable = 1;
    record.ptz_interval = 10;
    record.alarmout_interval = 10;
    record.white_interval = 10;
    return record;
}

int add_demo_vca()
{
    for (int chnid = 0; chnid < kDemoCameraChannels; ++chnid) {
        for (const int index : kDemoSmartEvents) {
            const int id = index << 8 | chnid;
            smart_event_record record;
            if (confdb_read_record(ZQDB_PATH, kRecSmartEvent, id, &record, sizeof record) != kRecAbsent)
                continue;
            record = demo_smart_event(chnid);
            if (confdb_write_record(ZQDB_PATH, kRecSmartEvent, id, &record, sizeof record) != 0)
                return -1;
        }
    }
    return 0;
}
