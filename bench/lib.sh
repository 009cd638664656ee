# Shared by the benchmark scripts: instruction counts (valgrind callgrind,
# repeatable whatever the machine's load) and private memory at exit.
bench_out=${BENCH_OUT:-$(pwd)/bench/out}
mkdir -p "$bench_out"
. tests/support/demo_login.sh

build_helpers() {
    cc -O2 -o "$bench_out/trivial_ok" bench/trivial_ok.c
    cc -O2 -o "$bench_out/privmem" bench/privmem.c
    cc -O2 -o "$bench_out/reqtime" bench/reqtime.c
}

# instructions "VAR=value ..." COMMAND...: total instructions of one run.
# The measured programs see only PATH and VARS: start-up scans the
# environment (the C library's tunables, getenv), so the caller's own
# environment would otherwise weigh on the figures, and unevenly.
instructions() {
    vars=$1
    shift
    # shellcheck disable=SC2086
    env -i PATH="$PATH" $vars valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null </dev/null |
        sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}

# private_memory "VAR=value ..." COMMAND...: "private_kb rss_kb" at exit.
private_memory() {
    vars=$1
    shift
    # shellcheck disable=SC2086
    env -i PATH="$PATH" $vars "$bench_out/privmem" "$@" 2>/dev/null </dev/null | tail -n 1
}

ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'
}

# wall_time_us "VAR=value ..." RUNS COMMAND...: mean microseconds per run.
wall_time_us() {
    vars=$1
    runs=$2
    shift 2
    # shellcheck disable=SC2086
    env $vars "$bench_out/reqtime" "$runs" "$@"
}
