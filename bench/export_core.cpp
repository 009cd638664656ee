// A core daemon for the export benchmark: listens on the core socket of
// NVR_ROOT and answers every 1173 with MEGABYTES of frames, one full
// 614496-byte chunk of 614400 data bytes per frame (a key frame every 25),
// then the end of data. Other messages are read and dropped.
// Usage: bench_export_core MEGABYTES READY_FILE
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "modules/stream/stream_records.h"
#include "platform/avi/frame_header.h"
#include "platform/msgsock/msgsock.h"
#include "platform/sysutil/nvr_path.h"

namespace {

bool read_exactly(int fd, void *out, size_t length)
{
    auto *at = static_cast<char *>(out);
    while (length > 0) {
        const ssize_t got = read(fd, at, length);
        if (got <= 0)
            return false;
        at += got;
        length -= static_cast<size_t>(got);
    }
    return true;
}

bool write_all(int fd, const void *data, size_t length)
{
    const auto *at = static_cast<const char *>(data);
    while (length > 0) {
        const ssize_t put = write(fd, at, length);
        if (put <= 0)
            return false;
        at += put;
        length -= static_cast<size_t>(put);
    }
    return true;
}

bool send_chunk(int fd, uint32_t seq, std::vector<char> &chunk, const zq_frame_header &header, int32_t length)
{
    memcpy(chunk.data(), &header, sizeof header);
    const int32_t first = 0;
    memcpy(chunk.data() + kExportChunkMarker, &first, sizeof first);
    memcpy(chunk.data() + kExportChunkLength, &length, sizeof length);
    unsigned char head[kMsgHeaderSize];
    msg_header_encode(MsgHeader{seq, 0, kReplyExportChunk, static_cast<uint32_t>(chunk.size())}, head);
    return write_all(fd, head, sizeof head) && write_all(fd, chunk.data(), chunk.size());
}

void stream_frames(int fd, uint32_t seq, long megabytes)
{
    std::vector<char> chunk(kExportChunkSize, 'v');
    const long frames = megabytes * (1L << 20) / kExportChunkData;
    zq_frame_header header{};
    header.frame_type = kFrameTypeVideo;
    header.width = 1920;
    header.height = 1080;
    header.frame_rate = 25;
    header.data_length = kExportChunkData;
    for (long frame = 0; frame < frames; ++frame) {
        header.key_frame = frame % 25 == 0 ? 1 : 0;
        header.sequence = static_cast<int32_t>(frame);
        if (!send_chunk(fd, seq, chunk, header, kExportChunkData))
            return;
    }
    send_chunk(fd, seq, chunk, zq_frame_header{}, kExportEndOfData);
}

void serve(int fd, long megabytes)
{
    unsigned char head[kMsgHeaderSize];
    MsgHeader header;
    while (read_exactly(fd, head, sizeof head) && msg_header_decode(head, sizeof head, &header) == 0) {
        std::string payload(header.size, '\0');
        if (!read_exactly(fd, payload.data(), payload.size()))
            break;
        if (header.code == kMsgExportRecording)
            stream_frames(fd, header.seq, megabytes);
    }
    close(fd);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    const long megabytes = strtol(argv[1], nullptr, 10);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    nvr_path(address.sun_path, sizeof address.sun_path, kCoreSocketPath);
    unlink(address.sun_path);
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    if (listener < 0 || bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        listen(listener, 8) != 0)
        return 1;
    if (FILE *ready = fopen(argv[2], "w"))
        fclose(ready);
    for (;;) {
        const int fd = accept(listener, nullptr, nullptr);
        if (fd >= 0)
            serve(fd, megabytes);
    }
}
