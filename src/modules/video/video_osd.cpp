// On-screen display of each channel: the recorder's own OSD setting kept in
// the configuration database, and the camera-side OSD configuration read
// from and written to the camera through the core daemon.
#include <cstdio>

#include "codecs/channel_db.h"
#include "codecs/event_actions.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/video/video.h"
#include "modules/video/video_osd.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr size_t kOsdNameFromNameOnly = 32; // "/6002" keeps 31 characters

// A JSON number as a double; false for any other value.
bool json_value_double(json_object *value, double *out)
{
    if (!json_object_is_type(value, json_type_double) && !json_object_is_type(value, json_type_int))
        return false;
    *out = json_object_get_double(value);
    return true;
}

void add_double(json_object *object, const char *key, double value)
{
    json_object_object_add(object, key, json_object_new_double(value));
}

// Every key of the OSD page, in range; the record gets the request's values.
bool check_osd_info(json_object *request, osd_record *record)
{
    const char *name = json_member_text(request, "camName");
    int32_t *const ints[] = {&record->camId,      &record->showName,   &record->showDate, &record->showWeek,
                             &record->dateFormat, &record->timeFormat, &record->alpha};
    const char *const int_keys[] = {"camId",      "showName",   "showDate", "showWeek",
                                    "dateFormat", "timeFormat", "alpha"};
    for (size_t index = 0; index < sizeof ints / sizeof ints[0]; ++index) {
        int value = 0;
        if (!json_value_int(json_get_member(request, int_keys[index]), &value))
            return false;
        *ints[index] = value;
    }
    double *const positions[] = {&record->datePosX, &record->datePosY, &record->namePosX, &record->namePosY};
    const char *const position_keys[] = {"datePosX", "datePosY", "namePosX", "namePosY"};
    for (size_t index = 0; index < 4; ++index)
        if (!json_value_double(json_get_member(request, position_keys[index]), positions[index]) ||
            !(*positions[index] >= 0))
            return false;
    if (name == nullptr || !camera_channel_valid(record->camId) || record->showName >= 2 ||
        record->showDate >= 2 || record->showWeek >= 2 || record->timeFormat >= 2 || record->dateFormat > 3 ||
        record->alpha < 0)
        return false;
    fill_field_text(record->camName, sizeof record->camName, name);
    return true;
}

// The keys the camera-side setter needs besides the optional ones.
bool check_osdconfig_info(json_object *request)
{
    const char *const keys[] = {"ch",          "enable_text", "text_name",  "textpos",
                                "enable_date", "datepos",     "dateformat", "fontSize"};
    for (const char *key : keys)
        if (json_get_member(request, key) == nullptr)
            return false;
    return true;
}

void fill_osd_config(json_object *request, osd_config *config)
{
    const EventIntKey keys[] = {
        {"ch", &config->ch},
        {"type", &config->type},
        {"enable_text", &config->enable_text},
        {"textpos", &config->textpos},
        {"enable_date", &config->enable_date},
        {"datepos", &config->datepos},
        {"dateformat", &config->dateformat},
        {"fontSize", &config->fontSize},
        {"enable_text_sub", &config->enable_text_sub},
        {"textpos_sub", &config->textpos_sub},
        {"enable_date_sub", &config->enable_date_sub},
        {"datepos_sub", &config->datepos_sub},
        {"dateformat_sub", &config->dateformat_sub},
        {"fontSizeSub", &config->fontSizeSub},
    };
    event_set_ints(request, keys, sizeof keys / sizeof keys[0]);
    event_set_text(request, "text_name", config->text_name, sizeof config->text_name);
    event_set_text(request, "text_name_sub", config->text_name_sub, sizeof config->text_name_sub);
}

} // namespace

int on_get_osd_info(char *text)
{
    int chnid = -1;
    if (!param_text_int(text, &chnid) || !camera_channel_valid(chnid))
        return -1;
    osd_record record;
    read_osd(ZQDB_PATH, &record, chnid);
    record.camId = chnid;
    const JsonPtr reply = json_new_object();
    json_add_int(reply.get(), "camId", record.camId);
    json_add_field(reply.get(), "camName", record.camName);
    json_add_int(reply.get(), "showName", record.showName);
    json_add_int(reply.get(), "showDate", record.showDate);
    json_add_int(reply.get(), "showWeek", record.showWeek);
    json_add_int(reply.get(), "dateFormat", record.dateFormat);
    json_add_int(reply.get(), "timeFormat", record.timeFormat);
    add_double(reply.get(), "datePosX", record.datePosX);
    add_double(reply.get(), "datePosY", record.datePosY);
    add_double(reply.get(), "namePosX", record.namePosX);
    add_double(reply.get(), "namePosY", record.namePosY);
    json_add_int(reply.get(), "alpha", record.alpha);
    return cgi_write_json(kRespJson, reply.get());
}

