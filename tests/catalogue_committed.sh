#!/bin/sh
# The build writes docs/resources.md from the registered tables; this fails
# when that differs from the committed copy (a table changed, the file not).
set -eu
cd "$(dirname "$0")/.."
if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    echo "catalogue: not a git checkout, nothing to compare"
    exit 0
fi
changed=$(git status --porcelain -- docs/resources.md)
if [ -n "$changed" ]; then
    echo "docs/resources.md differs from the registered tables; commit the copy the build wrote:" >&2
    git --no-pager diff -- docs/resources.md >&2 || true
    exit 1
fi
