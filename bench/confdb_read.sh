#!/bin/sh
# Configuration reads of one request (20 keys, 5 records, one process)
# against the smallest dynamically linked C program, in instructions.
set -eu
cd "$(dirname "$0")/.."
. bench/lib.sh
build_helpers
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
NVR_ROOT="$root" build/bin/nvrconf init --demo >/dev/null
for user in admin op1 op2 op3 op4; do
    NVR_ROOT="$root" build/bin/nvrconf passwd "$user" "bench-$user" >/dev/null
done

c_ins=$(instructions "" "$bench_out/trivial_ok")
read_ins=$(instructions "NVR_ROOT=$root" build/bin/bench_confdb_request)
echo "confdb read: trivial C program $c_ins instructions; 20 keys + 5 records $read_ins instructions"
echo "confdb read: ratio $(ratio "$read_ins" "$c_ins") (target <= 4.00)"
