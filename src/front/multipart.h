// Multipart form bodies: the parser that turns a "multipart/form-data" POST
// body into a list of form entries (file fields streamed to temporary files)
// and the accessors of that list.
#pragma once

// One form-data part, kept in body order in a singly linked list.
struct cgiFormEntry {
    char *attr;         // field name
    char *value;        // data of an ordinary field (zero-terminated); "" for a file field
    int value_length;   // bytes in value
    char *file_name;    // the browser's file name; "" for an ordinary field
    char *content_type; // the part's Content-Type word; "" when absent
    char *tmp_path;     // the file holding a file field's data; "" otherwise
    cgiFormEntry *next;
};

// Head of the entry list of this request (null while empty).
extern cgiFormEntry *cgiFormEntryFirst;

// Results of cgiParseMultipartBody.
constexpr int kCgiParseSuccess = 0;
constexpr int kCgiParseMemory = 1;
constexpr int kCgiParseIO = 2;

// Results of cgiFormFileName.
constexpr int kCgiFormSuccess = 0;
constexpr int kCgiFormTruncated = 1;
constexpr int kCgiFormNotFound = 4;
constexpr int kCgiFormNoFileName = 8;

// Device path template of the temporary files of file fields.
constexpr const char *kCgiTempTemplate = "/tmp/cgicXXXXXX";

// Reads the multipart body (at most cgiContentLength bytes of cgiIn, split
// at cgiMultipartBoundary) and appends one entry per form-data part. Entries
// made before a failure stay in the list.
int cgiParseMultipartBody();

// Copies the browser's file name of field `name` (cut to size - 1).
int cgiFormFileName(const char *name, char *buffer, int size);

// The first entry whose name is exactly `name`; null when there is none.
cgiFormEntry *cgiFormEntryFind(const char *name);

// Releases every entry and deletes each temporary file still named in one.
void cgiFreeFormEntries();
