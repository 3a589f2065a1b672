#!/bin/bash
# Audio benchmark: the CPU time that 60 seconds of playback and of recording of a 44.1 kHz
# 16-bit stereo sound take on the null device (real time, so each run lasts a minute), for the
# whole process and for the interface thread alone, and the allocations made while the sound
# runs. Aim: under 1 % of one core each, and no allocation per buffer.
#
#   bench/audio.sh [BUILD_DIR] [SECONDS]   (default: build of this repository, 60 seconds)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
seconds=${2:-60}
cmake --build "$build" --target pelmora-audio-bench >/dev/null
scratch=$(mktemp -d "${BENCH_DIR:-/tmp}/pelmora-audio-bench.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
"$build/pelmora-audio-bench" "$scratch" "$seconds"
