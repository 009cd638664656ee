// The status module's web resource table.
#include "front/dispatchreq.h"
#include "modules/status/status.h"

namespace {

constexpr WebRes status_web_res[] = {
    {"/8004", on_cgi_status_nop, WebRight::Session},
    {"/8008", on_get_usage_info, WebRight::Status},
};

} // namespace

NVR_WEB_TABLE(kWebTableStatus, status_web_res)
