// Camera firmware upgrades (from an uploaded image or from an address),
// their progress, and the small camera probes: PoE password and count,
// IPv6 support and the liveness test.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "codecs/channel_mask.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/cgi_upload.h"
#include "front/multipart.h"
#include "front/web_utils.h"
#include "modules/camera/camera.h"
#include "platform/confdb/confdb.h"
#include "platform/netutil/netutil.h"
#include "platform/sysutil/nvr_path.h"

namespace {

constexpr size_t kPoePasswordSize = 65;
constexpr const char *kPoePasswordDefault = "kv4827";
constexpr size_t kStatusTextSize = 2048;
constexpr size_t kUpgradeMaskText = kUpgradeChannels;

// Bits of the '1' characters among the first 16 of a text mask.
uint64_t upgrade_mask(const char *text)
{
    uint64_t mask = 0;
    for (size_t index = 0; text != nullptr && index < kUpgradeMaskText && text[index] != '\0'; ++index)
        if (text[index] == '1')
            mask |= uint64_t{1} << index;
    return mask;
}

void put_words(uint32_t (&words)[2], uint64_t value)
{
    words[0] = channel_mask_low(value);
    words[1] = channel_mask_high(value);
}

uint64_t state_mask(const ipc_upgrade_state &state) { return channel_mask_of(state.mask[0], state.mask[1]); }

void upgrade_mask_text(uint64_t mask, char (&text)[kUpgradeMaskText + 1])
{
    for (size_t index = 0; index < kUpgradeMaskText; ++index)
        text[index] = static_cast<char>('0' + (mask >> index & 1u));
    text[kUpgradeMaskText] = '\0';
}

// The upgrade and keep masks: a channel's settings are kept unless its
// reset character is '1'.
void put_upgrade_masks(ipc_upgrade_request *request, const char *channels, const char *resets)
{
    put_words(request->mask, upgrade_mask(channels));
    put_words(request->keep_mask, ~upgrade_mask(resets));
}

// Copies `from` to a new file beside `to` and renames it over `to`, so a
// reader never sees half an image.
bool copy_over(const char *from, const char *to)
{
    char temporary[kNvrPathMax];
    if (snprintf(temporary, sizeof temporary, "%s.XXXXXX", to) >= static_cast<int>(sizeof temporary))
        return false;
    const int out = mkstemp(temporary);
    const int in = open(from, O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    bool ok = out >= 0 && in >= 0;
    char buffer[65536];
    for (ssize_t got = 0; ok && (got = read(in, buffer, sizeof buffer)) != 0;) {
        ok = got > 0 && write(out, buffer, static_cast<size_t>(got)) == got;
    }
    ok = ok && fsync(out) == 0;
    if (in >= 0)
        close(in);
    if (out >= 0)
        ok = close(out) == 0 && ok;
    ok = ok && rename(temporary, to) == 0;
    if (!ok && out >= 0)
        unlink(temporary);
    return ok;
}

// Moves the uploaded image to the place camera firmware waits in; across
// file systems by a copy. The upload is gone afterwards either way.
bool place_camera_firmware(const char *upload)
{
    const NvrPath target(kCameraFirmwarePath);
    if (rename(upload, target.c_str()) == 0)
        return true;
    const bool copied = errno == EXDEV && copy_over(upload, target.c_str());
    unlink(upload);
    return copied;
}

const char *form_value(const char *name)
{
    const cgiFormEntry *entry = cgiFormEntryFind(name);
    return entry != nullptr && entry->file_name[0] == '\0' ? entry->value : nullptr;
}

// An image uploaded with this request: the masks come from the form's
// "chnMask" and "resetMask" fields, the size from the file itself.
bool upgrade_from_upload(ipc_upgrade_request *request)
{
    const char *upload = cgi_uploaded_file_path();
    struct stat info {};
    if (upload == nullptr || lstat(upload, &info) != 0)
        return false;
    if (info.st_size > INT32_MAX || !place_camera_firmware(upload))
        return false;
    put_upgrade_masks(request, form_value("chnMask"), form_value("resetMask"));
    request->fileSize = static_cast<int32_t>(info.st_size);
    fill_field_text(request->file, sizeof request->file, kCameraFirmwarePath);
    return true;
}

// An image already in place: the masks and its size from the JSON request.
bool upgrade_from_json(const char *text, ipc_upgrade_request *request)
{
    const JsonPtr json(get_request_tokener_json_object(text));
    if (!json)
        return false;
    put_upgrade_masks(request, json_member_text(json.get(), "chnMask"),
                      json_member_text(json.get(), "resetMask"));
    request->fileSize = json_member_int(json.get(), "fileSize");
    return true;
}

} // namespace

// Takes the image of this request's upload, or, for a JSON request, the
// one already waiting; any other text (a path named in a plain request)
// is refused and touches no file.
int on_upgrade_ipc_by_file(char *text)
{
    ipc_upgrade_request request{};
    const bool ok =
        cgi_text_is_upload(text) ? upgrade_from_upload(&request) : upgrade_from_json(text, &request);
    if (!ok)
        return cgi_error_to_webserver(kRespJson);
    relay_request(kMsgUpgradeByFile, &request, sizeof request, kRespJson);
    return 0;
}

int on_upgrade_ipc_by_url(char *text)
{
    const JsonPtr json(get_request_tokener_json_object(text));
    if (!json)
        return cgi_error_to_webserver(kRespJson);
    static ipc_upgrade_request request;
    memset(&request, 0, sizeof request);
    json_object *list = json_value_array(json_get_member(json.get(), "chnAry"));
    int32_t channels[kCameraChannels];
    const int count = relay_channel_list(list, json_array_size(list), channels, -1);
    uint64_t mask = 0;
    for (int index = 0; index < count; ++index)
        mask |= uint64_t{1} << channels[index];
    put_words(request.mask, mask);
    put_words(request.keep_mask,
              static_cast<uint64_t>(static_cast<int64_t>(json_member_int(json.get(), "reset"))));
    const char *url = json_member_text(json.get(), "url");
    fill_field_text(request.url, sizeof request.url, url != nullptr ? url : "(null)");
    fill_field_text(request.file, sizeof request.file, kCameraFirmwarePath);
    relay_request(kMsgUpgradeByUrl, &request, sizeof request, kRespJson);
    return 0;
}

int on_upgrade_ipc_by_url_cb(const ReplyReader &reply)
{
    ipc_upgrade_state state;
    if (!reply.record(0, &state))
        return -1;
    const uint64_t mask = state_mask(state);
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "chnid", static_cast<int32_t>(state.mask[0]));
    json_object *status = json_object_new_array();
    for (int index = 0; index < kUpgradeChannels; ++index)
        if (mask >> index & 1u)
            json_object_array_add(status, json_object_new_int(state.status[index]));
    json_object_object_add(answer.get(), "status", status);
    char text[kUpgradeMaskText + 1];
    upgrade_mask_text(mask, text);
    json_add_string(answer.get(), "chnMask", text);
    return relay_answer_json(answer.get());
}

