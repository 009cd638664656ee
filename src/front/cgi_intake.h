// Request intake: builds the parameter text of a request from the captured
// CGI environment and hands it with the resource path to the dispatcher.
#pragma once

// Serves one request whose environment cgi_capture_environment captured.
// Returns the process exit status. The form entries of an upload stay until
// the caller frees them (cgiFreeFormEntries).
int cgi_serve_request();

int cgiDealGet();
int cgiDealPost();

constexpr int kPathBufferSize = 128;
constexpr int kQueryBufferSize = 1024;
constexpr int kPostBufferSize = 30720;
constexpr int kPostMaxReads = 128;
