// A request's worth of configuration reads for the benchmark: 20 keyed
// parameters (some absent, answered by their defaults) and 5 records, linked
// and started like the CGI program.
#include <cstdio>

#include "modules/system/user_record.h"
#include "platform/confdb/confdb.h"

int main()
{
    static const char *const keys[] = {
        "model",       "hardware_version", "software_version", "failover_mode", "same_channel_exist",
        "device_name", "device_id",        "language",         "video_format",  "web_session_idle_s",
        "http_port",   "https_port",       "rtsp_port",        "max_channel",   "dst_enable",
        "time_zone",   "ntp_enable",       "ntp_server",       "upnp_enable",   "auto_logout",
    };
    int sum = 0;
    char text[256];
    // Half of them read as numbers, half as texts, as handlers do.
    for (int i = 0; i < 20; ++i) {
        if (i % 2 == 0)
            sum += get_param_int(ZQDB_PATH, keys[i], 0);
        else
            get_param_value(ZQDB_PATH, keys[i], text, sizeof text, "");
    }
    UserRecord user;
    for (int id = 0; id < 5; ++id) {
        if (confdb_read_record(ZQDB_PATH, kRecUser, id, &user, sizeof user) == kRecFound)
            sum += user.type;
    }
    printf("%d\n", sum);
    return 0;
}
