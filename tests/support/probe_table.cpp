// Probe resources for the end-to-end cases of the front end: each answers
// with what the front end handed it, through one of the shared writers.
#include <cstdio>
#include <cstring>

#include "front/cgi_env.h"
#include "front/dispatchreq.h"
#include "front/web_utils.h"

namespace {

int probe_text(char *text) { return cgi_writeback_webserver(kRespText, text); }
int probe_json(char *text) { return cgi_writeback_webserver(kRespJson, text); }
int probe_raw(char *text) { return cgi_writeback_webserver(5, text); }
int probe_err_text(char *) { return cgi_error_to_webserver(kRespText); }
int probe_err_json(char *) { return cgi_error_to_webserver(kRespJson); }
int probe_err_other(char *) { return cgi_error_to_webserver(7); }

int probe_log(char *text)
{
    cgi_log("probe", 42, "", "%s", text);
    return cgi_writeback_webserver(kRespText, "OK");
}

// The request environment as the front end captured it, one per line.
int probe_env(char *)
{
    char out[4096];
    snprintf(out, sizeof out,
             "method=%s\npath=%s\nquery=%s\ntype=%s\nboundary=%s\nlength=%d\naddr=%s\ncookie=%s\n",
             cgiRequestMethod, cgiPathInfo, cgiQueryString, cgiContentType, cgiMultipartBoundary,
             cgiContentLength, cgiRemoteAddr, cgiCookie);
    return cgi_writeback_webserver(kRespText, out);
}

int probe_user(char *)
{
    char user[64] = "(unchanged)";
    const int result = get_current_username(user);
    char out[128];
    snprintf(out, sizeof out, "%d %s", result, user);
    return cgi_writeback_webserver(kRespText, out);
}

const WebRes probe_web_res[] = {
    {"/ptext", probe_text},     {"/pjson", probe_json},     {"/praw", probe_raw},
    {"/perr0", probe_err_text}, {"/perr1", probe_err_json}, {"/perr7", probe_err_other},
    {"/plog", probe_log},       {"/penv", probe_env},       {"/puser", probe_user},
};

} // namespace

NVR_WEB_TABLE(kWebTableTestOnly, probe_web_res)
