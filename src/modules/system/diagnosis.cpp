// The diagnosis archive: the daemon writes it into the temporary folder
// ("/6310") and the browser fetches it once ("/6311"), which removes it.
// Only the archive the daemon reported last is served: its name is kept
// in RAM-backed storage between the two requests.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "core/ipc.h"
#include "front/cgi_env.h"
#include "front/cgi_upload.h"
#include "front/web_utils.h"
#include "modules/system/settings.h"
#include "modules/system/settings_records.h"
#include "modules/system/system.h"
#include "platform/crypto/url_code.h"
#include "platform/sysutil/nvr_path.h"
#include "platform/sysutil/zq_std.h"

namespace {

constexpr const char *kExportRunning = "/tmp/tmp_diagnostic";
constexpr const char *kArchiveFolder = "/tmp/";
constexpr const char *kPendingArchive = "/dev/shm/nvrweb_diagnosis";
constexpr size_t kArchivePathMax = 256;
constexpr size_t kEncodedPathMax = 1024;
constexpr size_t kDiagnosisReplyMin = 8;

// The file name of `path` when it names a file directly in the archive
// folder by a plain name; null otherwise.
const char *archive_name(const char *path)
{
    const size_t folder = strlen(kArchiveFolder);
    if (strncmp(path, kArchiveFolder, folder) != 0 || !cgi_upload_name_is_safe(path + folder))
        return nullptr;
    return path + folder;
}

void remember_archive(const char *path)
{
    const NvrPath pending(kPendingArchive);
    const char *name = archive_name(path);
    if (name == nullptr) {
        unlink(pending.c_str());
        return;
    }
    zq_wirte_file_data(pending.c_str(), name, static_cast<int>(strlen(name)));
}

// True when `name` is the archive the daemon reported last.
bool is_pending_archive(const char *name)
{
    int length = 0;
    char *pending = zq_get_file_data(NvrPath(kPendingArchive).c_str(), &length);
    if (pending == nullptr)
        return false;
    const bool same = static_cast<size_t>(length) == strlen(name) && memcmp(pending, name, length) == 0;
    __zq_free(pending);
    return same;
}

// The archive named by `path`, opened for reading when it is the pending
// one and still a regular file; -1 otherwise.
int open_archive(const char *path, char *real_path, size_t size)
{
    const char *name = archive_name(path);
    if (name == nullptr || !is_pending_archive(name))
        return -1;
    nvr_path(real_path, size, path);
    const int fd = open(real_path, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    struct stat info {};
    if (fd >= 0 && (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        close(fd);
        return -1;
    }
    return fd;
}

} // namespace

int on_export_diagnosis(char * /*text*/)
{
    if (IsFileExisted(NvrPath(kExportRunning).c_str()) == 0)
        return cgi_writeback_webserver(kRespText, "Failed");
    char folder[kDiagnosisFolderSize] = "/tmp";
    if (cgi_ipc_request(on_system_ipc_callback, kMsgDiagnosisExport, sizeof folder, folder, -1) == 0)
        cgi_writeback_webserver(kRespText, "Failed");
    return 0;
}

int on_export_diagnosis_cb(const ReplyReader &reply)
{
    if (reply.size() < kDiagnosisReplyMin)
        return 0;
    if (reply.int32_at(offsetof(diagnosis_reply, result)) < 0) {
        cgi_writeback_webserver(kRespText, "Failed");
        cgi_set_callback_done(1);
        return 0;
    }
    const size_t text_size = reply.size() - kDiagnosisReplyMin;
    char path[kArchivePathMax] = "";
    if (text_size > 0)
        copy_field_text(path, sizeof path, reply.bytes(kDiagnosisReplyMin, text_size), text_size);
    remember_archive(path);
    char encoded[kEncodedPathMax];
    get_url_encode(path, static_cast<int>(strlen(path)), encoded, sizeof encoded);
    char answer[kEncodedPathMax + 8];
    snprintf(answer, sizeof answer, "OK/%s\r\n", encoded);
    cgi_writeback_webserver(kRespText, answer);
    cgi_set_callback_done(1);
    return 0;
}

// Anything but the pending archive answers nothing, as a file that cannot
// be opened does. The archive is removed once it went out whole.
int on_download_file(char *text)
{
    char path[kArchivePathMax];
    char real_path[kNvrPathMax];
    if (text == nullptr || get_url_decode(text, path, sizeof path) < 0)
        return 0;
    const int fd = open_archive(path, real_path, sizeof real_path);
    if (fd < 0)
        return 0;
    FILE *out = cgiOut != nullptr ? cgiOut : stdout;
    fprintf(out, "Content-Type:application/octet-stream\r\n");
    fprintf(out, "Content-Disposition: attachment; filename= %s\r\n\r\n", strrchr(path, '/') + 1);
    fflush(out);
    if (zq_spliced_copy_ex(fd, fileno(out)) != 0) {
        struct stat info {};
        fstat(fd, &info);
        cgi_log("system", __LINE__, "", "fd_in:%d fd_out:%d filestat.st_size:%d", fd, fileno(out),
                static_cast<int>(info.st_size));
        cgi_log("system", __LINE__, "", "Error copying input file [%d] to output file [%d]\n", fd,
                fileno(out));
    } else {
        unlink(real_path);
        unlink(NvrPath(kPendingArchive).c_str());
    }
    close(fd);
    return 0;
}
