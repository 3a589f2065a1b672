#!/bin/bash
# Sampler benchmark: import and export of a 10 MB sample through the emulated instrument, with
# the throughput and the share of time spent outside the emulator's own work (aim: under 10 %).
#
#   bench/sampler.sh [BUILD_DIR] [MEGABYTES] [RUNS]   (default: build of this repository, 10, 5)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
cmake --build "$build" --target pelmora-sampler-bench >/dev/null
scratch=$(mktemp -d "${BENCH_DIR:-/tmp}/pelmora-sampler-bench.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
"$build/pelmora-sampler-bench" "$scratch" "${2:-10}" "${3:-5}"
