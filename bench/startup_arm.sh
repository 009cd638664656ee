#!/bin/sh
# Start-up of the board's build under qemu-user, for the record: the CGI
# dispatching an unknown path against the smallest dynamically linked C
# program, mean wall time of many runs. The emulator's own start dominates
# both, so the ratio says less than the native instruction count does.
set -eu
cd "$(dirname "$0")/.."
. bench/lib.sh
build_helpers
arm-linux-gnueabihf-gcc -O2 -o "$bench_out/trivial_ok.arm" bench/trivial_ok.c
runs=${RUNS:-200}
root=$(mktemp -d)
cgi_env="NVR_ROOT=$root REQUEST_METHOD=GET PATH_INFO=/unknown QUERY_STRING="
c_us=$(wall_time_us "" "$runs" /usr/bin/qemu-arm -L /usr/arm-linux-gnueabihf "$bench_out/trivial_ok.arm")
cgi_us=$(wall_time_us "$cgi_env" "$runs" /usr/bin/qemu-arm build-arm/bin/nvrweb.cgi)
rm -rf "$root"
echo "startup (armhf under qemu): trivial C program $c_us us, nvrweb.cgi unknown path $cgi_us us," \
    "ratio $(ratio "$cgi_us" "$c_us")"
