// AVI writer: one H.264 or H.265 video stream written front to back onto a
// stream that need not seek (the export writes onto the CGI's standard
// output, a pipe). The stream headers are taken from the first video frame;
// every frame becomes a "00dc" chunk; the index ("idx1", key frames
// flagged) follows the frames at close. Sizes that are only known at the
// end (the RIFF and "movi" sizes, the frame counts) are written as 0 ("to
// the end of the file") on a pipe and filled in when the stream can seek.
#pragma once

#include <cstdint>
#include <cstdio>

struct zq_avi;

// The AVI flag of an index entry whose frame is a key frame.
constexpr uint32_t kAviIndexKeyFrame = 0x10;

// A writer onto `fp` (left open; the caller owns it), or null for a null
// stream or no memory. Nothing is written before the first frame.
zq_avi *zq_avi_open_fp(FILE *fp);
// Writes one frame: its 88-byte header (`header`, a zq_frame_header) and its
// `length` bytes of data. Frames that are not video are left out (0).
// -1 for a missing argument, a length that does not match the header, a
// codec other than the first frame's, a file that would outgrow the 32-bit
// index offsets, or a failed write (the writer then refuses every later
// frame).
int zq_avi_write_fp_ex(zq_avi *avi, const void *header, const void *data, int length);
// True once a write failed (the output is gone) or for a null writer.
bool zq_avi_failed(const zq_avi *avi);
// Writes the index (and the headers, when no frame came), fills in the
// sizes when the stream can seek, flushes and frees the writer. `flag` is
// kept for the callers' sake and unused. -1 when a write failed.
int zq_avi_close_fp(zq_avi *avi, int flag);
