#!/bin/sh
# Installs what is missing, builds, and opens the given sound in the editor, or a demo sound.
set -eu
# The sound is named from the caller's folder; the build runs from the project's.
if [ $# -ge 1 ]; then sound="$(realpath -- "$1")"; else sound=""; fi
cd "$(dirname "$0")/.."
root="$(pwd)"
./scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
if [ -z "$sound" ]; then
    sound="$root/build/demo.wav"
    [ -f "$sound" ] || sox -n -r 44100 -b 16 -c 2 -t wavpcm "$sound" synth 3 sine 220 sine 330 fade 0.05 3 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display here. The editor runs on Xvfb, a virtual display:" >&2
    echo "    Xvfb :99 -screen 0 1280x800x24 &" >&2
    echo "    DISPLAY=:99 '$root/build/pelmora' '$sound' &" >&2
    echo "and a picture of it is taken with:" >&2
    echo "    DISPLAY=:99 import -window root shot.png" >&2
    echo "What pelmora-cli reads of the sound:" >&2
    exec "$root/build/cli/pelmora-cli" --workdir "$root/build" open "$sound" info
fi
exec "$root/build/pelmora" "$sound"
