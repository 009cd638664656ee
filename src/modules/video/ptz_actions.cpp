// PTZ action lists of any event kind: one entry added, changed or deleted,
// several deleted, or the list of an event source shown.
#include "codecs/event_action_db.h"
#include "codecs/event_actions.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "front/web_utils.h"
#include "modules/video/video.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kPtzOwners = 64;
constexpr int kPtzTypes = 256;

// The event source and type of a request, both in range; false after the
// error answer.
bool ptz_source(json_object *request, int *type, int *owner)
{
    *type = json_member_int(request, "type", -1);
    *owner = json_member_int(request, "chn_id", -1);
    if (*type >= 0 && *type < kPtzTypes && *owner >= 0 && *owner < kPtzOwners)
        return true;
    cgi_error_to_webserver(kRespText);
    return false;
}

// The entry of /6160 and /6163: the number of its action kind only.
ptz_params ptz_entry(json_object *request, int owner)
{
    ptz_params entry{};
    entry.chn_id = owner;
    entry.acto_ptz_channel = json_member_int(request, "acto_ptz_channel", 0);
    entry.acto_ptz_type = json_member_int(request, "acto_ptz_type", 0);
    if (entry.acto_ptz_type == 1)
        entry.acto_ptz_preset = json_member_int(request, "acto_ptz_preset", 0);
    else if (entry.acto_ptz_type == 2)
        entry.acto_ptz_patrol = json_member_int(request, "acto_ptz_patrol", 0);
    else if (entry.acto_ptz_type == 3)
        entry.acto_ptz_pattern = json_member_int(request, "acto_ptz_pattern", 0);
    return entry;
}

int answer_stored(int result)
{
    return result == 0 ? cgi_writeback_webserver(kRespText, "OK") : cgi_error_to_webserver(kRespText);
}

// Stores the request's entry in place of camera `old_camera`'s.
int store_entry(char *text, bool update)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int type = 0;
    int owner = 0;
    if (!request || !ptz_source(request.get(), &type, &owner))
        return -1;
    const ptz_params entry = ptz_entry(request.get(), owner);
    const int old_camera = update ? json_member_int(request.get(), "old_chn_id", entry.acto_ptz_channel)
                                  : entry.acto_ptz_channel;
    return answer_stored(update_ptz_params(ZQDB_PATH, &entry, type, old_camera));
}

int delete_entry(int type, int owner, int camera)
{
    ptz_params entry{};
    entry.chn_id = owner;
    entry.acto_ptz_channel = camera;
    return delete_ptz_params(ZQDB_PATH, &entry, type);
}

} // namespace

int on_set_ptz_params(char *text) { return store_entry(text, false); }

int on_update_ptz_params(char *text) { return store_entry(text, true); }

int on_get_ptz_params(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int type = 0;
    int owner = 0;
    if (!request || !ptz_source(request.get(), &type, &owner))
        return -1;
    const JsonPtr reply = json_new_object();
    json_object_object_add(reply.get(), "ptzInfo", get_ptz_params_json_object(type, owner));
    return cgi_write_json(kRespJson, reply.get());
}

int on_delete_ptz_params(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int type = 0;
    int owner = 0;
    if (!request || !ptz_source(request.get(), &type, &owner))
        return -1;
    const int camera = json_member_int(request.get(), "acto_ptz_channel", -1);
    if (camera < 0)
        return cgi_error_to_webserver(kRespText);
    return answer_stored(delete_entry(type, owner, camera));
}

// Elements that are not camera numbers are skipped.
int on_delete_ptz_params_batch(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int type = 0;
    int owner = 0;
    if (!request || !ptz_source(request.get(), &type, &owner))
        return -1;
    json_object *cameras = json_value_array(json_get_member(request.get(), "ptzChannel"));
    const size_t count = json_array_size(cameras);
    for (size_t index = 0; index < count; ++index) {
        int camera = -1;
        if (json_value_int(json_array_item(cameras, index), &camera) && camera >= 0 &&
            delete_entry(type, owner, camera) != 0)
            return cgi_error_to_webserver(kRespText);
    }
    return cgi_writeback_webserver(kRespText, "OK");
}
