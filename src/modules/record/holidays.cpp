// The holiday list: every slot in id order, and one holiday written whole.
#include <cstdio>
#include <cstring>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "front/web_utils.h"
#include "modules/record/record.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kLogParamHoliday = 920;

// Every field in the order of the answer's keys. A request's missing
// integer is stored as 0; its name is taken on its own (empty when missing).
const WireField kHolidayFields[] = {
    WIRE_INT("id", holiday_record, id),
    WIRE_INT("enable", holiday_record, enable),
    WIRE_TEXT("name", holiday_record, name),
    WIRE_INT("type", holiday_record, type),
    WIRE_INT("startYear", holiday_record, startYear),
    WIRE_INT("startMon", holiday_record, startMon),
    WIRE_INT("startMDay", holiday_record, startMDay),
    WIRE_INT("startMWeek", holiday_record, startMWeek),
    WIRE_INT("startWDay", holiday_record, startWDay),
    WIRE_INT("endYear", holiday_record, endYear),
    WIRE_INT("endMon", holiday_record, endMon),
    WIRE_INT("endMDay", holiday_record, endMDay),
    WIRE_INT("endMWeek", holiday_record, endMWeek),
    WIRE_INT("endWDay", holiday_record, endWDay),
};
constexpr WireLayout kHolidayLayout = wire_layout(kHolidayFields, sizeof(holiday_record));

bool check_holiday_info(json_object *request)
{
    int id = -1;
    int enable = -1;
    int type = -1;
    return json_value_int(json_get_member(request, "id"), &id) && id >= 0 && id < kHolidayCount &&
           json_value_int(json_get_member(request, "enable"), &enable) && (enable == 0 || enable == 1) &&
           json_value_int(json_get_member(request, "type"), &type) && type >= 0;
}

} // namespace

int on_get_holiday_info(char * /*text*/)
{
    static holiday_record holidays[kHolidayCount];
    int count = 0;
    if (read_holidays(ZQDB_PATH, holidays, &count) != 0)
        return cgi_error_to_webserver(kRespJson);
    json_object *list = json_object_new_array();
    for (int index = 0; index < count; ++index) {
        json_object *entry = json_object_new_object();
        wire_add_fields(entry, &holidays[index], kHolidayLayout);
        json_object_array_add(list, entry);
    }
    const JsonPtr answer = json_new_object();
    json_object_object_add(answer.get(), "holidays", list);
    return cgi_write_json(kRespJson, answer.get());
}

int on_set_holiday_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (request == nullptr || !check_holiday_info(request.get()))
        return -1;
    holiday_record record{};
    wire_fill(request.get(), kHolidayLayout, &record);
    const char *name = json_member_text(request.get(), "name");
    memset(record.name, 0, sizeof record.name);
    snprintf(record.name, sizeof record.name, "%s", name != nullptr ? name : "");
    if (write_holiday(ZQDB_PATH, &record) != 0)
        return cgi_error_to_webserver(kRespText);
    record_notify(kMsgHolidaysChanged);
    record_send_log(kLogParamHoliday, record.id + 1);
    return cgi_writeback_webserver(kRespText, "OK");
}
