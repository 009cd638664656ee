// Shared steps of the device settings handlers: reading checked integers,
// the fire-and-forget notices and the stores of keys and the host name.
#include <cstdio>
#include <cstring>

#include "codecs/device_db.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "modules/system/device_info.h"
#include "modules/system/device_records.h"
#include "platform/confdb/confdb.h"

bool json_int_present(json_object *object, const char *key, int *out)
{
    return json_value_int(json_get_member(object, key), out);
}

bool json_int_within(json_object *object, const char *key, int low, int high, int *out)
{
    return json_int_present(object, key, out) && *out >= low && *out <= high;
}

void system_notify(int code, const void *payload, size_t length)
{
    cgi_ipc_notify(on_aging_callback, code, static_cast<int>(length), payload);
}

void system_notify_int(int code, int value)
{
    const int32_t payload = value;
    system_notify(code, &payload, sizeof payload);
}

void system_notify_service(const char *name)
{
    service_name payload{};
    snprintf(payload.name, sizeof payload.name, "%s", name);
    system_notify(kMsgServiceChanged, &payload, sizeof payload);
}

int system_store_int(const char *key, int value) { return set_param_int(ZQDB_PATH, key, value); }

int system_store_or_add(const char *key, const char *value)
{
    if (check_param_key(ZQDB_PATH, key) != 0)
        return add_param_value(ZQDB_PATH, key, value);
    return set_param_value(ZQDB_PATH, key, value);
}

int system_store_host_name(const char *name)
{
    network_record network;
    if (read_network(ZQDB_PATH, &network) < 0)
        return -1;
    network_set_host_name(&network, name);
    return write_network(ZQDB_PATH, &network);
}
