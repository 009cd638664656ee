// Probe resources for the end-to-end cases of the front end: each answers
// with what the front end handed it, through one of the shared writers.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "front/cgi_env.h"
#include "front/cgi_upload.h"
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

// A handler text with the case's root shown as {root} and the random part
// of a temporary file name as XXXXXX, so that cases can expect it exactly.
std::string stable_text(const char *text)
{
    std::string out = text;
    const char *root = getenv("NVR_ROOT");
    if (root != nullptr && root[0] != '\0') {
        for (size_t at = out.find(root); at != std::string::npos; at = out.find(root, at))
            out.replace(at, strlen(root), "{root}");
    }
    const size_t temp = out.find("/tmp/cgic");
    if (temp != std::string::npos && out.size() >= temp + 15)
        out.replace(temp + 9, 6, "XXXXXX");
    return out;
}

std::string file_text(const char *path)
{
    std::string content;
    if (FILE *file = fopen(path, "rb")) {
        char chunk[4096];
        size_t got = 0;
        while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
            content.append(chunk, got);
        fclose(file);
    }
    return content;
}

// An upload handler: its text, whether the text is the intake's upload
// text, and the uploaded file's content.
int probe_upload(char *text)
{
    const char *path = cgi_uploaded_file_path();
    const std::string out = "text=" + stable_text(text) +
                            "\nupload=" + (cgi_text_is_upload(text) ? "1" : "0") +
                            "\ndata=" + (path != nullptr ? file_text(path) : "") + "\n";
    return cgi_writeback_webserver(kRespText, out.c_str());
}

// A handler that reads the request body itself: its text and what is left
// on the standard input.
int probe_stdin(char *text)
{
    std::string out = "text=" + stable_text(text) + "\nstdin=";
    int ch = 0;
    while ((ch = fgetc(cgiIn)) != EOF)
        out += static_cast<char>(ch);
    return cgi_writeback_webserver(kRespText, out.c_str());
}

// "/oem", "/1019" and "/1010" stand in for upload paths that the intake
// treats specially. The system module serves them too, so their table
// registers ahead of every module table and hides the module's rows.
constexpr int kWebTableProbeFirst = 0;
constexpr WebRes probe_intake_res[] = {
    {"/oem", probe_upload, WebRight::Session},
    {"/1019", probe_upload, WebRight::Session},
    {"/1010", probe_stdin, WebRight::Session},
};

// Every probe needs a live session; "/pupsd" takes uploads only from an
// account with the shutdown right.
constexpr WebRes probe_web_res[] = {
    {"/ptext", probe_text, WebRight::Session},     {"/pjson", probe_json, WebRight::Session},
    {"/praw", probe_raw, WebRight::Session},       {"/perr0", probe_err_text, WebRight::Session},
    {"/perr1", probe_err_json, WebRight::Session}, {"/perr7", probe_err_other, WebRight::Session},
    {"/plog", probe_log, WebRight::Session},       {"/penv", probe_env, WebRight::Session},
    {"/puser", probe_user, WebRight::Session},     {"/pup", probe_upload, WebRight::Session},
    {"/pupsd", probe_upload, WebRight::Shutdown},
};

} // namespace

NVR_WEB_TABLE(kWebTableProbeFirst, probe_intake_res)
NVR_WEB_TABLE(kWebTableTestOnly, probe_web_res)
