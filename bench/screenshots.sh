#!/bin/bash
# Screenshots of the editor under Xvfb: a stereo sound at the default window size, tiled beside
# a second sound, and at sample zoom with a loop. Writes PNGs to OUT_DIR (default
# ./screenshots) and also a picture of the whole virtual screen for each run.
#
#   bench/screenshots.sh [BUILD_DIR] [OUT_DIR]      (default build, screenshots)
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=$(realpath -m "${2:-screenshots}")
[ -n "${NO_BUILD:-}" ] || ninja -C "$build" -j2 pelmora-screenshots >/dev/null
mkdir -p "$out"

# Each run has its own scratch, settings and display, so editors never hand files to each other.
scratch=$(mktemp -d /tmp/pelmora-shots.XXXXXX)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$scratch"' EXIT
export TMPDIR=$scratch XDG_CONFIG_HOME=$scratch/config
mkdir -p "$scratch/work" "$XDG_CONFIG_HOME"
sox -n -r 44100 -b 16 -c 2 -t wavpcm "$scratch/stereo.wav" synth 3 sine 220 sine 330 fade 0.05 3 1
sox -n -r 44100 -b 16 -c 2 -t wavpcm "$scratch/second.wav" synth 2 square 110 sine 440 gain -6

display=:$((90 + RANDOM % 400))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
DISPLAY=$display QT_QPA_PLATFORM=xcb "$build/pelmora-screenshots" "$scratch/stereo.wav" "$scratch/second.wav" \
    "$out" "$scratch/work"
echo "Look at them: $out/*.png"
