// The AVI writer checked on the bytes it produces: the RIFF structure and
// its sizes, the stream headers, the frame chunks and the index with its
// key frame flags, on a file that can seek and on a pipe that cannot.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/avi/avi.h"
#include "platform/avi/frame_header.h"

namespace {

uint32_t le32(const std::string &bytes, size_t at)
{
    uint32_t value = 0;
    memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

std::string fourcc(const std::string &bytes, size_t at) { return bytes.substr(at, 4); }

zq_frame_header video_header(int32_t length, bool key, int32_t codec = kFrameCodecH264)
{
    zq_frame_header header{};
    header.frame_type = kFrameTypeVideo;
    header.codec = codec;
    header.key_frame = key ? 1 : 0;
    header.width = 320;
    header.height = 240;
    header.frame_rate = 25;
    header.data_length = length;
    return header;
}

struct Frame {
    std::string data;
    bool key;
};

std::string read_all(FILE *fp)
{
    std::string bytes;
    rewind(fp);
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, fp)) > 0;)
        bytes.append(buffer, got);
    return bytes;
}

void write_frames(zq_avi *avi, const std::vector<Frame> &frames)
{
    for (const Frame &frame : frames) {
        const zq_frame_header header = video_header(static_cast<int32_t>(frame.data.size()), frame.key);
        ASSERT_EQ(zq_avi_write_fp_ex(avi, &header, frame.data.data(), static_cast<int>(frame.data.size())),
                  0);
    }
}

// Walks "movi" and the index; `sized` when the stream could seek and the
// sizes were filled in.
void expect_structure(const std::string &file, const std::vector<Frame> &frames, bool sized)
{
    ASSERT_GE(file.size(), 232u);
    EXPECT_EQ(fourcc(file, 0), "RIFF");
    EXPECT_EQ(fourcc(file, 8), "AVI ");
    EXPECT_EQ(fourcc(file, 12), "LIST");
    EXPECT_EQ(fourcc(file, 20), "hdrl");
    EXPECT_EQ(le32(file, 16), 192u);
    EXPECT_EQ(fourcc(file, 24), "avih");
    EXPECT_EQ(le32(file, 32), 40000u); // microseconds a frame at 25 a second
    EXPECT_EQ(le32(file, 56), 1u);
    EXPECT_EQ(le32(file, 64), 320u);
    EXPECT_EQ(le32(file, 68), 240u);
    EXPECT_EQ(fourcc(file, 96), "strl");
    EXPECT_EQ(fourcc(file, 108), "vids");
    EXPECT_EQ(fourcc(file, 112), "H264");
    EXPECT_EQ(le32(file, 132), 25u);
    EXPECT_EQ(fourcc(file, 164), "strf");
    EXPECT_EQ(fourcc(file, 188), "H264");
    EXPECT_EQ(fourcc(file, 212), "LIST");
    EXPECT_EQ(fourcc(file, 220), "movi");

    size_t at = 224;
    std::vector<size_t> chunk_offsets;
    for (const Frame &frame : frames) {
        ASSERT_LE(at + 8 + frame.data.size(), file.size());
        EXPECT_EQ(fourcc(file, at), "00dc");
        EXPECT_EQ(le32(file, at + 4), frame.data.size());
        EXPECT_EQ(file.substr(at + 8, frame.data.size()), frame.data);
        chunk_offsets.push_back(at - 220);
        at += 8 + frame.data.size() + (frame.data.size() & 1);
    }
    const size_t movi_end = at;
    ASSERT_LE(at + 8, file.size());
    EXPECT_EQ(fourcc(file, at), "idx1");
    EXPECT_EQ(le32(file, at + 4), 16 * frames.size());
    EXPECT_EQ(file.size(), at + 8 + 16 * frames.size());
    for (size_t index = 0; index < frames.size(); ++index) {
        const size_t row = at + 8 + 16 * index;
        EXPECT_EQ(fourcc(file, row), "00dc");
        EXPECT_EQ(le32(file, row + 4), frames[index].key ? kAviIndexKeyFrame : 0u) << index;
        EXPECT_EQ(le32(file, row + 8), chunk_offsets[index]);
        EXPECT_EQ(le32(file, row + 12), frames[index].data.size());
    }
    const uint32_t frame_count = sized ? static_cast<uint32_t>(frames.size()) : 0;
    EXPECT_EQ(le32(file, 4), sized ? file.size() - 8 : 0u);
    EXPECT_EQ(le32(file, 216), sized ? movi_end - 220 : 0u);
    EXPECT_EQ(le32(file, 48), frame_count);
    EXPECT_EQ(le32(file, 140), frame_count);
}

