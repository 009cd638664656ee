#include "front/cgi_intake.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "front/access_gate.h"
#include "front/cgi_env.h"
#include "front/cgi_upload.h"
#include "front/dispatchreq.h"

namespace {

struct FreeDeleter {
    void operator()(char *p) const { free(p); }
};

// The resource path cut to the path buffer; false when there is none.
bool copy_resource_path(char (&path)[kPathBufferSize])
{
    snprintf(path, sizeof path, "%s", cgiPathInfo);
    return path[0] != '\0';
}

bool is_form_or_json(const char *media_type)
{
    return cgi_str_eq_nocase(media_type, "application/x-www-form-urlencoded") ||
           cgi_str_eq_nocase(media_type, "application/json");
}

} // namespace

int cgiDealGet()
{
    char path[kPathBufferSize];
    if (!copy_resource_path(path))
        return -1;
    char query[kQueryBufferSize];
    snprintf(query, sizeof query, "%s", cgiQueryString);
    // JSON parameters arrive in GET queries with their quotes escaped; no
    // other percent-decoding is done. The result is never longer.
    char text[kQueryBufferSize];
    strrpl(text, query, "%22", "\"");
    return DispatchWebReq(path, text);
}

int cgiDealPost()
{
    char path[kPathBufferSize];
    if (!copy_resource_path(path))
        return -1;
    std::unique_ptr<char, FreeDeleter> body(static_cast<char *>(calloc(kPostBufferSize, 1)));
    if (body == nullptr)
        return -1;
    // Line by line, at most 128 reads and 30719 characters; CONTENT_LENGTH
    // is not consulted, the rest of a longer body is ignored.
    size_t length = 0;
    for (int reads = 0; reads < kPostMaxReads && length < kPostBufferSize - 1; ++reads) {
        if (fgets(body.get() + length, static_cast<int>(kPostBufferSize - length), cgiIn) == nullptr)
            break;
        length += strlen(body.get() + length);
    }
    return DispatchWebReq(path, body.get());
}

int cgi_serve_request()
{
    // Before any of the body is read, so that a refused request leaves
    // nothing behind (an upload's files included).
    if (!cgi_request_admits(cgiPathInfo))
        return 0;
    if (cgi_str_eq_nocase(cgiRequestMethod, "post")) {
        if (is_form_or_json(cgiContentType))
            cgiDealPost();
        else if (cgi_str_eq_nocase(cgiContentType, "multipart/form-data"))
            return cgi_serve_upload();
    } else if (cgi_str_eq_nocase(cgiRequestMethod, "get")) {
        cgiContentLength = static_cast<int>(strlen(cgiQueryString));
        cgiDealGet();
    }
    return 0;
}
