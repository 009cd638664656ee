// The alarm audio files: the list ("/6320"), the upload ("/6321") and its
// adoption ("/6322"), deleting ("/6323"), renaming ("/6324") and the
// daemon's action on one file ("/6325"). Display names travel in URL-safe
// base64, which also names the uploaded file in the temporary directory.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/cgi_upload.h"
#include "front/web_utils.h"
#include "modules/system/settings.h"
#include "modules/system/settings_records.h"
#include "modules/system/system.h"
#include "platform/crypto/base64_url.h"
#include "platform/sysutil/nvr_path.h"

namespace {

constexpr uint32_t kAudioIdBits = (1U << kAudioFileIds) - 1;

// The display name in URL-safe base64; false when it takes more than the
// field's 127 characters.
bool encode_name(const char *name, char (&encoded)[kAudioNameSize])
{
    return name != nullptr && base64EncodeUrl(reinterpret_cast<const unsigned char *>(name),
                                              static_cast<int>(strlen(name)), encoded, sizeof encoded) >= 0;
}

// The real path of "/tmp/" + `name`, for a plain name only (no '/', not
// "." or "..", nothing a shell would read specially).
bool temp_path(const char *name, char *path, size_t size)
{
    if (name == nullptr || !cgi_upload_name_is_safe(name))
        return false;
    char device_path[kNvrPathMax];
    snprintf(device_path, sizeof device_path, "/tmp/%s", name);
    nvr_path(path, size, device_path);
    return true;
}

bool is_regular_file(const char *path)
{
    struct stat info {};
    return lstat(path, &info) == 0 && S_ISREG(info.st_mode);
}

bool audio_id_in(json_object *request, int *id)
{
    return json_value_int(json_get_member(request, "id"), id) && *id >= 0 && *id < kAudioFileIds;
}

// Sends an audio file message and waits for its status; a change that
// the daemon answered is logged.
int audio_request(int code, const void *payload, size_t length, bool logged)
{
    const int done =
        cgi_ipc_request(on_system_ipc_callback, code, static_cast<int>(length), payload, kRespJson);
    if (done != 0 && logged)
        system_send_log(kLogSubAudioFiles, kLogParamAudioFiles, nullptr);
    return 0;
}

json_object *audio_entry_json(const audio_file_entry &entry)
{
    json_object *item = json_object_new_object();
    json_add_int(item, "id", entry.id);
    json_add_int(item, "enable", entry.enable);
    char encoded[kAudioNameSize + 1];
    copy_field_text(encoded, sizeof encoded, entry.name, sizeof entry.name);
    unsigned char name[kAudioNameSize];
    const int length = base64DecodeUrl(encoded, name, sizeof name);
    if (length >= 0)
        json_object_object_add(item, "name",
                               json_object_new_string_len(reinterpret_cast<const char *>(name), length));
    return item;
}

} // namespace

int on_get_audio_file_list(char * /*text*/)
{
    cgi_ipc_request(on_system_ipc_callback, kMsgAudioList, 0, nullptr, kRespJson);
    return 0;
}

int on_get_audio_file_list_cb(const ReplyReader &reply)
{
    const JsonPtr answer = json_new_object();
    json_object *list = json_object_new_array();
    const size_t count = reply.count(sizeof(audio_file_entry));
    for (size_t index = 0; index < count; ++index) {
        audio_file_entry entry;
        if (reply.record(index, &entry) && entry.enable == 1)
            json_object_array_add(list, audio_entry_json(entry));
    }
    json_object_object_add(answer.get(), "audioFileList", list);
    json_add_int(answer.get(), "status", 0);
    cgi_write_json(kRespJson, answer.get());
    cgi_set_callback_done(1);
    return 0;
}

// Only the file this request uploaded is renamed or removed: a text that
// is no upload is refused with nothing touched.
int on_upload_audio_file(char *text)
{
    const char *upload = cgi_text_is_upload(text) ? cgi_uploaded_file_path() : nullptr;
    if (upload == nullptr || access(upload, R_OK) != 0)
        return on_cgi_common_text_cb(nullptr, -1, "");
    const char *name = cgi_upload_base_name(upload);
    if (strstr(name, ".wav") == nullptr && strstr(name, ".WAV") == nullptr) {
        unlink(upload);
        cgi_log("system", __LINE__, "", "htx upload_audio_file ret:[%d], pData:[/tmp/%s], name:[%s]", -1,
                name, name);
        return on_cgi_common_text_cb(nullptr, -1, nullptr);
    }
    char encoded[kAudioNameSize] = "";
    char target[kNvrPathMax];
    if (!encode_name(name, encoded) || !temp_path(encoded, target, sizeof target)) {
        unlink(upload);
        return on_cgi_common_text_cb(nullptr, -1, nullptr);
    }
    if (rename(upload, target) != 0) {
        unlink(upload);
        return on_cgi_common_text_cb(nullptr, -1, encoded);
    }
    return on_cgi_common_text_cb(nullptr, 0, encoded);
}

int on_add_audio_file(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    char upload[kNvrPathMax];
    char encoded[kAudioNameSize] = "";
    char target[kNvrPathMax];
    if (request == nullptr ||
        !temp_path(json_member_text(request.get(), "uploadName"), upload, sizeof upload) ||
        !is_regular_file(upload) || !encode_name(json_member_text(request.get(), "name"), encoded) ||
        !temp_path(encoded, target, sizeof target) || rename(upload, target) != 0)
        return cgi_error_to_webserver(kRespJson);
    return audio_request(kMsgAudioAdd, encoded, sizeof encoded, true);
}

int on_del_audio_files(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int mask = 0;
    if (request == nullptr || !json_value_int(json_get_member(request.get(), "idMask"), &mask) ||
        (static_cast<uint32_t>(mask) & kAudioIdBits) == 0)
        return cgi_error_to_webserver(kRespJson);
    const int32_t payload = mask;
    return audio_request(kMsgAudioDelete, &payload, sizeof payload, true);
}

int on_rename_audio_file(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    audio_file_entry entry{};
    int id = 0;
    char name[kAudioNameSize] = "";
    if (request == nullptr || !audio_id_in(request.get(), &id) ||
        on_cgi_get_string_from_json(request.get(), "name", name, sizeof name) != 0 ||
        !encode_name(name, entry.name))
        return cgi_error_to_webserver(kRespJson);
    entry.id = id;
    entry.enable = 1;
    return audio_request(kMsgAudioRename, &entry, sizeof entry, true);
}

int on_cgi_audio_file_action(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    int id = 0;
    if (request == nullptr || !audio_id_in(request.get(), &id))
        return cgi_error_to_webserver(kRespJson);
    const int32_t payload = id;
    return audio_request(kMsgAudioAction, &payload, sizeof payload, false);
}
