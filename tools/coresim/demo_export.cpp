// Recording export part of the demo device: an export of a recorded
// channel (0 to 2, as the demo recordings have them) replays a short real
// H.264 clip (320x240, 25 frames a second, two seconds, one key frame a
// second) as the core daemon replays frames: 614496-byte chunks, each an
// 88-byte frame header, the continuation marker, the chunk length and the
// data, then the end-of-data chunk. The clip is embedded from
// demo_clip.h264 (Annex B, an access unit delimiter before every frame;
// make_demo_clip.sh makes it).
#include <algorithm>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "demo.h"
#include "modules/stream/stream_records.h"
#include "platform/avi/frame_header.h"

extern "C" const unsigned char demo_clip_start[];
extern "C" const unsigned char demo_clip_end[];

// NVR_DEMO_CLIP is the clip's path, set by the build.
asm(".section .rodata\n"
    ".global demo_clip_start\n"
    ".global demo_clip_end\n"
    ".balign 16\n"
    "demo_clip_start:\n"
    ".incbin \"" NVR_DEMO_CLIP "\"\n"
    "demo_clip_end:\n"
    ".previous\n");

namespace {

constexpr int32_t kClipWidth = 320;
constexpr int32_t kClipHeight = 240;
constexpr int32_t kClipFrameRate = 25;
constexpr int32_t kRecordedChannels = 3;
constexpr int kNalDelimiter = 9;
constexpr int kNalIdrSlice = 5;

struct ClipFrame {
    size_t offset;
    size_t length;
    bool key;
};

// Offset of the start code (00 00 01, or 00 00 00 01) at or after `from`.
size_t next_start_code(const unsigned char *data, size_t size, size_t from)
{
    for (size_t at = from; at + 3 <= size; ++at)
        if (data[at] == 0 && data[at + 1] == 0 && data[at + 2] == 1)
            return at > from && data[at - 1] == 0 ? at - 1 : at;
    return size;
}

// The clip's frames: each starts at an access unit delimiter.
std::vector<ClipFrame> clip_frames()
{
    const unsigned char *data = demo_clip_start;
    const auto size = static_cast<size_t>(demo_clip_end - demo_clip_start);
    std::vector<ClipFrame> frames;
    for (size_t at = next_start_code(data, size, 0); at < size;) {
        const size_t code_end = at + (data[at + 2] == 1 ? 3 : 4);
        const int nal_type = code_end < size ? data[code_end] & 0x1f : 0;
        if (nal_type == kNalDelimiter || frames.empty())
            frames.push_back({at, 0, false});
        frames.back().key = frames.back().key || nal_type == kNalIdrSlice;
        at = next_start_code(data, size, code_end);
        frames.back().length = at - frames.back().offset;
    }
    return frames;
}

std::string chunk(const zq_frame_header &header, int32_t continued, int32_t length, const unsigned char *data)
{
    std::string payload(kExportChunkSize, '\0');
    memcpy(payload.data(), &header, sizeof header);
    memcpy(payload.data() + kExportChunkMarker, &continued, sizeof continued);
    memcpy(payload.data() + kExportChunkLength, &length, sizeof length);
    if (length > 0)
        memcpy(payload.data() + kExportChunkHead, data, static_cast<size_t>(length));
    return payload;
}

// Replays the clip from the export's start time, then ends the data.
void on_export_recording(const CoreMessage &request, Answer &answer)
{
    export_request stretch;
    const bool known =
        demo_payload_as(request, &stretch) && stretch.channel >= 0 && stretch.channel < kRecordedChannels;
    struct tm start {};
    const char *end = known
                          ? strptime(std::string(stretch.start_time, strnlen(stretch.start_time, 32)).c_str(),
                                     "%Y-%m-%d %H:%M:%S", &start)
                          : nullptr;
    if (end != nullptr) {
        start.tm_isdst = -1;
        const int64_t start_ms = static_cast<int64_t>(mktime(&start)) * 1000;
        int32_t sequence = 0;
        for (const ClipFrame &frame : clip_frames()) {
            zq_frame_header header{};
            header.frame_type = kFrameTypeVideo;
            header.codec = kFrameCodecH264;
            header.key_frame = frame.key ? 1 : 0;
            header.width = kClipWidth;
            header.height = kClipHeight;
            header.frame_rate = kClipFrameRate;
            header.time_stamp = start_ms + sequence * 1000 / kClipFrameRate;
            header.channel = stretch.channel;
            header.sequence = sequence++;
            header.data_length = static_cast<int32_t>(frame.length);
            for (size_t sent = 0; sent < frame.length;) {
                const size_t piece = std::min(frame.length - sent, static_cast<size_t>(kExportChunkData));
                answer.push_back(AnswerStep::reply(
                    kReplyExportChunk, chunk(header, sent == 0 ? 0 : 1, static_cast<int32_t>(piece),
                                             demo_clip_start + frame.offset + sent)));
                sent += piece;
            }
        }
    }
    answer.push_back(
        AnswerStep::reply(kReplyExportChunk, chunk(zq_frame_header{}, 0, kExportEndOfData, nullptr)));
}

// A cancel needs no answer: the browser has stopped reading the export.
void on_stop_export(const CoreMessage &, Answer &) {}

const DemoRow kExportRows[] = {
    {kMsgExportRecording, on_export_recording},
    {kMsgStopExport, on_stop_export},
};

} // namespace

NVR_DEMO_ROWS(kExportRows)
