// AVI writer: RIFF "AVI " with one video stream, written front to back.
#include <fcntl.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/avi/avi.h"
#include "platform/avi/frame_header.h"

namespace {

// Where the fixed header parts sit; the frames start at kMoviData.
constexpr size_t kRiffSize = 4;
constexpr size_t kAvihTotalFrames = 48;
constexpr size_t kStrhLength = 140;
constexpr size_t kMoviSize = 216;
constexpr size_t kMoviFourcc = 220;
constexpr size_t kHeaderBytes = 224;

constexpr int32_t kDefaultFrameRate = 25;
constexpr int32_t kMaxFrameRate = 240;
// The index holds 32-bit offsets: the file stays well below 4 GiB.
constexpr uint64_t kMaxFileBytes = 0xF0000000u;

struct IndexEntry {
    uint32_t flags;
    uint32_t offset; // from the "movi" fourcc
    uint32_t size;
};

void put16(unsigned char *at, uint32_t value)
{
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}

void put32(unsigned char *at, uint32_t value)
{
    put16(at, value);
    put16(at + 2, value >> 16);
}

void put_fourcc(unsigned char *at, const char *code) { memcpy(at, code, 4); }

const char *codec_fourcc(int32_t codec) { return codec == kFrameCodecH265 ? "HEVC" : "H264"; }

} // namespace

struct zq_avi {
    FILE *fp = nullptr;
    off_t base = -1;      // position of "RIFF" when the stream can seek, else -1
    uint64_t written = 0; // bytes written so far
    bool started = false; // headers written
    bool failed = false;  // a write failed: nothing more is written
    int32_t codec = kFrameCodecH264;
    std::vector<IndexEntry> index;
};

namespace {

bool write_bytes(zq_avi *avi, const void *data, size_t length)
{
    if (avi->failed)
        return false;
    if (length > 0 && fwrite(data, 1, length, avi->fp) != length) {
        avi->failed = true;
        return false;
    }
    avi->written += length;
    return true;
}

// Writes a frame's chunk head, data and padding in one call straight to the
// stream's file (what the stream holds is flushed first): a frame costs one
// system call and no copy through the stream's buffer. A stream without a
// file goes through its buffer.
bool write_chunk(zq_avi *avi, const unsigned char (&head)[8], const void *data, size_t size)
{
    static const unsigned char kPad[1] = {0};
    iovec parts[3] = {{const_cast<unsigned char *>(head), sizeof head},
                      {const_cast<void *>(data), size},
                      {const_cast<unsigned char *>(kPad), size & 1}};
    const int fd = fileno(avi->fp);
    if (avi->failed || fd < 0 || fflush(avi->fp) != 0) {
        for (const iovec &part : parts)
            if (!write_bytes(avi, part.iov_base, part.iov_len))
                return false;
        return true;
    }
    iovec *next = parts;
    int remaining = 3;
    const size_t total = sizeof head + size + (size & 1);
    while (remaining > 0) {
        ssize_t put = writev(fd, next, remaining);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            avi->failed = true;
            return false;
        }
        while (remaining > 0 && static_cast<size_t>(put) >= next->iov_len) {
            put -= static_cast<ssize_t>(next->iov_len);
            ++next;
            --remaining;
        }
        if (remaining > 0) {
            next->iov_base = static_cast<char *>(next->iov_base) + put;
            next->iov_len -= static_cast<size_t>(put);
        }
    }
    avi->written += total;
    return true;
}

// RIFF, "hdrl" (main header, one stream's header and format) and the start
// of "movi". Sizes known only at the end stay 0.
bool write_headers(zq_avi *avi, const zq_frame_header &first)
{
    const int32_t rate =
        first.frame_rate > 0 && first.frame_rate <= kMaxFrameRate ? first.frame_rate : kDefaultFrameRate;
    const uint32_t width = first.width > 0 ? static_cast<uint32_t>(first.width) : 0;
    const uint32_t height = first.height > 0 ? static_cast<uint32_t>(first.height) : 0;
    const char *fourcc = codec_fourcc(first.codec);
    unsigned char h[kHeaderBytes] = {};
    put_fourcc(h, "RIFF");
    put_fourcc(h + 8, "AVI ");
    put_fourcc(h + 12, "LIST");
    put32(h + 16, 192);
    put_fourcc(h + 20, "hdrl");
    put_fourcc(h + 24, "avih");
    put32(h + 28, 56);
    put32(h + 32, 1000000u / static_cast<uint32_t>(rate));
    put32(h + 44, kAviIndexKeyFrame); // the file has an index
    put32(h + 56, 1);                 // streams
    put32(h + 64, width);
    put32(h + 68, height);
    put_fourcc(h + 88, "LIST");
    put32(h + 92, 116);
    put_fourcc(h + 96, "strl");
    put_fourcc(h + 100, "strh");
    put32(h + 104, 56);
    put_fourcc(h + 108, "vids");
    put_fourcc(h + 112, fourcc);
    put32(h + 128, 1);
    put32(h + 132, static_cast<uint32_t>(rate));
    put32(h + 148, 0xFFFFFFFFu); // default quality
    put16(h + 160, width);
    put16(h + 162, height);
    put_fourcc(h + 164, "strf");
    put32(h + 168, 40);
    put32(h + 172, 40);
    put32(h + 176, width);
    put32(h + 180, height);
    put16(h + 184, 1);  // planes
    put16(h + 186, 24); // bits per pixel
    put_fourcc(h + 188, fourcc);
    put32(h + 192, width * height * 3);
    put_fourcc(h + 212, "LIST");
    put_fourcc(h + kMoviFourcc, "movi");
    avi->codec = first.codec;
    avi->started = true;
    return write_bytes(avi, h, sizeof h);
}

