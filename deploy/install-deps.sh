#!/bin/sh
# Installs the Debian packages the project needs, only those missing, so
# repeated runs cost a few dpkg queries. Run as root on Debian.
set -eu

packages="make cmake g++ pkg-config libjson-c-dev libsqlite3-dev libssl-dev libgtest-dev
  lighttpd clang clang-tidy clang-format valgrind curl node-blueimp-md5
  chromium chromium-driver python3-selenium ffmpeg"

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

# libFuzzer ships with the compiler runtime of the installed clang version.
fuzzer_runtime() {
    major=$(clang --version 2>/dev/null | sed -n 's/.*clang version \([0-9]*\).*/\1/p' | head -n1)
    [ -n "$major" ] && echo "libclang-rt-$major-dev"
}

install_missing() {
    missing=""
    for package in "$@"; do
        installed "$package" || missing="$missing $package"
    done
    [ -z "$missing" ] && return 0
    echo "installing:$missing"
    if [ -z "${apt_updated:-}" ]; then
        apt-get update -qq
        apt_updated=1
    fi
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
}

# "bench": also what the benchmarks of bench/ load the web server with.
[ "${1:-}" = bench ] && packages="$packages apache2-utils"

# shellcheck disable=SC2086
install_missing $packages
runtime=$(fuzzer_runtime || true)
[ -n "$runtime" ] && install_missing "$runtime"
exit 0
