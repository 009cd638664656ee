#!/bin/sh
# Upload intake: a 64 MiB file upload piped through the CGI's multipart
# parser against cat copying the same bytes to /dev/null, in one run, and
# the parser's peak memory for an 8 MiB and a 64 MiB file (file data is
# streamed to the temporary file, so the two should be alike). The path
# has no handler, so the request is the parse and the temporary file alone.
set -eu
cd "$(dirname "$0")/.."
. bench/lib.sh
bin_dir=${NVR_BIN_DIR:-build/bin}
runs=${RUNS:-5}
cc -O2 -o "$bench_out/runstat" bench/runstat.c
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/root/tmp"

# make_body MIB FILE: a multipart body with one file field of MIB MiB.
make_body() {
    {
        printf -- '--XyZ\r\nContent-Disposition: form-data; name="file"; filename="fw.bin"\r\n'
        printf -- 'Content-Type: application/octet-stream\r\n\r\n'
        head -c $(($1 * 1048576)) /dev/urandom
        printf -- '\r\n--XyZ--\r\n'
    } >"$2"
}

# parse FILE: "wall_us peak_rss_kb" of the CGI reading FILE from a pipe,
# as the web server streams a body.
# shellcheck disable=SC2002
parse() {
    length=$(wc -c <"$1")
    cat "$1" | env -i NVR_ROOT="$work/root" REQUEST_METHOD=POST PATH_INFO=/bench \
        CONTENT_TYPE="multipart/form-data; boundary=XyZ" CONTENT_LENGTH="$length" \
        "$bench_out/runstat" "$bin_dir/nvrweb.cgi"
}

# copy FILE: "wall_us peak_rss_kb" of cat reading FILE from a pipe.
# shellcheck disable=SC2002
copy() {
    cat "$1" | "$bench_out/runstat" cat
}

# best COMMAND FILE: the fastest of $runs runs ("wall_us peak_rss_kb").
best() {
    i=0
    while [ "$i" -lt "$runs" ]; do
        "$1" "$2"
        i=$((i + 1))
    done | sort -n | head -n 1
}

mib_per_s() {
    awk -v mib="$1" -v us="$2" 'BEGIN { printf "%.0f", mib / (us / 1e6) }'
}

make_body 64 "$work/body64"
make_body 8 "$work/body8"
cat "$work/body64" "$work/body8" >/dev/null

cat_best=$(best copy "$work/body64")
cgi_best=$(best parse "$work/body64")
cgi8_best=$(best parse "$work/body8")
left=$(find "$work/root/tmp" -type f | wc -l)

cat_rate=$(mib_per_s 64 "${cat_best%% *}")
cgi_rate=$(mib_per_s 64 "${cgi_best%% *}")
echo "multipart: cat to /dev/null     64 MiB: $cat_rate MiB/s"
echo "multipart: nvrweb.cgi upload    64 MiB: $cgi_rate MiB/s;" \
    "ratio $(ratio "$cgi_rate" "$cat_rate") (target >= 0.50)"
echo "multipart: nvrweb.cgi peak RSS KiB: ${cgi8_best#* } for 8 MiB, ${cgi_best#* } for 64 MiB;" \
    "temporary files left: $left"
