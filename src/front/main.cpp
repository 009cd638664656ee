// Process entry of the CGI program: one request per process.
#include <cstdio>

#include "front/cgi_env.h"
#include "front/cgi_intake.h"
#include "front/multipart.h"

int main()
{
    cgi_capture_environment(stdin, stdout);
    const int status = cgi_serve_request();
    // The temporary files of an upload that are still at their temporary
    // names go with the request.
    cgiFreeFormEntries();
    return status;
}
