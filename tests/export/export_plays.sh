#!/bin/sh
# A recording export of the demo device read back by ffprobe and ffmpeg:
# one H.264 video stream with as many frames as the clip has, and the
# frames' bytes (copied out with ffmpeg -c copy) equal to the clip's.
# Usage: export_plays.sh BUILD_BIN_DIR CLIP
set -eu
. "$(dirname "$0")/../support/demo_login.sh"
bin=$1
clip=$2
command -v ffprobe >/dev/null || { echo "ffprobe missing: skipped"; exit 77; }
root=$(mktemp -d)
mkdir -p "$root/var/run" "$root/mnt/nand/app" "$root/dev/shm" "$root/tmp"
NVR_ROOT="$root" "$bin/coresim" --demo --ready "$root/ready" >/dev/null 2>&1 &
coresim=$!
trap 'kill $coresim 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$root"' EXIT
wait_ready "$root/ready"

session=$(root_login "$root" "$bin" export)
[ -n "$session" ] || { echo "the login failed" >&2; exit 1; }

printf '{"id": 1, "startTime": "2024-01-02T03:04:05Z", "endTime": "2024-01-02T03:05:05Z"}' |
    env NVR_ROOT="$root" REQUEST_METHOD=POST PATH_INFO=/4013 CONTENT_TYPE=application/json \
        HTTP_COOKIE="userName=admin;sessionId=$session" "$bin/nvrweb.cgi" | cat >"$root/download"
# The file follows the two header lines and the blank line.
python3 -c 'import sys; d = open(sys.argv[1], "rb").read(); open(sys.argv[2], "wb").write(d[d.index(b"\r\n\r\n") + 4:])' \
    "$root/download" "$root/export.avi"

streams=$(ffprobe -v error -count_frames -show_entries stream=codec_type,codec_name,nb_read_frames \
    -of csv=p=0 "$root/export.avi")
frames=$(ffprobe -v error -count_frames -show_entries stream=nb_read_frames -of csv=p=0 "$clip")
echo "streams: $streams; clip frames: $frames"
[ "$streams" = "h264,video,$frames" ] || { echo "unexpected streams" >&2; exit 1; }
ffmpeg -v error -i "$root/export.avi" -c copy -f h264 "$root/frames.h264"
cmp "$root/frames.h264" "$clip"
echo "export plays: $frames frames, bytes equal to the clip"
