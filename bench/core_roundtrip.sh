#!/bin/sh
# Wall time of one request that waits for the core daemon ("/8008", coresim
# answering at once) against one that dispatches to an unknown path, in one
# run. The difference is what the channel costs a request.
set -eu
cd "$(dirname "$0")/.."
. bench/lib.sh
build_helpers
root=$(mktemp -d)
mkdir -p "$root/var/run" "$root/mnt/nand/app"
NVR_ROOT="$root" build/bin/coresim --demo --ready "$root/ready" >/dev/null 2>&1 &
coresim=$!
trap 'kill $coresim 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$root"' EXIT
i=0
while [ ! -f "$root/ready" ] && [ $i -lt 100 ]; do sleep 0.05; i=$((i + 1)); done

runs=${RUNS:-300}
unknown=$(wall_time_us "NVR_ROOT=$root REQUEST_METHOD=GET PATH_INFO=/unknown" "$runs" build/bin/nvrweb.cgi)
usage=$(wall_time_us "NVR_ROOT=$root REQUEST_METHOD=GET PATH_INFO=/8008" "$runs" build/bin/nvrweb.cgi)
echo "core roundtrip: unknown path $unknown us, /8008 $usage us per request ($runs runs each)"
echo "core roundtrip: /8008 costs $(awk -v a="$usage" -v b="$unknown" 'BEGIN { printf "%.0f", a - b }') us more (target < 2000)"
