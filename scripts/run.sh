#!/bin/sh
# Installs what is missing, builds, and opens the given sound in the editor, or a demo sound.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
if [ $# -ge 1 ]; then
    sound="$1"
else
    sound=build/demo.wav
    [ -f "$sound" ] || sox -n -r 44100 -b 16 -c 2 -t wavpcm "$sound" synth 3 sine 220 sine 330 fade 0.05 3 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display here. To see the editor, run it under Xvfb:" >&2
    echo "    xvfb-run -a ./build/pelmora '$sound'" >&2
    echo "What pelmora-cli reads of the sound:" >&2
    exec ./build/cli/pelmora-cli --workdir build open "$sound" info
fi
exec ./build/pelmora "$sound"
