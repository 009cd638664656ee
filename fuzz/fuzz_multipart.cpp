// Feeds arbitrary multipart bodies through the parser and the entry
// accessors. Input: the boundary up to the first line end, then the body;
// the content length is the body's size. Every run must leave the private
// temporary folder empty once the entries are freed.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "front/cgi_env.h"
#include "front/cgi_upload.h"
#include "front/multipart.h"
#include "platform/sysutil/nvr_path.h"
#include "support/fuzz_root.h"

namespace {

char g_tmp_dir[kNvrPathMax];

bool tmp_dir_is_empty()
{
    DIR *dir = opendir(g_tmp_dir);
    if (dir == nullptr)
        return false;
    bool empty = true;
    while (const dirent *entry = readdir(dir)) {
        if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
            empty = false;
    }
    closedir(dir);
    return empty;
}

// What the intake does with the entries before it dispatches.
void use_entries()
{
    char name[kUploadNameSize];
    if (cgiFormFileName("file", name, sizeof name) == kCgiFormSuccess)
        cgi_upload_name_is_safe(cgi_upload_base_name(name));
    for (const cgiFormEntry *entry = cgiFormEntryFirst; entry != nullptr; entry = entry->next) {
        if (cgiFormEntryFind(entry->attr) == nullptr || entry->value[entry->value_length] != '\0')
            abort();
    }
}

// The body in a pipe, written whole before the parse (a fuzz input fits in
// the pipe's buffer); null when it does not fit.
FILE *piped(const std::string &body)
{
    int fds[2];
    if (pipe(fds) != 0)
        return nullptr;
    const bool written =
        body.size() <= 60000 && write(fds[1], body.data(), body.size()) == static_cast<ssize_t>(body.size());
    close(fds[1]);
    FILE *in = written ? fdopen(fds[0], "r") : nullptr;
    if (in == nullptr)
        close(fds[0]);
    return in;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    if (!fuzz_make_private_root())
        abort();
    nvr_path(g_tmp_dir, sizeof g_tmp_dir, "/tmp");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto *bytes = reinterpret_cast<const char *>(data);
    const auto *line_end = static_cast<const char *>(memchr(bytes, '\n', size));
    const size_t boundary_length = line_end != nullptr ? static_cast<size_t>(line_end - bytes) : size;
    const std::string boundary(bytes, boundary_length);
    const size_t body_at = line_end != nullptr ? boundary_length + 1 : size;
    std::string body(bytes + body_at, size - body_at);

    // Odd-sized bodies come through a pipe, as the web server streams them.
    FILE *in = body.size() % 2 == 1
                   ? piped(body)
                   : fmemopen(body.data(), body.size() + 1, "r"); // fmemopen wants a size above 0
    if (in == nullptr)
        return 0;
    cgiIn = in;
    cgiContentLength = static_cast<int>(body.size());
    cgiMultipartBoundary = boundary.c_str();
    cgiParseMultipartBody();
    use_entries();
    cgiFreeFormEntries();
    fclose(in);
    cgiIn = nullptr;
    if (!tmp_dir_is_empty())
        abort();
    return 0;
}
