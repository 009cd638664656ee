// Process entry of the CGI program: one request per process.
#include <cstdio>

#include "front/cgi_env.h"
#include "front/cgi_intake.h"

int main()
{
    cgi_capture_environment(stdin, stdout);
    return cgi_serve_request();
}
