// The 88-byte header the core daemon puts in front of every recorded frame
// it replays, shared by the export's reassembly, the AVI writer and the
// core daemon stand-in. All integers little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t kFrameHeaderSize = 88;

// What a frame carries.
constexpr int32_t kFrameTypeVideo = 0;
constexpr int32_t kFrameTypeAudio = 1;

// Video codecs of a frame.
constexpr int32_t kFrameCodecH264 = 0;
constexpr int32_t kFrameCodecH265 = 1;

#pragma pack(push, 1)
struct zq_frame_header {
    int32_t frame_type; // kFrameTypeVideo or kFrameTypeAudio
    int32_t codec;      // kFrameCodecH264 or kFrameCodecH265
    int32_t key_frame;  // 1 for a frame a decoder can start at
    int32_t width;      // picture size in pixels
    int32_t height;
    int32_t frame_rate;  // frames per second of the recording
    int64_t time_stamp;  // capture time, milliseconds since the epoch
    int32_t channel;     // recorder channel, 0 based
    int32_t sequence;    // frame number within the recording
    int32_t data_length; // bytes of frame data that follow the header
    char reserved[44];
};
#pragma pack(pop)

static_assert(sizeof(zq_frame_header) == kFrameHeaderSize);
static_assert(offsetof(zq_frame_header, time_stamp) == 24);
static_assert(offsetof(zq_frame_header, data_length) == 40);
