#!/bin/bash
# Waveform image speed: opening a 60-minute and a 1-minute 16-bit stereo WAV file (File Backup
# off: the open reads the header and makes the coarse image), and the full build of the
# 60-minute one (`image`), against `cat FILE > /dev/null` with the file in the page cache.
# Prints the best of RUNS runs of each, the ratios and the peak memory.
#
#   bench/image.sh [BUILD_DIR] [RUNS]      (default build-image-rel, 10 runs)
#
# Environment: RUNS (when not given as the second argument), BENCH_DIR (parent of the scratch
# folder; default TMPDIR, else /tmp).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-image-rel}
runs=${2:-${RUNS:-10}}
cli=$build/cli/pelmora-cli
if [ ! -x "$cli" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELMORA_TESTS=OFF >/dev/null
    ninja -C "$build" -j2 pelmora-cli >/dev/null
fi

source "$root/bench/lib.sh"
require_tools
BENCH_DIR=${BENCH_DIR:-${TMPDIR:-/tmp}}
make_scratch pelmora-image-bench
make_sounds
long=$scratch/min60.wav
short=$scratch/min1.wav

# Best wall time (seconds) of a command over the runs; its peak resident size (KiB) in $peak.
best() {
    best_time=
    peak=0
    i=0
    while [ "$i" -lt "$runs" ]; do
        /usr/bin/time -f '%e %M' -o "$scratch/time" sh -c "$1" >/dev/null 2>&1
        read -r t m < "$scratch/time"
        if [ -z "$best_time" ] || [ "$(echo "$t < $best_time" | bc)" = 1 ]; then best_time=$t; fi
        if [ "$m" -gt "$peak" ]; then peak=$m; fi
        i=$((i + 1))
    done
    echo "$best_time"
}

# The 10 ms steps of /usr/bin/time are too coarse for the small cases: time in-shell.
precise() {
    best_time=
    i=0
    while [ "$i" -lt "$runs" ]; do
        start=$(date +%s.%N)
        sh -c "$1" >/dev/null 2>&1
        end=$(date +%s.%N)
        t=$(echo "$end - $start" | bc)
        if [ -z "$best_time" ] || [ "$(echo "$t < $best_time" | bc)" = 1 ]; then best_time=$t; fi
        i=$((i + 1))
    done
    echo "$best_time"
}

cat "$long" > /dev/null
cat "$short" > /dev/null
opts="--workdir $scratch/work --quiet --no-backup"

cat_long=$(precise "cat '$long' > /dev/null")
open_short=$(precise "'$cli' $opts open '$short'")
best "'$cli' $opts open '$short'" >/dev/null; peak_short=$peak
open_long=$(precise "'$cli' $opts open '$long'")
best "'$cli' $opts open '$long'" >/dev/null; peak_long=$peak
build_long=$(precise "'$cli' $opts open '$long' image 131072 0 1")
best "'$cli' $opts open '$long' image 131072 0 1" >/dev/null; peak_build=$peak

printf 'cat 60-minute file (cached):      %8.3f s\n' "$cat_long"
printf 'open 1-minute file:               %8.3f s   peak %6d KiB\n' "$open_short" "$peak_short"
printf 'open 60-minute file:              %8.3f s   peak %6d KiB\n' "$open_long" "$peak_long"
printf 'open + full build, 60-minute:     %8.3f s   peak %6d KiB\n' "$build_long" "$peak_build"
printf 'open 60 min / open 1 min:         %8s   (aim: at most 2)\n' "$(ratio "$open_long" "$open_short")"
printf 'full build 60 min / cat:          %8s   (aim: at most 4)\n' "$(ratio "$build_long" "$cat_long")"
