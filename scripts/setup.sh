#!/bin/sh
# Installs every Debian package that the build, the tests and the fuzzers need.
# Works as root on a fresh Debian 12 machine, and through sudo for other users.
set -eu

PACKAGES="g++ clang libclang-rt-14-dev cmake ninja-build pkgconf \
qt6-base-dev libqt6svg6 libasound2-dev libmp3lame-dev libmpg123-dev \
libgtest-dev libsndfile1-dev sox lame mpg123 time xvfb xauth x11-apps imagemagick fonts-dejavu-core \
desktop-file-utils dpkg-dev file binutils"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

# Another apt may hold the lock for a while on a fresh machine: retry.
attempt=0
until $SUDO apt-get update -q && $SUDO apt-get install -y -q --no-install-recommends $missing; do
    attempt=$((attempt + 1))
    [ "$attempt" -ge 10 ] && { echo "setup: could not install:$missing" >&2; exit 1; }
    sleep 15
done
