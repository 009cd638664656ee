#!/bin/sh
# Lint step of `make test`: formatting, clang-tidy's small check set (it
# refuses system() and popen()), and no iostreams in the program.
set -eu
build_dir=${1:-build}
cd "$(dirname "$0")/.."

sources=$(git ls-files --cached --others --exclude-standard 'src/*.cpp' 'src/*.h' 'tools/*.cpp' 'tools/*.h' \
    'tests/*.cpp' 'tests/*.h' 'fuzz/*.cpp' 'bench/*.cpp' 'bench/*.c')
# shellcheck disable=SC2086
clang-format --dry-run -Werror $sources

if grep -rln '#include <iostream>\|#include <fstream>\|#include <sstream>' src; then
    echo "lint: iostreams are not for the program (start-up cost)" >&2
    exit 1
fi

git ls-files --cached --others --exclude-standard 'src/*.cpp' 'tools/*.cpp' |
    xargs -P "$(nproc)" -n 4 clang-tidy -p "$build_dir" --quiet --extra-arg=-Wno-unknown-warning-option 2>&1 |
    grep -v '^[0-9]* warnings\? generated\.$' | tee /tmp/nvr-lint.$$ || true
if grep -q 'error:' /tmp/nvr-lint.$$; then
    rm -f /tmp/nvr-lint.$$
    echo "lint: clang-tidy found problems" >&2
    exit 1
fi
rm -f /tmp/nvr-lint.$$
echo "lint: clean"
