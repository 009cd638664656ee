#include "front/multipart.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "front/byte_search.h"
#include "front/cgi_env.h"
#include "platform/sysutil/nvr_path.h"

cgiFormEntry *cgiFormEntryFirst = nullptr;

namespace {

constexpr size_t kFieldSize = 1024; // header names, values and parameters, terminator included
// Look-ahead over the body, far longer than any delimiter: file data moves
// through it in large blocks, so an upload costs few system calls.
constexpr size_t kWindowSize = 1024 * 1024;
constexpr int kPipeSize = 1024 * 1024;    // a larger pipe lets the web server write ahead
constexpr size_t kMoveChunk = 512 * 1024; // file data moved from a pipe per step, well within the window
constexpr size_t kValueStart = 256;       // first size of an ordinary field's buffer
constexpr int kLineEnd = -2;

cgiFormEntry **g_tail = &cgiFormEntryFirst;

int write_all(int fd, const char *bytes, size_t count)
{
    while (count > 0) {
        const ssize_t written = write(fd, bytes, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return kCgiParseIO;
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return kCgiParseSuccess;
}

// The body as a bounded byte stream: it never takes more than the content
// length from `in`. Bytes looked at stay in the window until consumed, so
// the parser can look ahead while matching a boundary and leave them for
// the next step to read again. The parser is the body's first reader, so
// a stream with a descriptor is read with read(2), past stdio's buffer.
class BodyReader {
public:
    BodyReader(FILE *in, int length)
        : in_(in), fd_(fileno(in)), remaining_(length > 0 ? static_cast<size_t>(length) : 0),
          window_(static_cast<char *>(malloc(kWindowSize)))
    {
        struct stat info {};
        pipe_ = fd_ >= 0 && fstat(fd_, &info) == 0 && S_ISFIFO(info.st_mode);
        if (pipe_)
            fcntl(fd_, F_SETPIPE_SZ, kPipeSize); // a failure only costs speed
    }
    ~BodyReader() { free(window_); }
    BodyReader(const BodyReader &) = delete;
    BodyReader &operator=(const BodyReader &) = delete;

    bool ready() const { return window_ != nullptr; }
    bool is_pipe() const { return pipe_; }

    // With the window empty: appends up to `max` bytes (at most
    // kMoveChunk) of the body to `fd`, spliced in the kernel where the
    // file system allows, else read and written. The bytes moved, 0 at the
    // end of the body, -1 when the file could not be written.
    ssize_t move_to_file(int fd, size_t max)
    {
        const size_t want = std::min({max, remaining_, kMoveChunk});
        if (want == 0 || buffered() > 0)
            return 0;
        ssize_t moved = -1;
        while (splice_ok_ && (moved = splice(fd_, nullptr, fd, nullptr, want, SPLICE_F_MOVE)) < 0 &&
               errno == EINTR) {
        }
        if (moved < 0) {
            splice_ok_ = false;
            moved = static_cast<ssize_t>(fill(want));
            if (moved > 0 && write_all(fd, window_, static_cast<size_t>(moved)) != kCgiParseSuccess)
                return -1;
        }
        remaining_ = moved == 0 ? 0 : remaining_ - static_cast<size_t>(moved);
        return moved;
    }

    // With the window empty: puts `count` bytes of `fd` from `offset` into
    // the window, as if they were still to be read from the body.
    bool reload(int fd, off_t offset, size_t count)
    {
        if (buffered() > 0 || count > kWindowSize)
            return false;
        size_t have = 0;
        while (have < count) {
            const ssize_t got = pread(fd, window_ + have, count - have, offset + static_cast<off_t>(have));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            have += static_cast<size_t>(got);
        }
        end_ = have;
        return true;
    }

    // Buffers at least `want` bytes (at most the window) unless the body
    // ends first; returns the number buffered.
    size_t ensure(size_t want)
    {
        if (buffered() >= want || remaining_ == 0)
            return buffered();
        if (begin_ > 0) {
            memmove(window_, window_ + begin_, buffered());
            end_ -= begin_;
            begin_ = 0;
        }
        while (end_ < want && remaining_ > 0) {
            const size_t got = fill(std::min(kWindowSize - end_, remaining_));
            if (got == 0) {
                remaining_ = 0; // the body ended early
                break;
            }
            end_ += got;
            remaining_ -= got;
        }
        return buffered();
    }
    const char *data() const { return window_ + begin_; }
    size_t buffered() const { return end_ - begin_; }
    void consume(size_t count)
    {
        begin_ += count;
        if (begin_ == end_)
            begin_ = end_ = 0;
    }
    // The next byte (taken), or EOF at the end of the body.
    int get()
    {
        if (ensure(1) == 0)
            return EOF;
        const int ch = static_cast<unsigned char>(window_[begin_]);
        consume(1);
        return ch;
    }
    int peek() { return ensure(1) > 0 ? static_cast<unsigned char>(window_[begin_]) : EOF; }

private:
    // One read of at most `room` bytes into the window's free end: what a
    // pipe holds now, not more; 0 at the end of the input or on an error.
    size_t fill(size_t room)
    {
        if (fd_ < 0)
            return fread(window_ + end_, 1, room, in_);
        for (;;) {
            const ssize_t got = read(fd_, window_ + end_, room);
            if (got >= 0)
                return static_cast<size_t>(got);
            if (errno != EINTR)
                return 0;
        }
    }

    FILE *in_;
    int fd_;
    bool pipe_ = false;
    bool splice_ok_ = true;
    size_t remaining_;
    char *window_;
    size_t begin_ = 0;
    size_t end_ = 0;
};

struct PartHeaders {
    char disposition[kFieldSize];
    char name[kFieldSize];
    char file_name[kFieldSize];
    char content_type[kFieldSize];
};

// Where the data of one part goes: nowhere (a part that is not stored), a
// temporary file (fd >= 0) or a growing memory buffer.
struct PartData {
    bool keep = true;
    int fd = -1;
    char tmp_path[kNvrPathMax] = "";
    off_t file_length = 0; // bytes written to the temporary file
    char *bytes = nullptr;
    size_t length = 0;
    size_t capacity = 0;
};

// ---------------------------------------------------------------- part data

int append_memory(PartData &part, const char *bytes, size_t count)
{
    const size_t needed = part.length + count + 1; // room for the terminator
    if (needed > part.capacity) {
        size_t capacity = part.capacity == 0 ? kValueStart : part.capacity;
        while (capacity < needed)
            capacity *= 2;
        char *grown = static_cast<char *>(realloc(part.bytes, capacity));
        if (grown == nullptr)
            return kCgiParseMemory;
        part.bytes = grown;
        part.capacity = capacity;
    }
    memcpy(part.bytes + part.length, bytes, count);
    part.length += count;
    return kCgiParseSuccess;
}

int put_data(PartData &part, const char *bytes, size_t count)
{
    if (count == 0 || !part.keep)
        return kCgiParseSuccess;
    if (part.fd < 0)
        return append_memory(part, bytes, count);
    part.file_length += static_cast<off_t>(count);
    return write_all(part.fd, bytes, count);
}

bool open_temp_file(PartData &part)
{
    nvr_path(part.tmp_path, sizeof part.tmp_path, kCgiTempTemplate);
    part.fd = mkostemp(part.tmp_path, O_CLOEXEC);
    if (part.fd < 0) {
        part.tmp_path[0] = '\0';
        return false;
    }
    fchmod(part.fd, S_IRUSR | S_IWUSR);
    return true;
}

// Closes the temporary file; a failed close means data may be lost.
int close_temp_file(PartData &part)
{
    if (part.fd < 0)
        return kCgiParseSuccess;
    const int closed = close(part.fd);
    part.fd = -1;
    return closed == 0 ? kCgiParseSuccess : kCgiParseIO;
}

// Drops what a part that was not stored still holds.
void discard_part(PartData &part)
{
    close_temp_file(part);
    if (part.tmp_path[0] != '\0')
        unlink(part.tmp_path);
    free(part.bytes);
    part.bytes = nullptr;
}

// ---------------------------------------------------------------- boundaries

// Scans the window (at least `length` bytes) for the delimiter: the bytes
// before it go to the part and the delimiter is taken (true); without one,
// all but the last length - 1 bytes go to the part, since a delimiter may
// start among them.
bool pass_window(BodyReader &body, const char *delimiter, size_t length, PartData &part, int *result)
{
    const size_t have = body.buffered();
    const char *hit = find_bytes(body.data(), have, delimiter, length);
    if (hit != nullptr) {
        const auto before = static_cast<size_t>(hit - body.data());
        *result = put_data(part, body.data(), before);
        body.consume(before + length);
        return true;
    }
    const size_t safe = have - (length - 1);
    *result = put_data(part, body.data(), safe);
    body.consume(safe);
    return false;
}

// A file's data from a pipe: the body goes into the temporary file in
// large steps (spliced by the kernel where it can), and only the new bytes,
// with the length - 1 before them, are read back to look for the delimiter.
// When it is found, the file is cut where it starts and what followed it is
// put back into the window for the next step.
int move_file_to_delimiter(BodyReader &body, const char *delimiter, size_t length, PartData &part)
{
    // Whatever the window still holds goes ahead, so the file holds all.
    int result = put_data(part, body.data(), body.buffered());
    body.consume(body.buffered());
    while (result == kCgiParseSuccess) {
        const ssize_t moved = body.move_to_file(part.fd, kWindowSize - length);
        if (moved <= 0)
            return kCgiParseIO; // the body ended inside the part, or the file failed
        const off_t start = std::max<off_t>(0, part.file_length - static_cast<off_t>(length - 1));
        part.file_length += moved;
        if (!body.reload(part.fd, start, static_cast<size_t>(part.file_length - start)))
            return kCgiParseIO;
        const char *hit = find_bytes(body.data(), body.buffered(), delimiter, length);
        if (hit == nullptr) {
            body.consume(body.buffered());
            continue;
        }
        const auto before = static_cast<size_t>(hit - body.data());
        body.consume(before + length);
        part.file_length = start + static_cast<off_t>(before);
        if (ftruncate(part.fd, part.file_length) != 0)
            result = kCgiParseIO;
        return result;
    }
    return result;
}

// Passes the bytes before the next `delimiter` to the part and takes the
// delimiter. The body ending first is an input failure.
int copy_to_delimiter(BodyReader &body, const char *delimiter, size_t length, PartData &part)
{
    for (;;) {
        if (body.ensure(length) < length)
            return kCgiParseIO;
        int result = kCgiParseSuccess;
        if (pass_window(body, delimiter, length, part, &result) || result != kCgiParseSuccess)
            return result;
        if (part.fd >= 0 && body.is_pipe())
            return move_file_to_delimiter(body, delimiter, length, part);
    }
}

// After a boundary, "--" (the closing boundary) stays for the next step to
// see; anything else (the line end) is taken.
void skip_boundary_end(BodyReader &body)
{
    const size_t have = body.ensure(2);
    if (have >= 2 && memcmp(body.data(), "--", 2) == 0)
        return;
    body.consume(std::min<size_t>(have, 2));
}

bool at_closing_boundary(BodyReader &body) { return body.ensure(2) < 2 || memcmp(body.data(), "--", 2) == 0; }

// ---------------------------------------------------------------- headers

// The next character of a header line; kLineEnd at CR, LF, CR LF or the end
// of the body.
int line_char(BodyReader &body)
{
    const int ch = body.get();
    if (ch == EOF || ch == '\n')
        return kLineEnd;
    if (ch == '\r') {
        if (body.peek() == '\n')
            body.consume(1);
        return kLineEnd;
    }
    return ch;
}

// Appends to a field of kFieldSize bytes, dropping what does not fit.
void add_char(char *field, size_t &length, int ch)
{
    if (length < kFieldSize - 1)
        field[length++] = static_cast<char>(ch);
    field[length] = '\0';
}

// One header line split at its first ':' (blanks dropped from the name,
// skipped before the value); false when it ends the headers.
bool read_header(BodyReader &body, char *name, char *value)
{
    size_t name_length = 0;
    size_t value_length = 0;
    name[0] = value[0] = '\0';
    int ch = 0;
    while ((ch = line_char(body)) != kLineEnd && ch != ':') {
        if (isspace(ch) == 0)
            add_char(name, name_length, ch);
    }
    if (ch == ':') {
        while ((ch = line_char(body)) != kLineEnd && isspace(ch) != 0) {
        }
        for (; ch != kLineEnd; ch = line_char(body))
            add_char(value, value_length, ch);
    }
    return name_length > 0 && value_length > 0;
}

const char *skip_blanks(const char *text)
{
    while (*text != '\0' && isspace(static_cast<unsigned char>(*text)) != 0)
        ++text;
    return text;
}

// Copies a value in double quotes, or up to ';' without trailing blanks;
// returns where it stopped.
const char *copy_value(const char *text, char *out)
{
    size_t length = 0;
    out[0] = '\0';
    if (*text == '"') {
        for (++text; *text != '\0' && *text != '"'; ++text)
            add_char(out, length, *text);
        return *text == '"' ? text + 1 : text;
    }
    for (; *text != '\0' && *text != ';'; ++text)
        add_char(out, length, *text);
    while (length > 0 && isspace(static_cast<unsigned char>(out[length - 1])) != 0)
        out[--length] = '\0';
    return text;
}

// "form-data; name=\"x\"; filename=\"y\"": the word and the two parameters
// that matter; other parameters are skipped.
void parse_disposition(const char *value, PartHeaders &part)
{
    const char *at = copy_value(skip_blanks(value), part.disposition);
    while ((at = strchr(at, ';')) != nullptr) {
        at = skip_blanks(at + 1);
        char key[kFieldSize] = "";
        size_t key_length = 0;
        for (; *at != '\0' && *at != '=' && *at != ';'; ++at) {
            if (isspace(static_cast<unsigned char>(*at)) == 0)
                add_char(key, key_length, *at);
        }
        if (*at != '=')
            continue;
        char ignored[kFieldSize];
        char *target = cgi_str_eq_nocase(key, "name")       ? part.name
                       : cgi_str_eq_nocase(key, "filename") ? part.file_name
                                                            : ignored;
        at = copy_value(skip_blanks(at + 1), target);
    }
}

void read_part_headers(BodyReader &body, PartHeaders &part)
{
    char name[kFieldSize];
    char value[kFieldSize];
    while (read_header(body, name, value)) {
        if (cgi_str_eq_nocase(name, "Content-Disposition"))
            parse_disposition(value, part);
        else if (cgi_str_eq_nocase(name, "Content-Type"))
            copy_value(skip_blanks(value), part.content_type);
    }
}

// ---------------------------------------------------------------- entries

void free_entry(cgiFormEntry *entry)
{
    free(entry->attr);
    free(entry->value);
    free(entry->file_name);
    free(entry->content_type);
    free(entry->tmp_path);
    free(entry);
}

// Hands the part's data to the entry: the memory buffer shrunk to its
// length, or a one-byte empty text for a file field.
char *take_value(PartData &part)
{
    if (part.tmp_path[0] != '\0' || part.bytes == nullptr)
        return strdup("");
    part.bytes[part.length] = '\0';
    char *value = static_cast<char *>(realloc(part.bytes, part.length + 1));
    value = value != nullptr ? value : part.bytes;
    part.bytes = nullptr;
    return value;
}

int append_entry(const PartHeaders &headers, PartData &part)
{
    auto *entry = static_cast<cgiFormEntry *>(calloc(1, sizeof(cgiFormEntry)));
    if (entry == nullptr)
        return kCgiParseMemory;
    const bool is_file = part.tmp_path[0] != '\0';
    entry->value_length = is_file ? 0 : static_cast<int>(part.length);
    entry->value = take_value(part);
    entry->attr = strdup(headers.name);
    entry->file_name = strdup(headers.file_name);
    entry->content_type = strdup(headers.content_type);
    entry->tmp_path = strdup(part.tmp_path);
    if (entry->value == nullptr || entry->attr == nullptr || entry->file_name == nullptr ||
        entry->content_type == nullptr || entry->tmp_path == nullptr) {
        free_entry(entry);
        return kCgiParseMemory;
    }
    *g_tail = entry;
    g_tail = &entry->next;
    part.tmp_path[0] = '\0'; // the entry owns the file now
    return kCgiParseSuccess;
}

// One part from its headers to the boundary after its data.
int parse_part(BodyReader &body, const char *delimiter, size_t length)
{
    PartHeaders headers{};
    read_part_headers(body, headers);
    PartData part;
    // Only form-data parts are stored; the data of any other is skipped.
    part.keep = cgi_str_eq_nocase(headers.disposition, "form-data");
    if (part.keep && headers.file_name[0] != '\0' && !open_temp_file(part))
        return kCgiParseIO;
    int result = copy_to_delimiter(body, delimiter, length, part);
    const int closed = close_temp_file(part);
    result = result != kCgiParseSuccess ? result : closed;
    if (result == kCgiParseSuccess) {
        skip_boundary_end(body);
        if (part.keep)
            result = append_entry(headers, part);
    }
    discard_part(part);
    return result;
}

} // namespace

int cgiParseMultipartBody()
{
    if (cgiContentLength <= 0)
        return kCgiParseSuccess;
    if (cgiIn == nullptr)
        return kCgiParseIO;
    // A boundary comes from the 1024-byte content type buffer, so the
    // delimiter always fits; a longer one would be cut.
    char delimiter[kContentTypeDataSize + 8];
    snprintf(delimiter, sizeof delimiter, "\r\n--%s", cgiMultipartBoundary);
    const size_t length = strlen(delimiter);
    BodyReader body(cgiIn, cgiContentLength);
    if (!body.ready())
        return kCgiParseMemory;
    // The first boundary has no line end before it; what comes before it
    // is not part of the form.
    PartData preamble;
    preamble.keep = false;
    int result = copy_to_delimiter(body, delimiter + 2, length - 2, preamble);
    if (result == kCgiParseSuccess)
        skip_boundary_end(body);
    while (result == kCgiParseSuccess && !at_closing_boundary(body))
        result = parse_part(body, delimiter, length);
    return result;
}

int cgiFormFileName(const char *name, char *buffer, int size)
{
    const cgiFormEntry *entry = cgiFormEntryFind(name);
    const char *file_name = entry != nullptr ? entry->file_name : "";
    if (buffer != nullptr && size > 0)
        snprintf(buffer, static_cast<size_t>(size), "%s", file_name);
    if (entry == nullptr)
        return kCgiFormNotFound;
    if (file_name[0] == '\0')
        return kCgiFormNoFileName;
    return size > 0 && strlen(file_name) < static_cast<size_t>(size) ? kCgiFormSuccess : kCgiFormTruncated;
}

cgiFormEntry *cgiFormEntryFind(const char *name)
{
    if (name == nullptr)
        return nullptr;
    for (cgiFormEntry *entry = cgiFormEntryFirst; entry != nullptr; entry = entry->next) {
        if (strcmp(entry->attr, name) == 0)
            return entry;
    }
    return nullptr;
}

void cgiFreeFormEntries()
{
    cgiFormEntry *entry = cgiFormEntryFirst;
    while (entry != nullptr) {
        cgiFormEntry *next = entry->next;
        if (entry->tmp_path[0] != '\0')
            unlink(entry->tmp_path);
        free_entry(entry);
        entry = next;
    }
    cgiFormEntryFirst = nullptr;
    g_tail = &cgiFormEntryFirst;
}
