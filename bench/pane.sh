#!/bin/bash
# Waveform pane drawing speed, offscreen: the same steps on a 1-minute and a 60-minute 16-bit
# stereo WAV (first paint, page scrolls drawn from the samples and from the image, the zoom-out
# that builds the image, the finest zoom), each file read once into the page cache first.
# Drawing should not depend on the sound's length: the script prints the 60 ÷ 1 minute ratio
# of the page scrolls and the peak memory of each run.
#
#   bench/pane.sh [BUILD_DIR]      (default build-pane-rel)
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-pane-rel}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELMORA_TESTS=OFF >/dev/null
ninja -C "$build" -j2 pelmora-pane-bench >/dev/null
bench=$build/pelmora-pane-bench

source "$root/bench/lib.sh"
require_tools
make_scratch pelmora-pane-bench
make_sounds

run() {
    cat "$1" > /dev/null
    /usr/bin/time -f '%M' -o "$scratch/peak" "$bench" "$1" 2>/dev/null > "$scratch/out"
    echo "$2 (peak $(cat "$scratch/peak") KiB):"
    sed 's/^/    /' "$scratch/out"
}
scroll() { grep "page scroll, $2" "$1" | awk '{print $(NF-1)}'; }

run "$scratch/min1.wav" "1-minute file"
cp "$scratch/out" "$scratch/short"
run "$scratch/min60.wav" "60-minute file"
for zoom in 128 1024; do
    printf 'page scroll at %s, 60 min / 1 min:  %s   (aim: at most 2)\n' "$zoom" \
        "$(ratio "$(scroll "$scratch/out" "$zoom")" "$(scroll "$scratch/short" "$zoom")")"
done
