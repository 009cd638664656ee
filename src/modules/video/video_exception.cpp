// Exception settings: which exceptions raise alarms, the interval of the
// failed-recording e-mail, and the HTTP notification of each exception.
#include "codecs/event_action_db.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/video/video.h"
#include "modules/video/video_loss.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr const char *kExceptionHttpTable = "except_http_notification_params";

json_object *http_entry_object(const http_notification_params &entry)
{
    json_object *object = json_object_new_object();
    json_add_field(object, "url", entry.url);
    json_add_field(object, "username", entry.username);
    json_add_field(object, "password", entry.password);
    return object;
}

// The first kExceptionKinds elements of "exception", all integers.
bool exception_switches(json_object *request, trigger_alarm_record *record)
{
    json_object *values = json_value_array(json_get_member(request, "exception"));
    if (json_array_size(values) < kExceptionKinds)
        return false;
    for (int index = 0; index < kExceptionKinds; ++index) {
        int value = 0;
        if (!json_value_int(json_array_item(values, static_cast<size_t>(index)), &value))
            return false;
        record->exceptions[index] = value;
    }
    return true;
}

// Every exception number's entry of `params`, by the exception's name; -1
// marks a number that is unused or has no entry.
void fill_http_list(json_object *params, http_notification_params *list)
{
    for (int number = 0; number < kExceptionNumbers; ++number) {
        http_notification_params &entry = list[number];
        entry = http_notification_params{};
        entry.id = -1;
        char name[kExceptionNameSize];
        get_exception_name(number, name, sizeof name);
        json_object *sent = name[0] != '\0' ? json_get_member(params, name) : nullptr;
        if (!json_object_is_type(sent, json_type_object))
            continue;
        entry.id = number;
        fill_field_text(entry.url, sizeof entry.url, json_member_text(sent, "url"));
        fill_field_text(entry.username, sizeof entry.username, json_member_text(sent, "username"));
        fill_field_text(entry.password, sizeof entry.password, json_member_text(sent, "password"));
    }
}

} // namespace

int on_get_exception(char * /*text*/)
{
    static http_notification_params list[kExceptionNumbers];
    read_http_notification_params_init(ZQDB_PATH, kExceptionHttpTable, list, kExceptionNumbers);
    trigger_alarm_record record;
    read_trigger_alarms(ZQDB_PATH, &record);
    const JsonPtr reply = json_new_object();
    json_object *params = json_object_new_object();
    for (int number = 0; number < kExceptionNumbers; ++number) {
        char name[kExceptionNameSize];
        get_exception_name(number, name, sizeof name);
        if (name[0] != '\0')
            json_object_object_add(params, name, http_entry_object(list[number]));
    }
    json_object_object_add(reply.get(), "httpParams", params);
    json_object *switches = json_object_new_array();
    for (const int32_t value : record.exceptions)
        json_object_array_add(switches, json_object_new_int(value));
    json_object_object_add(reply.get(), "exception", switches);
    json_add_int(reply.get(), "recordFailedMailInterval", record.recordFailedMailInterval);
    return cgi_write_json(kRespJson, reply.get());
}

int on_set_exception(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    trigger_alarm_record record{};
    if (!request || !exception_switches(request.get(), &record))
        return -1;
    on_cgi_get_int_from_json(request.get(), "recordFailedMailInterval", &record.recordFailedMailInterval);
    if (write_trigger_alarms(ZQDB_PATH, &record) != 0)
        return cgi_error_to_webserver(kRespJson);
    cgi_ipc_notify(on_video_ipc_callback, kMsgExceptionsChanged, 0, nullptr);
    json_object *params = json_get_member(request.get(), "httpParams");
    if (json_object_is_type(params, json_type_object)) {
        static http_notification_params list[kExceptionNumbers];
        fill_http_list(params, list);
        if (write_http_notification_params_batch(ZQDB_PATH, list, kExceptionHttpTable, kExceptionNumbers) !=
            0)
            return cgi_error_to_webserver(kRespJson);
        cgi_ipc_notify(on_video_ipc_callback, kMsgExceptionHttpChanged, 0, nullptr);
    }
    const JsonPtr reply = json_new_object();
    json_add_string(reply.get(), "status", "CGI SUCCESS");
    return cgi_write_json(kRespJson, reply.get());
}
