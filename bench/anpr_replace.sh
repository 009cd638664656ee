#!/bin/sh
# The plate list's batch replace of 10000 plates against the same rows
# written by one prepared statement in one transaction, wall time, in one
# run (best of five rounds each).
set -eu
cd "$(dirname "$0")/.."
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/mnt/nand/app"
NVR_ROOT="$root" build/bin/bench_anpr_replace
