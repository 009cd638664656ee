// Upload intake: a multipart POST is parsed into form entries, its file
// field is given the browser's file name in the temporary directory, and
// the resource path is dispatched with a text that names the file.
#pragma once

// Serves a "multipart/form-data" POST: the parser (except for "/1010",
// whose body stays unread), then cgiDealUpload. Returns the exit status:
// -1 after a failed parse, which writes nothing and leaves no temporary
// file behind. The caller frees the form entries after a success.
int cgi_serve_upload();

// Builds the handler text of an upload and dispatches the resource path.
int cgiDealUpload();

constexpr int kUploadNameSize = 128;
constexpr int kUploadTextSize = 1088;
constexpr int kUploadParamMax = 255;

// The text after the last '\\' or '/' of a browser's file name.
const char *cgi_upload_base_name(const char *file_name);

// True for a base name that may name a file in the temporary directory: not
// empty, no leading '.', no control characters and none of ` $ " ' ; & | <
// > * ? \ /.
bool cgi_upload_name_is_safe(const char *base_name);

// The path of the file that this request's upload handed to its handler
// (for the paths that take their upload themselves, the temporary file of
// the "file" field), while it is still a regular file directly inside the
// temporary directory; null for any request that was not such an upload.
const char *cgi_uploaded_file_path();

// True only when `text` is the handler text the upload intake built for this
// request around the uploaded file: that path, alone or followed by " & ".
// Handlers that take "the uploaded file's path" from their text refuse any
// other text, such as a plain GET or POST to the same path.
bool cgi_text_is_upload(const char *text);
