#include "front/cgi_upload.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "front/cgi_env.h"
#include "front/cgi_intake.h"
#include "front/dispatchreq.h"
#include "front/multipart.h"
#include "platform/sysutil/nvr_path.h"

namespace {

// The file the running upload handler was given; empty outside of it.
char g_upload_path[kNvrPathMax];

// Paths whose handlers find their upload themselves: they get the word temp.
bool takes_upload_itself(const char *path)
{
    return strcmp(path, "/1010") == 0 || strcmp(path, "/6082") == 0 || strcmp(path, "/2079") == 0;
}

// Paths whose handlers get the file at its temporary name.
bool keeps_temp_path(const char *path) { return strcmp(path, "/1019") == 0 || strcmp(path, "/oem") == 0; }

// Renames without replacing a file that already has the new name. Where the
// file system lacks the no-replace rename, a hard link refuses an existing
// name just the same.
int move_no_replace(const char *from, const char *to)
{
    if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    if (link(from, to) != 0)
        return -1;
    unlink(from);
    return 0;
}

// Gives the entry's file the browser's base name in the same directory.
bool move_to_browser_name(cgiFormEntry *entry, const char *base, char (&target)[kNvrPathMax])
{
    const char *slash = strrchr(entry->tmp_path, '/');
    if (slash == nullptr || !cgi_upload_name_is_safe(base))
        return false;
    const int directory_length = static_cast<int>(slash + 1 - entry->tmp_path);
    const int written = snprintf(target, sizeof target, "%.*s%s", directory_length, entry->tmp_path, base);
    if (written < 0 || static_cast<size_t>(written) >= sizeof target)
        return false;
    if (move_no_replace(entry->tmp_path, target) != 0)
        return false;
    entry->tmp_path[0] = '\0'; // the handler owns the file under its new name
    return true;
}

// " & " and the query's text after "param:" up to the next '&' (at most 255
// characters); "" when the query has none.
void param_suffix(char *out, size_t size)
{
    const char *param = strstr(cgiQueryString, "param:");
    if (param == nullptr) {
        out[0] = '\0';
        return;
    }
    param += strlen("param:");
    const size_t length = std::min(strcspn(param, "&"), static_cast<size_t>(kUploadParamMax));
    snprintf(out, size, " & %.*s", static_cast<int>(length), param);
}

int dispatch_with_file(const char *path, char *text, const char *file_path)
{
    snprintf(g_upload_path, sizeof g_upload_path, "%s", file_path);
    const int result = DispatchWebReq(path, text);
    g_upload_path[0] = '\0';
    return result;
}

int deal_named_upload(const char *path, cgiFormEntry *entry, const char *file_name)
{
    // Without a handler nobody would own (and remove) the renamed file.
    if (FindWebRes(path) == nullptr)
        return -1;
    char target[kNvrPathMax];
    if (!move_to_browser_name(entry, cgi_upload_base_name(file_name), target))
        return -1;
    char suffix[kUploadParamMax + 4];
    param_suffix(suffix, sizeof suffix);
    char text[kUploadTextSize];
    snprintf(text, sizeof text, "%s%s", target, suffix);
    return dispatch_with_file(path, text, target);
}

} // namespace

int cgi_serve_upload()
{
    if (strcmp(cgiPathInfo, "/1010") != 0 && cgiParseMultipartBody() != kCgiParseSuccess) {
        // Nobody will ask for the files of a failed upload.
        cgiFreeFormEntries();
        return -1;
    }
    cgiDealUpload();
    return 0;
}

int cgiDealUpload()
{
    char path[kPathBufferSize];
    snprintf(path, sizeof path, "%s", cgiPathInfo);
    if (path[0] == '\0')
        return -1;
    char text[kUploadTextSize];
    if (takes_upload_itself(path)) {
        // The handler may still take the file the parser stored, if any.
        snprintf(text, sizeof text, "temp & %s", cgiQueryString);
        const cgiFormEntry *entry = cgiFormEntryFind("file");
        return entry != nullptr && entry->tmp_path[0] != '\0'
                   ? dispatch_with_file(path, text, entry->tmp_path)
                   : DispatchWebReq(path, text);
    }
    char file_name[kUploadNameSize];
    cgiFormEntry *entry = cgiFormEntryFind("file");
    if (cgiFormFileName("file", file_name, sizeof file_name) != kCgiFormSuccess || entry == nullptr)
        return -1;
    if (keeps_temp_path(path)) {
        snprintf(text, sizeof text, "%s & %s", entry->tmp_path, cgiQueryString);
        return dispatch_with_file(path, text, entry->tmp_path);
    }
    return deal_named_upload(path, entry, file_name);
}

const char *cgi_upload_base_name(const char *file_name)
{
    const char *base = file_name;
    for (;;) {
        const char *separator = strchr(base, '\\');
        if (separator == nullptr)
            separator = strchr(base, '/');
        if (separator == nullptr)
            return base;
        base = separator + 1;
    }
}

bool cgi_upload_name_is_safe(const char *base_name)
{
    // A leading '.' also refuses "." and ".." and hidden files that other
    // parts of the device trust.
    if (base_name == nullptr || base_name[0] == '\0' || base_name[0] == '.')
        return false;
    for (const char *at = base_name; *at != '\0'; ++at) {
        const auto ch = static_cast<unsigned char>(*at);
        if (ch < 0x20 || ch == 0x7f || strchr("`$\"';&|<>*?\\/", ch) != nullptr)
            return false;
    }
    return true;
}

const char *cgi_uploaded_file_path()
{
    if (g_upload_path[0] == '\0')
        return nullptr;
    char directory[kNvrPathMax];
    nvr_path(directory, sizeof directory, "/tmp/");
    const size_t length = strlen(directory);
    if (strncmp(g_upload_path, directory, length) != 0 || !cgi_upload_name_is_safe(g_upload_path + length))
        return nullptr;
    struct stat info {};
    if (lstat(g_upload_path, &info) != 0 || !S_ISREG(info.st_mode))
        return nullptr;
    return g_upload_path;
}

bool cgi_text_is_upload(const char *text)
{
    const char *path = cgi_uploaded_file_path();
    if (path == nullptr || text == nullptr)
        return false;
    const size_t length = strlen(path);
    return strncmp(text, path, length) == 0 &&
           (text[length] == '\0' || strncmp(text + length, " & ", 3) == 0);
}
