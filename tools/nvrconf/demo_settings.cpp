// Demo data of the access filter, automatic reboot and UPnP pages.
#include <cstdio>

#include "nvrconf.h"
#include "nvrconf_demo.h"

#include "modules/system/settings_records.h"
#include "platform/confdb/confdb.h"

namespace {

int add_key_if_absent(const char *key, const char *value)
{
    return check_param_key(ZQDB_PATH, key) == 0 ? 0 : add_param_value(ZQDB_PATH, key, value);
}

} // namespace

int add_demo_settings()
{
    access_filter_table filter{};
    const char *addresses[] = {"192.168.1.10", "192.168.1.0/24", "10.0.0.5"};
    for (const char *address : addresses) {
        access_filter_entry &entry = filter.entries[filter.count++];
        entry.address_type = filter.count == 2 ? 1 : 0;
        snprintf(entry.address, sizeof entry.address, "%s", address);
    }
    autoreboot_record reboot{};
    reboot.enable = 1;
    reboot.wday = 0;
    reboot.hour = 3;
    reboot.minutes = 30;
    upnp_record upnp{};
    upnp.enable = 1;
    upnp.external_http_port = 8080;
    upnp.http_status = 1;
    upnp.external_rtsp_port = 8554;
    upnp.rtsp_status = 1;
    if (add_key_if_absent("access_filter_enable", "0") != 0 ||
        add_key_if_absent("access_filter_type", "1") != 0)
        return -1;
    return store_if_absent(kRecAccessFilter, 0, &filter, sizeof filter) != 0 ||
                   store_if_absent(kRecAutoReboot, 0, &reboot, sizeof reboot) != 0 ||
                   store_if_absent(kRecUpnp, 0, &upnp, sizeof upnp) != 0
               ? -1
               : 0;
}
