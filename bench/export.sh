#!/bin/sh
# Recording export throughput and memory: a core daemon streams MB (default
# 200) megabytes of frames in 614496-byte chunks to "/4013", whose AVI goes
# through a pipe; against cat of the same bytes through a pipe, in one run.
# Then the peak resident size of a 100 MB and a 1 GB export (LARGE_MB).
# CGI names the program to measure (default build/bin/nvrweb.cgi).
set -eu
cd "$(dirname "$0")/.."
. bench/lib.sh
build_helpers
cc -O2 -o "$bench_out/runstat" bench/runstat.c
mb=${MB:-200}
large=${LARGE_MB:-1024}
cgi=${CGI:-build/bin/nvrweb.cgi}
root=$(mktemp -d)
mkdir -p "$root/var/run" "$root/mnt/nand/app" "$root/dev/shm" "$root/tmp"
core=""
trap '[ -n "$core" ] && kill $core 2>/dev/null; wait 2>/dev/null || true; rm -rf "$root"' EXIT

start_core() {
    [ -n "$core" ] && kill $core 2>/dev/null && wait $core 2>/dev/null || true
    rm -f "$root/ready"
    NVR_ROOT="$root" build/bin/bench_export_core "$1" "$root/ready" &
    core=$!
    i=0
    while [ ! -f "$root/ready" ] && [ $i -lt 100 ]; do sleep 0.05; i=$((i + 1)); done
}

# The daemon is up before the login, whose log message would otherwise
# wait out its send retries.
start_core "$mb"
session=$(root_login "$root" build/bin bench)
[ -n "$session" ] || { echo "export: the login failed" >&2; exit 1; }
body='{"id": 0, "startTime": "2024-01-02T03:04:05Z", "endTime": "2024-01-02T04:04:05Z"}'

export_cmd="printf '%s' '$body' | env NVR_ROOT=$root REQUEST_METHOD=POST PATH_INFO=/4013 \
CONTENT_TYPE=application/json HTTP_COOKIE='userName=admin;sessionId=$session' $cgi"

sh -c "$export_cmd" >"$root/export.avi"
bytes=$(wc -c <"$root/export.avi")
export_us=$("$bench_out/runstat" sh -c "$export_cmd | cat" </dev/null | cut -d' ' -f1)
cat_us=$("$bench_out/runstat" sh -c "cat '$root/export.avi' | cat" </dev/null | cut -d' ' -f1)
rm -f "$root/export.avi"
echo "export: $bytes bytes, /4013 $export_us us, cat through a pipe $cat_us us"
echo "export: throughput ratio $(ratio "$cat_us" "$export_us") of cat (target >= 0.50)"

start_core 100
small_kb=$("$bench_out/runstat" sh -c "$export_cmd" </dev/null | cut -d' ' -f2)
start_core "$large"
large_kb=$("$bench_out/runstat" sh -c "$export_cmd" </dev/null | cut -d' ' -f2)
echo "export: peak resident 100 MB export $small_kb kB, $large MB export $large_kb kB"
echo "export: memory ratio $(ratio "$large_kb" "$small_kb") (target <= 1.20)"
