// Access filter, reboot and UPnP notices, the alarm audio files and the
// diagnosis archive of the demo device. The audio files are ten slots with
// three tones preset; an added file is taken from the temporary folder.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "demo.h"
#include "modules/system/settings_records.h"
#include "platform/crypto/base64_url.h"
#include "platform/sysutil/nvr_path.h"

namespace {

audio_file_entry g_audio[kAudioFileIds];
bool g_audio_ready = false;

void put_audio_name(audio_file_entry &entry, const char *name)
{
    base64EncodeUrl(reinterpret_cast<const unsigned char *>(name), static_cast<int>(strlen(name)), entry.name,
                    sizeof entry.name);
}

audio_file_entry *audio_files()
{
    if (!g_audio_ready) {
        const char *preset[] = {"Doorbell", "Warning tone", "Siren"};
        for (int id = 0; id < kAudioFileIds; ++id)
            g_audio[id].id = id;
        for (int id = 0; id < 3; ++id) {
            g_audio[id].enable = 1;
            put_audio_name(g_audio[id], preset[id]);
        }
        g_audio_ready = true;
    }
    return g_audio;
}

void reply_status(Answer &answer, int32_t code, int32_t status)
{
    answer.push_back(AnswerStep::reply(code, demo_int32s({status})));
}

// 4012 -> 9012: every slot.
void on_audio_list(const CoreMessage &, Answer &answer)
{
    answer.push_back(AnswerStep::reply(kReplyAudioList, demo_bytes(audio_files(), sizeof g_audio)));
}

// 4013 -> 9013: the file "/tmp/<name>" goes into the first free slot.
void on_audio_add(const CoreMessage &request, Answer &answer)
{
    char name[kAudioNameSize];
    if (!demo_payload_as(request, &name))
        return;
    name[sizeof name - 1] = '\0';
    audio_file_entry *slots = audio_files();
    const std::string upload = "/tmp/" + std::string(name);
    for (int id = 0; id < kAudioFileIds; ++id) {
        if (slots[id].enable == 0 && strchr(name, '/') == nullptr &&
            unlink(NvrPath(upload.c_str()).c_str()) == 0) {
            slots[id].enable = 1;
            memcpy(slots[id].name, name, sizeof name);
            return reply_status(answer, kReplyAudioAdd, 0);
        }
    }
    reply_status(answer, kReplyAudioAdd, -1);
}

// 4014 -> 9014: the slots of the mask's bits are emptied.
void on_audio_delete(const CoreMessage &request, Answer &answer)
{
    int32_t mask = 0;
    if (!demo_payload_as(request, &mask))
        return;
    audio_file_entry *slots = audio_files();
    for (int id = 0; id < kAudioFileIds; ++id) {
        if ((mask >> id) & 1) {
            slots[id].enable = 0;
            memset(slots[id].name, 0, sizeof slots[id].name);
        }
    }
    reply_status(answer, kReplyAudioDelete, 0);
}

// 4015 -> 9015: a file present gets the new name.
void on_audio_rename(const CoreMessage &request, Answer &answer)
{
    audio_file_entry entry;
    if (!demo_payload_as(request, &entry))
        return;
    audio_file_entry *slots = audio_files();
    const bool known = entry.id >= 0 && entry.id < kAudioFileIds && slots[entry.id].enable == 1;
    if (known)
        memcpy(slots[entry.id].name, entry.name, sizeof entry.name);
    reply_status(answer, kReplyAudioRename, known ? 0 : -1);
}

// 4016 -> 9016: the demo plays the file (it says so).
void on_audio_action(const CoreMessage &request, Answer &answer)
{
    int32_t id = 0;
    if (!demo_payload_as(request, &id))
        return;
    const bool known = id >= 0 && id < kAudioFileIds && audio_files()[id].enable == 1;
    if (known)
        fprintf(stderr, "coresim: audio file %d plays\n", id);
    reply_status(answer, kReplyAudioAction, known ? 0 : -1);
}

// A tar archive holding one text file.
std::string tar_of(const char *name, const std::string &content)
{
    char header[512] = {};
    snprintf(header, 100, "%s", name);
    snprintf(header + 100, 8, "%07o", 0644);
    snprintf(header + 108, 8, "%07o", 0);
    snprintf(header + 116, 8, "%07o", 0);
    snprintf(header + 124, 12, "%011o", static_cast<unsigned>(content.size()));
    snprintf(header + 136, 12, "%011o", static_cast<unsigned>(time(nullptr)));
    header[156] = '0';
    // The POSIX magic "ustar" with its terminator, then the version "00".
    constexpr char kMagic[] = {'u', 's', 't', 'a', 'r', '\0', '0', '0'};
    memcpy(header + 257, kMagic, sizeof kMagic);
    memset(header + 148, ' ', 8);
    unsigned sum = 0;
    for (const char byte : header)
        sum += static_cast<unsigned char>(byte);
    snprintf(header + 148, 8, "%06o", sum);
    header[155] = ' ';
    std::string archive(header, sizeof header);
    archive += content;
    archive.append((512 - content.size() % 512) % 512, '\0');
    archive.append(1024, '\0');
    return archive;
}

// 3528 -> 8528: a diagnosis archive in the folder named.
void on_diagnosis(const CoreMessage &request, Answer &answer)
{
    char folder[kDiagnosisFolderSize];
    if (!demo_payload_as(request, &folder))
        return;
    folder[sizeof folder - 1] = '\0';
    diagnosis_reply reply{};
    const time_t now = time(nullptr);
    struct tm local {};
    localtime_r(&now, &local);
    char stamp[32];
    strftime(stamp, sizeof stamp, "%Y%m%d%H%M%S", &local);
    snprintf(reply.path, sizeof reply.path, "%s/diagnosis_%s.tar", folder, stamp);
    const std::string content = std::string("Diagnosis of the demo recorder, ") + stamp +
                                "\nuptime: 3 days\ndisks: 2 of 2 healthy\ncameras online: 6 of 8\n";
    const std::string archive = tar_of("diagnosis.txt", content);
    FILE *file = fopen(NvrPath(reply.path).c_str(), "wb");
    if (file == nullptr || fwrite(archive.data(), 1, archive.size(), file) != archive.size())
        reply.result = -1;
    if (file != nullptr)
        fclose(file);
    answer.push_back(AnswerStep::reply(
        kReplyDiagnosisExport, demo_bytes(&reply, offsetof(diagnosis_reply, path) + strlen(reply.path) + 1)));
}

// 3720: the mapping the daemon would apply.
void on_upnp(const CoreMessage &request, Answer &)
{
    upnp_record upnp;
    if (demo_payload_as(request, &upnp))
        fprintf(stderr, "coresim: UPnP %s, ports %d and %d\n", upnp.enable != 0 ? "on" : "off",
                upnp.external_http_port, upnp.external_rtsp_port);
}

void accept(const CoreMessage &, Answer &) {}

const DemoRow kSettingsRows[] = {
    {kMsgAudioList, on_audio_list},
    {kMsgAudioAdd, on_audio_add},
    {kMsgAudioDelete, on_audio_delete},
    {kMsgAudioRename, on_audio_rename},
    {kMsgAudioAction, on_audio_action},
    {kMsgDiagnosisExport, on_diagnosis},
    {kMsgUpnpSet, on_upnp},
    {kMsgAccessFilterChanged, accept},
    {kMsgAutoRebootChanged, accept},
};
NVR_DEMO_ROWS(kSettingsRows)

} // namespace
