// Parses arbitrary text as a request and runs every event action decoder
// over it (nothing is stored).
#include <cstdint>
#include <cstdio>
#include <string>

#include "codecs/event_actions.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "front/cgi_env.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    cgiOut = fopen("/dev/null", "w");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const JsonPtr request(get_request_tokener_json_object(text.c_str()));
    json_object *object = request.get();
    event_chn_alarmout alarmouts[2] = {};
    get_event_chn_alarmout_by_object(1, object, "triChnAlarms", alarmouts);
    whiteled_params row[kWhiteLedMax];
    get_white_params_by_json(1, row, object, "whiteInfo");
    get_pcnt_white_params_by_json(1, row, object, "whiteInfo");
    http_notification_params http;
    get_http_params_by_json(1, &http, object, "httpParams");
    ptz_params list[kPtzActionMax];
    get_ptz_params_by_json(1, 1, json_get_member(object, "ptzParams"), list);
    get_ptz_params_by_json(1, 1, object, list);
    return 0;
}
