#include "demo_system.h"
#include "nvrconf.h"

#include <cstdio>
#include <cstring>

#include "codecs/device_db.h"
#include "modules/system/device_records.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kDemoRecordedChannels = 4;
constexpr int kRecordModeAlways = 1;

display_record demo_display()
{
    display_record display{};
    display.mainResolution = 3;
    display.hdmiAudioOn = 1;
    display.audioOutputOn = 1;
    display.audioVolume = 60;
    display.subResolution = 2;
    return display;
}

port_record demo_ports()
{
    port_record ports{};
    ports.sshPort = 22;
    ports.httpPort = 80;
    ports.rtspPort = 554;
    ports.servicePort = 6036;
    ports.httpsPort = 443;
    return ports;
}

} // namespace

int nvrconf_add_demo_system()
{
    const display_record display = demo_display();
    network_record network{};
    network_set_host_name(&network, "demo-recorder");
    const port_record ports = demo_ports();
    const disk_maintain_record retention{8, 4};
    if (store_if_absent(kRecDisplay, 0, &display, sizeof display) != 0 ||
        store_if_absent(kRecNetwork, 0, &network, sizeof network) != 0 ||
        store_if_absent(kRecPort, 0, &ports, sizeof ports) != 0 ||
        store_if_absent(kRecDiskMaintain, 0, &retention, sizeof retention) != 0)
        return -1;
    for (int chnid = 0; chnid < kDemoRecordedChannels; ++chnid) {
        record_setting record{};
        record.id = chnid;
        record.mode = kRecordModeAlways;
        record.prevRecordOn = record.postRecordOn = 1;
        record.prevRecordDuration = 5;
        record.postRecordDuration = 30;
        if (store_if_absent(kRecRecordSetting, chnid, &record, sizeof record) != 0)
            return -1;
    }
    return 0;
}
