// RAID arrays: create, remove, hot spares, rebuild, and the RAID mode.
#include <cstdio>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/storage/storage.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr const char *kRaidModeKey = "raidmode";
constexpr int kMemberBits = 16;

bool is_raid_id(int id) { return id >= kRaidIdFirst && id <= kRaidIdLast; }

// Members in ascending port order from bits 0..15 of the mask, bit n
// naming port n. The count is the browser's, at most the 16 the record holds.
bool check_raid_info(json_object *request, raid_param *raid)
{
    *raid = {};
    int mask = 0;
    if (on_cgi_get_int_from_json(request, "id", &raid->id) != 0 || !is_raid_id(raid->id))
        return false;
    if (json_get_member(request, "enable") == nullptr)
        return false;
    on_cgi_get_int_from_json(request, "enable", &raid->enable);
    if (on_cgi_get_int_from_json(request, "sata_port", &mask) != 0 || mask < 0)
        return false;
    if (on_cgi_get_int_from_json(request, "sata_cnt", &raid->sata_cnt) != 0 || raid->sata_cnt < 0 ||
        raid->sata_cnt > kRaidMembersMax)
        return false;
    if (on_cgi_get_int_from_json(request, "level", &raid->level) != 0 || raid->level < 0)
        return false;
    int members = 0;
    for (int bit = 0; bit < kMemberBits; ++bit) {
        if ((mask & (1 << bit)) != 0)
            raid->sata_port[members++] = bit;
    }
    return true;
}

// Sends a RAID request and answers from its "OK"/"Error" reply.
int raid_request(int code, const void *payload, int length)
{
    cgi_ipc_request(on_storage_ipc_callback, code, length, payload, kRespText);
    return 0;
}

} // namespace

int on_create_raid(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    raid_param raid;
    if (!request || !check_raid_info(request.get(), &raid))
        return -1;
    return raid_request(kMsgCreateRaid, &raid, sizeof raid);
}

int on_remove_raid(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    raid_param raid{};
    if (!request || !param_text_int(text, &raid.id) || !is_raid_id(raid.id))
        return -1;
    return raid_request(kMsgRemoveRaid, &raid, sizeof raid);
}

int on_set_hot_space(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int32_t port = 0;
    int hot = 0;
    if (!request || on_cgi_get_int_from_json(request.get(), "port", &port) != 0 || !disk_port_valid(port) ||
        on_cgi_get_int_from_json(request.get(), "hotflag", &hot) != 0)
        return -1;
    return raid_request(hot != 0 ? kMsgAddHotSpare : kMsgRemoveHotSpare, &port, sizeof port);
}

int on_rebuild_raid(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int32_t ports[2] = {0, 0};
    if (!request || on_cgi_get_int_from_json(request.get(), "diskport", &ports[0]) != 0 ||
        !disk_port_valid(ports[0]) || on_cgi_get_int_from_json(request.get(), "raidport", &ports[1]) != 0 ||
        !is_raid_id(ports[1]))
        return -1;
    return raid_request(kMsgRebuildRaid, ports, sizeof ports);
}

int on_get_raid_mode(char * /*text*/)
{
    char answer[16];
    snprintf(answer, sizeof answer, "%d", get_param_int(ZQDB_PATH, kRaidModeKey, 0));
    return cgi_writeback_webserver(kRespText, answer);
}

// Any value but 0 or 1 stores 0.
int on_set_raid_mode(char *text)
{
    if (text == nullptr || text[0] == '\0')
        return -1;
    int mode = 0;
    if (!param_text_int(text, &mode) || (mode != 0 && mode != 1))
        mode = 0;
    const char *value = mode == 1 ? "1" : "0";
    const int stored = check_param_key(ZQDB_PATH, kRaidModeKey) == 0
                           ? set_param_value(ZQDB_PATH, kRaidModeKey, value)
                           : add_param_value(ZQDB_PATH, kRaidModeKey, value);
    if (stored != 0)
        return cgi_error_to_webserver(kRespText);
    return cgi_writeback_webserver(kRespText, "OK");
}
