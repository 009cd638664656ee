#!/bin/sh
# Runs every fuzz target for a bounded time, as many at once as there are
# cores; a crash fails the run. Corpora grow under the build folder;
# fuzz/corpus/<target> seeds them when present.
#   run-fuzzers.sh BIN_DIR [SECONDS]
set -eu

# One target (the script calls itself so that xargs can run several).
if [ "${1:-}" = --one ]; then
    bin_dir=$2
    seconds=$3
    target=$4
    name=$(basename "$target")
    corpus="$bin_dir/../corpus/$name"
    mkdir -p "$corpus"
    seeds=""
    [ -d "fuzz/corpus/$name" ] && seeds="fuzz/corpus/$name"
    echo "fuzz: $name for ${seconds}s"
    # shellcheck disable=SC2086
    "$target" -max_total_time="$seconds" -max_len=65536 -print_final_stats=0 \
        -artifact_prefix="$bin_dir/../" "$corpus" $seeds >"$bin_dir/../$name.log" 2>&1 || {
        tail -n 40 "$bin_dir/../$name.log"
        echo "fuzz: $name failed" >&2
        exit 255
    }
    exit 0
fi

bin_dir=$1
seconds=${2:-15}
for target in "$bin_dir"/fuzz_*; do
    [ -x "$target" ] && echo "$target"
done | xargs -P "$(nproc)" -n 1 "$0" --one "$bin_dir" "$seconds" || {
    echo "fuzz: a target failed" >&2
    exit 1
}
echo "fuzz: all targets clean"
