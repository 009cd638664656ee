// Feeds arbitrary bytes as a stream of core replies to the receive loop's
// frame reader, with a callback that touches every payload byte it is given.
#include <cstdint>
#include <cstring>

#include "core/ipc.h"
#include "platform/msgsock/msgsock.h"

namespace {

int touch_reply(void *context, const char *header, const char *payload)
{
    if (header == nullptr || payload == nullptr || memcmp(header, "NVRM", 4) != 0)
        __builtin_trap();
    const unsigned size = ipc_reply_size(header);
    if (size > kMsgMaxPayload)
        __builtin_trap();
    unsigned sum = 0;
    for (unsigned at = 0; at < size; ++at)
        sum += static_cast<unsigned char>(payload[at]);
    *static_cast<unsigned *>(context) += sum + static_cast<unsigned>(ipc_reply_code(header));
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    unsigned sink = 0;
    msg_parse_frames(data, size, touch_reply, &sink);
    return 0;
}
