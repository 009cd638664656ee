// The 24-byte frame header shared by the program and the core daemon.
#include <cstring>

#include "platform/msgsock/msgsock.h"

namespace {

constexpr unsigned char kMagic[4] = {'N', 'V', 'R', 'M'};

void put_u32(unsigned char *at, uint32_t value)
{
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
    at[2] = static_cast<unsigned char>(value >> 16);
    at[3] = static_cast<unsigned char>(value >> 24);
}

uint32_t get_u32(const unsigned char *at)
{
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
           static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
}

} // namespace

void msg_header_encode(const MsgHeader &header, unsigned char out[kMsgHeaderSize])
{
    memcpy(out + kMsgOffMagic, kMagic, sizeof kMagic);
    put_u32(out + kMsgOffSeq, header.seq);
    put_u32(out + kMsgOffFlags, header.flags);
    put_u32(out + kMsgOffCode, static_cast<uint32_t>(header.code));
    put_u32(out + kMsgOffReserved, 0);
    put_u32(out + kMsgOffSize, header.size);
}

int msg_header_decode(const unsigned char *bytes, size_t length, MsgHeader *out)
{
    if (bytes == nullptr || out == nullptr || length < kMsgHeaderSize)
        return -1;
    if (memcmp(bytes + kMsgOffMagic, kMagic, sizeof kMagic) != 0)
        return -1;
    out->seq = get_u32(bytes + kMsgOffSeq);
    out->flags = get_u32(bytes + kMsgOffFlags);
    out->code = static_cast<int32_t>(get_u32(bytes + kMsgOffCode));
    out->size = get_u32(bytes + kMsgOffSize);
    return out->size > kMsgMaxPayload ? -1 : 0;
}
