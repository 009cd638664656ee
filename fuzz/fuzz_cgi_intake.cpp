// Feeds arbitrary request environments and bodies through the CGI intake.
// Input: method, path, query, content type, cookie, content length, origin,
// host, fetch site and HTTPS flag as NUL-separated texts, then the body. The
// fuzz table holds rows of every kind of right, so the cross-site check and
// the session check run on every input.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "front/cgi_env.h"
#include "front/cgi_intake.h"
#include "front/cgi_upload.h"
#include "front/dispatchreq.h"
#include "front/multipart.h"
#include "front/web_utils.h"
#include "support/fuzz_root.h"

namespace {

FILE *g_null_out = nullptr;

int echo_user(char *text)
{
    char user[64];
    get_current_username(user);
    LogRecord record;
    cgi_init_log_info(&record);
    // An upload handler owns the renamed file; removing it keeps the fuzz
    // root from filling up.
    if (const char *upload = cgi_uploaded_file_path())
        unlink(upload);
    return cgi_writeback_webserver(kRespText, text);
}

constexpr WebRes fuzz_web_res[] = {{"/a", echo_user, WebRight::Open},
                                   {"/json", echo_user, WebRight::Session},
                                   {"/vb.htm", echo_user, WebRight::Storage}};

} // namespace

NVR_WEB_TABLE(kWebTableTestOnly, fuzz_web_res)

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz_make_private_root();
    g_null_out = fopen("/dev/null", "w");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const char *const names[] = {
        "REQUEST_METHOD", "PATH_INFO",   "QUERY_STRING", "CONTENT_TYPE",        "HTTP_COOKIE",
        "CONTENT_LENGTH", "HTTP_ORIGIN", "HTTP_HOST",    "HTTP_SEC_FETCH_SITE", "HTTPS"};
    size_t at = 0;
    for (const char *name : names) {
        const void *end = memchr(data + at, '\0', size - at);
        const size_t length = end != nullptr ? static_cast<const uint8_t *>(end) - (data + at) : size - at;
        setenv(name, std::string(reinterpret_cast<const char *>(data + at), length).c_str(), 1);
        at = end != nullptr ? at + length + 1 : size;
    }
    std::vector<char> body(data + at, data + size);
    body.push_back('\0');
    FILE *in = size > at ? fmemopen(body.data(), size - at, "r") : fopen("/dev/null", "r");
    if (in == nullptr)
        return 0;
    cgi_capture_environment(in, g_null_out);
    cgi_serve_request();
    cgiFreeFormEntries();
    fclose(in);
    return 0;
}
