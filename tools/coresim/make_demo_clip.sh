#!/bin/sh
# Makes the demo device's recording clip: two seconds of a test picture,
# 320x240 at 25 frames a second, H.264 baseline in Annex B form with an
# access unit delimiter before every frame and a key frame every second.
set -e
ffmpeg -hide_banner -loglevel error -y -f lavfi -i testsrc2=size=320x240:rate=25 -t 2 \
  -c:v libx264 -profile:v baseline -preset veryfast -crf 32 -g 25 -pix_fmt yuv420p \
  -x264-params aud=1 -bsf:v h264_mp4toannexb -f h264 "$(dirname "$0")/demo_clip.h264"