const std::vector<Frame> kFrames = {
    {std::string("\0\0\0\1\x09\x10\0\0\0\1\x65key", 14), true},
    {"odd", false}, // an odd length is padded to an even chunk
    {"next", false},
    {std::string(70000, 'x'), true},
};

} // namespace

TEST(AviWriter, FileThatCanSeekGetsItsSizesFilledIn)
{
    FILE *fp = tmpfile();
    ASSERT_NE(fp, nullptr);
    fputs("headers\r\n\r\n", fp); // the writer starts where the stream stands
    zq_avi *avi = zq_avi_open_fp(fp);
    ASSERT_NE(avi, nullptr);
    write_frames(avi, kFrames);
    ASSERT_EQ(zq_avi_close_fp(avi, 0), 0);
    const std::string bytes = read_all(fp);
    fclose(fp);
    ASSERT_EQ(bytes.substr(0, 11), "headers\r\n\r\n");
    expect_structure(bytes.substr(11), kFrames, true);
}

TEST(AviWriter, PipeGetsTheSameFramesAndIndexWithOpenSizes)
{
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    std::string received;
    std::thread reader([&] {
        char buffer[4096];
        for (ssize_t got; (got = read(ends[0], buffer, sizeof buffer)) > 0;)
            received.append(buffer, static_cast<size_t>(got));
    });
    FILE *fp = fdopen(ends[1], "w");
    zq_avi *avi = zq_avi_open_fp(fp);
    write_frames(avi, kFrames);
    EXPECT_EQ(zq_avi_close_fp(avi, 0), 0);
    fclose(fp);
    reader.join();
    close(ends[0]);
    expect_structure(received, kFrames, false);
}

TEST(AviWriter, NoFrameStillMakesAWholeFile)
{
    FILE *fp = tmpfile();
    zq_avi *avi = zq_avi_open_fp(fp);
    ASSERT_EQ(zq_avi_close_fp(avi, 0), 0);
    const std::string bytes = read_all(fp);
    fclose(fp);
    ASSERT_EQ(bytes.size(), 232u);
    EXPECT_EQ(le32(bytes, 4), 224u);
    EXPECT_EQ(fourcc(bytes, 224), "idx1");
    EXPECT_EQ(le32(bytes, 228), 0u);
}

TEST(AviWriter, RefusesFramesThatDoNotFitTheStream)
{
    FILE *fp = tmpfile();
    zq_avi *avi = zq_avi_open_fp(fp);
    const char data[8] = "abcdefg";
    const zq_frame_header hevc = video_header(8, true, kFrameCodecH265);
    ASSERT_EQ(zq_avi_write_fp_ex(avi, &hevc, data, 8), 0);
    const zq_frame_header h264 = video_header(8, true);
    EXPECT_EQ(zq_avi_write_fp_ex(avi, &h264, data, 8), -1); // another codec
    EXPECT_EQ(zq_avi_write_fp_ex(avi, &hevc, data, 7), -1); // length not the header's
    EXPECT_EQ(zq_avi_write_fp_ex(avi, nullptr, data, 8), -1);
    zq_frame_header audio = hevc;
    audio.frame_type = kFrameTypeAudio;
    EXPECT_EQ(zq_avi_write_fp_ex(avi, &audio, data, 8), 0); // left out
    ASSERT_EQ(zq_avi_close_fp(avi, 0), 0);
    const std::string bytes = read_all(fp);
    fclose(fp);
    EXPECT_EQ(fourcc(bytes, 112), "HEVC");
    EXPECT_EQ(le32(bytes, 48), 1u);
    EXPECT_EQ(bytes.size(), 224u + 16 + 8 + 16);
    EXPECT_EQ(zq_avi_open_fp(nullptr), nullptr);
}

TEST(AviWriter, FailedOutputIsReported)
{
    FILE *fp = fopen("/dev/full", "w");
    ASSERT_NE(fp, nullptr);
    setvbuf(fp, nullptr, _IONBF, 0);
    zq_avi *avi = zq_avi_open_fp(fp);
    const zq_frame_header header = video_header(4, true);
    EXPECT_FALSE(zq_avi_failed(avi));
    EXPECT_EQ(zq_avi_write_fp_ex(avi, &header, "abcd", 4), -1);
    EXPECT_TRUE(zq_avi_failed(avi)); // the export's writer task stops on it
    EXPECT_EQ(zq_avi_write_fp_ex(avi, &header, "abcd", 4), -1);
    EXPECT_EQ(zq_avi_close_fp(avi, 0), -1);
    fclose(fp);
}
