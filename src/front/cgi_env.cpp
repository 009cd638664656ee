#include "front/cgi_env.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>

const char *cgiServerSoftware = "";
const char *cgiServerName = "";
const char *cgiGatewayInterface = "";
const char *cgiServerProtocol = "";
const char *cgiServerPort = "";
const char *cgiRequestMethod = "";
const char *cgiPathInfo = "";
const char *cgiPathTranslated = "";
const char *cgiScriptName = "";
const char *cgiQueryString = "";
const char *cgiRemoteHost = "";
const char *cgiRemoteAddr = "";
const char *cgiAuthType = "";
const char *cgiRemoteUser = "";
const char *cgiRemoteIdent = "";
const char *cgiServerAddr = "";
const char *cgiContentType = "";
const char *cgiMultipartBoundary = "";
const char *cgiAccept = "";
const char *cgiUserAgent = "";
const char *cgiReferrer = "";
const char *cgiCookie = "";
const char *cgiOrigin = "";
const char *cgiSecFetchSite = "";
const char *cgiHttps = "";
int cgiContentLength = 0;
FILE *cgiIn = nullptr;
FILE *cgiOut = nullptr;
char cgiContentTypeData[kContentTypeDataSize];

namespace {

const char *env_text(const char *name)
{
    const char *value = getenv(name);
    return value != nullptr ? value : "";
}

bool starts_with_nocase(const char *text, const char *prefix)
{
    for (; *prefix != '\0'; ++text, ++prefix) {
        if (tolower(static_cast<unsigned char>(*text)) != tolower(static_cast<unsigned char>(*prefix)))
            return false;
    }
    return true;
}

// Cuts the parameters off the media type; a "boundary=" parameter points
// cgiMultipartBoundary at its value, ended at the first white space.
void split_content_type_parameters()
{
    char *cursor = cgiContentTypeData;
    while ((cursor = strchr(cursor, ';')) != nullptr) {
        *cursor++ = '\0';
        while (isspace(static_cast<unsigned char>(*cursor)))
            ++cursor;
        if (starts_with_nocase(cursor, "boundary=")) {
            char *boundary = cursor + strlen("boundary=");
            char *end = boundary;
            while (*end != '\0' && !isspace(static_cast<unsigned char>(*end)))
                ++end;
            *end = '\0';
            cgiMultipartBoundary = boundary;
            return;
        }
    }
}

// CONTENT_LENGTH as a decimal number; absent or non-numeric gives 0 and
// values beyond the int range are clamped rather than wrapped.
int decimal_or_zero(const char *text)
{
    const long long value = strtoll(text, nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

} // namespace

void cgi_capture_environment(FILE *in, FILE *out)
{
    cgiServerSoftware = env_text("SERVER_SOFTWARE");
    cgiServerName = env_text("SERVER_NAME");
    cgiGatewayInterface = env_text("GATEWAY_INTERFACE");
    cgiServerProtocol = env_text("SERVER_PROTOCOL");
    cgiServerPort = env_text("SERVER_PORT");
    cgiRequestMethod = env_text("REQUEST_METHOD");
    cgiPathInfo = env_text("PATH_INFO");
    cgiPathTranslated = env_text("PATH_TRANSLATED");
    cgiScriptName = env_text("SCRIPT_NAME");
    cgiQueryString = env_text("QUERY_STRING");
    cgiRemoteHost = env_text("REMOTE_HOST");
    cgiRemoteAddr = env_text("REMOTE_ADDR");
    cgiAuthType = env_text("AUTH_TYPE");
    cgiRemoteUser = env_text("REMOTE_USER");
    cgiRemoteIdent = env_text("REMOTE_IDENT");
    cgiServerAddr = env_text("HTTP_HOST");

    // strncpy zero-fills the rest, so an over-long type is cut at 1023.
    strncpy(cgiContentTypeData, env_text("CONTENT_TYPE"), sizeof cgiContentTypeData - 1);
    cgiContentTypeData[sizeof cgiContentTypeData - 1] = '\0';
    cgiContentType = cgiContentTypeData;
    cgiMultipartBoundary = "";
    split_content_type_parameters();

    cgiContentLength = decimal_or_zero(env_text("CONTENT_LENGTH"));
    cgiAccept = env_text("HTTP_ACCEPT");
    cgiUserAgent = env_text("HTTP_USER_AGENT");
    cgiReferrer = env_text("HTTP_REFERER");
    cgiCookie = env_text("HTTP_COOKIE");
    cgiOrigin = env_text("HTTP_ORIGIN");
    cgiSecFetchSite = env_text("HTTP_SEC_FETCH_SITE");
    cgiHttps = env_text("HTTPS");
    cgiIn = in;
    cgiOut = out;
}

bool cgi_str_eq_nocase(const char *a, const char *b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        const auto ca = static_cast<unsigned char>(*a);
        const auto cb = static_cast<unsigned char>(*b);
        if (isalpha(ca) ? tolower(ca) != tolower(cb) : ca != cb)
            return false;
    }
    return *a == '\0' && *b == '\0';
}

char *strrpl(char *destination, const char *source, const char *pattern, const char *replacement)
{
    const size_t pattern_length = strlen(pattern);
    const size_t replacement_length = strlen(replacement);
    char *out = destination;
    while (*source != '\0') {
        if (pattern_length > 0 && strncmp(source, pattern, pattern_length) == 0) {
            memcpy(out, replacement, replacement_length);
            out += replacement_length;
            source += pattern_length;
        } else {
            *out++ = *source++;
        }
    }
    *out = '\0';
    return destination;
}