int on_get_ipc_upgrade_status(char *)
{
    relay_request(kMsgUpgradeStatus, nullptr, 0, kRespJson);
    return 0;
}

int on_get_ipc_upgrade_status_cb(const ReplyReader &reply)
{
    ipc_upgrade_state state;
    if (!reply.record(0, &state))
        return -1;
    const uint64_t mask = state_mask(state);
    char text[kStatusTextSize];
    int used = snprintf(text, sizeof text, "chnid=%lld\r\n", static_cast<long long>(mask));
    for (int index = 0; index < kUpgradeChannels; ++index)
        if (mask >> index & 1u)
            used += snprintf(text + used, sizeof text - used, "status%d=%d\r\n", index, state.status[index]);
    char mask_text[kUpgradeMaskText + 1];
    upgrade_mask_text(mask, mask_text);
    snprintf(text + used, sizeof text - used, "chnMask=%s\r\n", mask_text);
    cgi_writeback_webserver(kRespText, text);
    cgi_set_callback_done(1);
    return 0;
}

// Answers nothing, whatever happens.
int on_stop_ipc_upgrade(char *text)
{
    const JsonPtr json(get_request_tokener_json_object(text));
    if (!json)
        return 0;
    const int32_t stop = json_member_int(json.get(), "stop");
    relay_notify(kMsgStopUpgrade, &stop, sizeof stop);
    return 0;
}

int on_get_poe_password(char *)
{
    char password[kPoePasswordSize];
    get_param_value(ZQDB_PATH, "poepsd", password, sizeof password, kPoePasswordDefault);
    return cgi_writeback_webserver(kRespText, password);
}

int on_get_max_poe_num(char *)
{
    char text[16];
    snprintf(text, sizeof text, "%d", get_param_int(ZQDB_PATH, "max_poe_num", 0));
    return cgi_writeback_webserver(kRespText, text);
}

int on_get_ipv6_support(char *)
{
    char text[16];
    snprintf(text, sizeof text, "%d", net_is_haveipv6());
    return cgi_writeback_webserver(kRespText, text);
}

int on_cgi_test_alive(char *text)
{
    return cgi_writeback_webserver(kRespText,
                                   text != nullptr && text[0] != '\0' ? "CGI SUCCESS" : "CGI ERROR");
}
