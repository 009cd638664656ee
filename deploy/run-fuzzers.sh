#!/bin/sh
# Runs every fuzz target for a bounded time; a crash fails the run. Corpora
# grow under the build folder; fuzz/corpus/<target> seeds them when present.
set -eu
bin_dir=$1
seconds=${2:-15}
for target in "$bin_dir"/fuzz_*; do
    [ -x "$target" ] || continue
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
        exit 1
    }
done
echo "fuzz: all targets clean"