bool write_index(zq_avi *avi)
{
    unsigned char head[8];
    put_fourcc(head, "idx1");
    put32(head + 4, static_cast<uint32_t>(avi->index.size() * 16));
    if (!write_bytes(avi, head, sizeof head))
        return false;
    for (const IndexEntry &entry : avi->index) {
        unsigned char row[16];
        put_fourcc(row, "00dc");
        put32(row + 4, entry.flags);
        put32(row + 8, entry.offset);
        put32(row + 12, entry.size);
        if (!write_bytes(avi, row, sizeof row))
            return false;
    }
    return true;
}

bool patch32(zq_avi *avi, size_t offset, uint32_t value)
{
    unsigned char bytes[4];
    put32(bytes, value);
    return fseeko(avi->fp, avi->base + static_cast<off_t>(offset), SEEK_SET) == 0 &&
           fwrite(bytes, 1, sizeof bytes, avi->fp) == sizeof bytes;
}

// The sizes and counts left 0 while writing, on a stream that can seek.
bool fill_in_sizes(zq_avi *avi, uint64_t movi_end)
{
    const auto frames = static_cast<uint32_t>(avi->index.size());
    const bool patched = patch32(avi, kRiffSize, static_cast<uint32_t>(avi->written - 8)) &&
                         patch32(avi, kAvihTotalFrames, frames) && patch32(avi, kStrhLength, frames) &&
                         patch32(avi, kMoviSize, static_cast<uint32_t>(movi_end - kMoviSize - 4));
    return fseeko(avi->fp, avi->base + static_cast<off_t>(avi->written), SEEK_SET) == 0 && patched;
}

} // namespace

zq_avi *zq_avi_open_fp(FILE *fp)
{
    if (fp == nullptr)
        return nullptr;
    auto *avi = new (std::nothrow) zq_avi;
    if (avi == nullptr)
        return nullptr;
    avi->fp = fp;
    // A stream opened for appending writes at its end whatever the position:
    // its sizes are never filled in.
    const int mode = fcntl(fileno(fp), F_GETFL);
    avi->base = mode != -1 && (mode & O_APPEND) == 0 ? ftello(fp) : -1;
    return avi;
}

int zq_avi_write_fp_ex(zq_avi *avi, const void *header, const void *data, int length)
{
    if (avi == nullptr || header == nullptr || length < 0 || (length > 0 && data == nullptr))
        return -1;
    zq_frame_header frame;
    memcpy(&frame, header, sizeof frame);
    if (frame.data_length != length || avi->failed)
        return -1;
    if (frame.frame_type != kFrameTypeVideo)
        return 0;
    if (!avi->started && !write_headers(avi, frame))
        return -1;
    const auto size = static_cast<uint32_t>(length);
    const uint32_t padded = size + (size & 1);
    if (frame.codec != avi->codec ||
        avi->written + 8 + padded + 16 * (avi->index.size() + 1) + 8 > kMaxFileBytes)
        return -1;
    const IndexEntry entry{frame.key_frame != 0 ? kAviIndexKeyFrame : 0,
                           static_cast<uint32_t>(avi->written - kMoviFourcc), size};
    unsigned char head[8];
    put_fourcc(head, "00dc");
    put32(head + 4, size);
    if (!write_chunk(avi, head, data, size))
        return -1;
    avi->index.push_back(entry);
    return 0;
}

bool zq_avi_failed(const zq_avi *avi) { return avi == nullptr || avi->failed; }

int zq_avi_close_fp(zq_avi *avi, int /*flag*/)
{
    if (avi == nullptr)
        return -1;
    bool ok = !avi->failed;
    if (ok && !avi->started) {
        zq_frame_header none{};
        ok = write_headers(avi, none);
    }
    const uint64_t movi_end = avi->written;
    ok = ok && write_index(avi) && fflush(avi->fp) == 0;
    if (ok && avi->base >= 0)
        ok = fill_in_sizes(avi, movi_end) && fflush(avi->fp) == 0;
    delete avi;
    return ok ? 0 : -1;
}
