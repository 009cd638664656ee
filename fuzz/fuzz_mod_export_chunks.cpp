// Feeds arbitrary frame chunks to a running recording export: the stream
// module's reply callback with reply 6173, reassembly, the frame queue and
// the AVI writer (onto /dev/null). Input: pieces of a two-byte little-endian
// length followed by that many payload bytes, each handed over as one reply.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/ipc.h"
#include "core/ipc_timing.h"
#include "modules/stream/remote_backup.h"
#include "modules/stream/stream.h"
#include "platform/msgsock/msgsock.h"

// The writer task polls every millisecond, so its idle limit outlasts an input.
IpcTiming ipc_timing() { return IpcTiming{1, 0, 1}; }

namespace {

FILE *g_sink = nullptr;

void hand_over(const std::vector<char> &payload)
{
    const MsgHeader header{1, 0, kReplyExportChunk, static_cast<uint32_t>(payload.size())};
    unsigned char header_bytes[kMsgHeaderSize];
    msg_header_encode(header, header_bytes);
    on_stream_callback(nullptr, reinterpret_cast<const char *>(header_bytes),
                       payload.empty() ? "" : payload.data());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    g_sink = fopen("/dev/null", "w");
    return g_sink != nullptr ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    zq_avi *avi = nullptr;
    if (remote_backup_zqfs_open(g_sink, &avi) != 0)
        abort();
    for (size_t at = 0; at + 2 <= size;) {
        const size_t length = data[at] | static_cast<size_t>(data[at + 1]) << 8;
        at += 2;
        const size_t taken = length < size - at ? length : size - at;
        // The payload in a buffer of its own size, so any read past it is seen.
        hand_over(std::vector<char>(data + at, data + at + taken));
        at += taken;
    }
    remote_backup_zqfs_close(avi);
    return 0;
}
