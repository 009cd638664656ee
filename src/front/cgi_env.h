// The CGI request environment, captured once per process into process-wide
// text pointers. An absent variable reads as "" (never a null pointer).
#pragma once

#include <cstdio>

extern const char *cgiServerSoftware;
extern const char *cgiServerName;
extern const char *cgiGatewayInterface;
extern const char *cgiServerProtocol;
extern const char *cgiServerPort;
extern const char *cgiRequestMethod;
extern const char *cgiPathInfo;
extern const char *cgiPathTranslated;
extern const char *cgiScriptName;
extern const char *cgiQueryString;
extern const char *cgiRemoteHost;
extern const char *cgiRemoteAddr;
extern const char *cgiAuthType;
extern const char *cgiRemoteUser;
extern const char *cgiRemoteIdent;
extern const char *cgiServerAddr;
extern const char *cgiContentType;
extern const char *cgiMultipartBoundary;
extern const char *cgiAccept;
extern const char *cgiUserAgent;
extern const char *cgiReferrer;
extern const char *cgiCookie;
// Where the request comes from (HTTP_ORIGIN, HTTP_SEC_FETCH_SITE) and
// whether it came over TLS (HTTPS): read by the cross-site check.
extern const char *cgiOrigin;
extern const char *cgiSecFetchSite;
extern const char *cgiHttps;
extern int cgiContentLength;
extern FILE *cgiIn;
extern FILE *cgiOut;

constexpr int kContentTypeDataSize = 1024;
extern char cgiContentTypeData[kContentTypeDataSize];

// Reads the environment into the globals above, copies CONTENT_TYPE into
// cgiContentTypeData and splits off its parameters (keeping the boundary).
void cgi_capture_environment(FILE *in, FILE *out);

// Same length, and equal character by character where a letter of `a`
// matches that letter in either case.
bool cgi_str_eq_nocase(const char *a, const char *b);

// Copies `source` to `destination` replacing every `pattern` with
// `replacement`, left to right, without rescanning replaced text. The caller
// sizes the destination. Returns `destination`.
char *strrpl(char *destination, const char *source, const char *pattern, const char *replacement);
