// Configuration export, download and import through the profile tool.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "core/ipc.h"
#include "front/cgi_upload.h"
#include "front/web_utils.h"
#include "modules/system/maintenance.h"
#include "platform/sysutil/nvr_path.h"

namespace {

// Written by the profile tool: the device path of the exported file.
constexpr const char *kExportIndex = "/tmp/.export_down_file";
// The folder the profile tool exports into, and the only one a download
// is served from.
constexpr const char *kExportDir = "/tmp";
constexpr size_t kIndexAnswerMax = 255;
constexpr size_t kIndexPathMax = 1167;

// The index file's first line, at most `size` - 1 characters; false when
// it cannot be read.
bool read_export_index(char *out, size_t size)
{
    FILE *file = fopen(NvrPath(kExportIndex).c_str(), "rb");
    if (file == nullptr)
        return false;
    const size_t got = fread(out, 1, size - 1, file);
    fclose(file);
    out[got] = '\0';
    out[strcspn(out, "\r\n")] = '\0';
    return true;
}

// The export named by the index, opened, with its base name: only a regular
// file directly in the export folder whose name is free of shell syntax, so
// a planted index cannot serve or delete anything else. Null otherwise.
FILE *open_export(char (&path)[kNvrPathMax], const char **name)
{
    char device_path[kIndexPathMax + 1];
    if (!read_export_index(device_path, sizeof device_path))
        return nullptr;
    const size_t dir_length = strlen(kExportDir);
    if (strncmp(device_path, kExportDir, dir_length) != 0 || device_path[dir_length] != '/' ||
        !cgi_upload_name_is_safe(device_path + dir_length + 1))
        return nullptr;
    nvr_path(path, sizeof path, device_path);
    const int fd = open(path, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat info {};
    FILE *file = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? fdopen(fd, "rb") : nullptr;
    if (file == nullptr) {
        close(fd);
        return nullptr;
    }
    *name = strrchr(path, '/') + 1;
    return file;
}

} // namespace

int on_export_config(char * /*text*/)
{
    const char *const profile[] = {"zqprofile", "-e", kExportDir, nullptr};
    if (web_run_argv_output(profile, nullptr, 0) != 0)
        return cgi_error_to_webserver(kRespText);
    char index[kIndexAnswerMax + 1];
    const char *slash = read_export_index(index, sizeof index) ? strrchr(index, '/') : nullptr;
    char answer[kIndexAnswerMax + 32];
    if (slash != nullptr)
        snprintf(answer, sizeof answer, "OK filename=%s\r\n", slash + 1);
    else
        snprintf(answer, sizeof answer, "OK");
    cgi_send_operation_log(kLogSubExport, kLogParamMaintenance, 0);
    return cgi_writeback_webserver(kRespText, answer);
}

int on_download_config(char * /*text*/)
{
    char path[kNvrPathMax];
    const char *name = nullptr;
    FILE *file = open_export(path, &name);
    if (file == nullptr)
        return 0;
    cgi_send_download(file, name);
    fclose(file);
    unlink(path);
    return 0;
}

// Only the file this request uploaded is imported; the text is never run.
int on_import_config(char *text)
{
    const char *upload = cgi_uploaded_file_path();
    if (upload == nullptr || text == nullptr || strcmp(text, upload) != 0)
        return cgi_error_to_webserver(kRespText);
    const char *const profile[] = {"zqprofile", "-i", upload, nullptr};
    if (web_run_argv_output(profile, nullptr, 0) != 0 || unlink(upload) != 0)
        return cgi_error_to_webserver(kRespText);
    cgi_writeback_webserver(kRespText, "OK");
    cgi_send_operation_log(kLogSubImport, kLogParamMaintenance, 0);
    return 0;
}
