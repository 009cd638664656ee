// The record module's web resource table.
#include "front/dispatchreq.h"
#include "modules/record/record.h"

namespace {

constexpr WebRes record_web_res[] = {
    {"/6030", on_get_holiday_info, WebRight::Settings},
    {"/6031", on_set_holiday_info, WebRight::Settings},
    {"/6040", on_get_record_info, WebRight::Settings},
    {"/6041", on_set_record_info, WebRight::Settings},
    {"/6042", on_get_record_mode, WebRight::Settings},
    {"/6043", on_set_record_mode, WebRight::Settings},
    {"/6044", on_get_record_param, WebRight::Settings},
    {"/6045", on_set_record_param, WebRight::Settings},
    {"/6046", on_get_anr_support, WebRight::Settings},
    {"/6047", on_get_record_stream_info, WebRight::Settings},
};

} // namespace

NVR_WEB_TABLE(kWebTableRecord, record_web_res)