int on_set_osd_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    osd_record sent{};
    if (!request || !check_osd_info(request.get(), &sent))
        return -1;
    osd_record record;
    if (read_osd(ZQDB_PATH, &record, sent.camId) < 0)
        return cgi_error_to_webserver(kRespText);
    sent.reserved = record.reserved;
    if (write_osd(ZQDB_PATH, &sent) != 0)
        return cgi_error_to_webserver(kRespText);
    const osd_changed changed{sent.camId, 1, 0};
    cgi_ipc_notify(on_video_ipc_callback, kMsgOsdChanged, sizeof changed, &changed);
    return cgi_writeback_webserver(kRespText, "OK");
}

// Only a channel that exists is renamed, and the record stays under it.
int OnSetOSDName(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    const int chnid = json_member_int(request.get(), "camId", -1);
    const char *name = json_member_text(request.get(), "camName");
    if (!request || !camera_channel_valid(chnid) || name == nullptr)
        return -1;
    osd_record record;
    if (read_osd(ZQDB_PATH, &record, chnid) < 0)
        return cgi_error_to_webserver(kRespText);
    record.camId = chnid;
    fill_field_text(record.camName, kOsdNameFromNameOnly, name);
    if (write_osd(ZQDB_PATH, &record) != 0)
        return cgi_error_to_webserver(kRespText);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_get_osdconfig(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return -1;
    const int32_t id = json_member_int(request.get(), "id", 0);
    cgi_ipc_request(on_video_ipc_callback, kMsgGetOsdConfig, sizeof id, &id, kRespText);
    return 0;
}

int on_set_osdconfig(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request || !check_osdconfig_info(request.get()))
        return -1;
    osd_config config{};
    fill_osd_config(request.get(), &config);
    cgi_ipc_request(on_video_ipc_callback, kMsgSetOsdConfig, sizeof config, &config, kRespText);
    return 0;
}

int on_get_osdconfig_cb(const ReplyReader &reply)
{
    osd_config config;
    if (!reply.record(0, &config)) {
        cgi_error_to_webserver(kRespText);
        cgi_set_callback_done(1);
        return -1;
    }
    const JsonPtr answer = json_new_object();
    if (config.ch >= 0) {
        json_add_int(answer.get(), "enable_text", config.enable_text);
        json_add_field(answer.get(), "text_name", config.text_name);
        json_add_int(answer.get(), "textpos", config.textpos);
        json_add_int(answer.get(), "enable_date", config.enable_date);
        json_add_int(answer.get(), "datepos", config.datepos);
        json_add_int(answer.get(), "dateformat", config.dateformat);
        json_add_int(answer.get(), "enable_text_sub", config.enable_text_sub);
        json_add_field(answer.get(), "text_name_sub", config.text_name_sub);
        json_add_int(answer.get(), "textpos_sub", config.textpos_sub);
        json_add_int(answer.get(), "enable_date_sub", config.enable_date_sub);
        json_add_int(answer.get(), "datepos_sub", config.datepos_sub);
        json_add_int(answer.get(), "dateformat_sub", config.dateformat_sub);
    }
    json_add_int(answer.get(), "disconnect", config.ch >= 0 ? 1 : 0);
    cgi_write_json(kRespJson, answer.get());
    cgi_set_callback_done(1);
    return 0;
}

// A reply without its result word is no answer.
int on_set_osdconfig_cb(const ReplyReader &reply)
{
    if (reply.size() < sizeof(int32_t))
        return -1;
    const int32_t result = reply.int32_at(0);
    cgi_writeback_webserver(kRespText, result == 0 ? "OK" : result == -1 ? "NO_SUPPORT" : "ERROR");
    cgi_set_callback_done(1);
    return 0;
}
