#!/bin/sh
# Installs the Debian packages the project needs, only those missing, so
# repeated runs cost a few dpkg queries. Run as root on Debian.
set -eu

packages="make cmake g++ pkg-config libjson-c-dev libsqlite3-dev libssl-dev libgtest-dev
  lighttpd clang clang-tidy clang-format valgrind curl node-blueimp-md5 unzip zip
  chromium chromium-driver python3-selenium ffmpeg"

# The board is 32-bit ARM: a cross compiler, the armhf development packages
# of the same libraries (multiarch) and qemu to run what it builds.
armhf_packages="g++-arm-linux-gnueabihf qemu-user libjson-c-dev:armhf libsqlite3-dev:armhf
  libssl-dev:armhf libgtest-dev:armhf"

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
    # --no-remove: a foreign-architecture package must never make apt take
    # away a native one.
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends --no-remove $missing >/dev/null
}

# "bench": also what the benchmarks of bench/ load the web server with.
[ "${1:-}" = bench ] && packages="$packages apache2-utils"

# Once: apt knows armhf packages after the architecture is added and the
# package lists are read again (install_missing does that before installing).
if ! dpkg --print-foreign-architectures | grep -qx armhf; then
    echo "adding the armhf architecture"
    dpkg --add-architecture armhf
fi

# shellcheck disable=SC2086
install_missing $packages $armhf_packages
runtime=$(fuzzer_runtime || true)
[ -n "$runtime" ] && install_missing "$runtime"
exit 0
