#!/bin/sh
# Runs every benchmark in bench/ (never part of the tests).
set -eu
cd "$(dirname "$0")/.."
for script in bench/*.sh; do
    case "$script" in bench/run.sh | bench/lib.sh) continue ;; esac
    sh "$script"
done
