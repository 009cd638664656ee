// PTZ part of the demo device: the serial port setting and default speeds
// of the first 16 channels (Pelco-style heads at 9600 baud on the first
// four), and the stored tour of the first camera.
#include "modules/ptz/ptz_records.h"
#include "nvrconf.h"
#include "nvrconf_demo.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kDemoPortChannels = 16;
constexpr int kDemoHeads = 4;

ptz_port_record demo_port(int32_t channel)
{
    const bool head = channel < kDemoHeads;
    ptz_port_record port{};
    port.channel = channel;
    port.baudRate = head ? 9600 : 2400;
    port.dataBits = 8;
    port.stopBits = 1;
    port.parityType = 0;
    port.protocol = head ? 1 : 0;
    port.address = channel + 1;
    port.connectType = head ? 1 : 0;
    return port;
}

ptz_speed_record demo_speed(int32_t channel) { return ptz_speed_record{channel, 5, 5, 3, 3}; }

// Four presets, ten seconds at each.
ptz_tour_table demo_tours()
{
    ptz_tour_table table{};
    for (int32_t point = 0; point < 4; ++point)
        table.points[0][point] = ptz_tour_point{point + 1, 10, 5};
    return table;
}

} // namespace

int add_demo_ptz()
{
    for (int32_t channel = 0; channel < kDemoPortChannels; ++channel) {
        const ptz_port_record port = demo_port(channel);
        const ptz_speed_record speed = demo_speed(channel);
        if (store_if_absent(kRecPtzPort, channel, &port, sizeof port) != 0 ||
            store_if_absent(kRecPtzSpeed, channel, &speed, sizeof speed) != 0)
            return -1;
    }
    const ptz_tour_table tours = demo_tours();
    return store_if_absent(kRecPtzTour, 0, &tours, sizeof tours);
}
