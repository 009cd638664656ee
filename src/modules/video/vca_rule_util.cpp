// The getter and setter shapes of the smart analytics rule pages.
#include "modules/video/vca_rule_util.h"

#include <cstring>

#include "codecs/channel_db.h"
#include "codecs/channel_mask.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/web_utils.h"
#include "modules/video/vca.h"
#include "modules/video/video.h"

namespace {

// The largest rule a setter fills.
constexpr size_t kRuleCapacity = sizeof(vca_people_rule);

} // namespace

int vca_get_rule(json_object *request, int code)
{
    if (request == nullptr)
        return -1;
    const int32_t channel = json_member_int(request, "channel", 0);
    if (!camera_channel_valid(channel))
        return cgi_error_to_webserver(kRespJson);
    cgi_ipc_request(on_video_ipc_callback, code, sizeof channel, &channel, kRespJson);
    return 0;
}

int vca_get_rule_text(const char *text, int code)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    return vca_get_rule(request.get(), code);
}

int vca_send_rule(int code, const void *payload, size_t size, int error_kind)
{
    cgi_ipc_request(on_video_ipc_callback, code, static_cast<int>(size), payload, error_kind);
    return 0;
}

bool vca_save_dialog(json_object *request, int index, const unsigned char *rule, size_t copy_offset)
{
    char copy[kVcaCopyTextSize];
    copy_field_text(copy, sizeof copy, reinterpret_cast<const char *>(rule + copy_offset), sizeof copy);
    json_object *dialog = json_get_member(request, "dialog");
    if (index < 0 || index >= kSmartEventCount || dialog == nullptr)
        return true;
    return save_smart_event_dialog_data(index, dialog, channel_mask_from_text(copy)) >= 0;
}

int vca_set_rule(json_object *request, const VcaSetter &setter)
{
    const int chnid = json_member_int(request, "chnid", -1);
    if (request == nullptr || !camera_channel_valid(chnid))
        return setter.silent ? -1 : cgi_error_to_webserver(kRespText);
    static unsigned char rule[kRuleCapacity];
    memset(rule, 0, setter.size);
    wire_update(request, setter.fields, rule);
    if (setter.regions != nullptr)
        vca_fill_regions(request, *setter.regions, rule);
    if (setter.complete != nullptr && !setter.complete(request, rule))
        return cgi_error_to_webserver(setter.error_kind);
    const int index = setter.index >= 0 ? setter.index : json_member_int(request, "type", -1);
    if (!vca_save_dialog(request, index, rule, setter.copy_offset))
        return cgi_error_to_webserver(setter.error_kind);
    return vca_send_rule(setter.code, rule, setter.size, setter.error_kind);
}

int vca_set_rule_text(const char *text, const VcaSetter &setter)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    return vca_set_rule(request.get(), setter);
}

int vca_answer_json(json_object *answer)
{
    cgi_write_json(kRespJson, answer);
    cgi_set_callback_done(1);
    return 0;
}

int vca_answer_status(const ReplyReader &reply)
{
    if (reply.size() < sizeof(int32_t))
        return -1;
    cgi_writeback_webserver(kRespText, reply.int32_at(0) == 0 ? "OK" : "FAILED");
    cgi_set_callback_done(1);
    return 0;
}
