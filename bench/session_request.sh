#!/bin/sh
# One logged-in request that waits for the core daemon ("/8008", coresim
# answering at once) against the trivial C program, in instructions, in one
# run; and the wall time of that request against an unknown path.
set -eu
cd "$(dirname "$0")/.."
. bench/lib.sh
build_helpers
root=$(mktemp -d)
mkdir -p "$root/var/run" "$root/mnt/nand/app" "$root/dev/shm"
NVR_ROOT="$root" build/bin/coresim --demo --ready "$root/ready" >/dev/null 2>&1 &
coresim=$!
trap 'kill $coresim 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$root"' EXIT
wait_ready "$root/ready"

session=$(root_login "$root" build/bin bench)
[ -n "$session" ] || { echo "session_request: the login failed" >&2; exit 1; }
cookie="userName=admin;sessionId=$session"

c_ins=$(instructions "" "$bench_out/trivial_ok")
usage_ins=$(instructions "NVR_ROOT=$root REQUEST_METHOD=GET PATH_INFO=/8008 HTTP_COOKIE=$cookie" build/bin/nvrweb.cgi)
echo "session request: trivial C program $c_ins instructions, /8008 with a live session $usage_ins instructions"
echo "session request: /8008 instructions ratio $(ratio "$usage_ins" "$c_ins") (target <= 1.00)"

runs=${RUNS:-300}
unknown=$(wall_time_us "NVR_ROOT=$root REQUEST_METHOD=GET PATH_INFO=/unknown" "$runs" build/bin/nvrweb.cgi)
usage=$(wall_time_us "NVR_ROOT=$root REQUEST_METHOD=GET PATH_INFO=/8008 HTTP_COOKIE=$cookie" "$runs" build/bin/nvrweb.cgi)
echo "session request: unknown path $unknown us, /8008 $usage us per request ($runs runs each)"
