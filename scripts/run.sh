#!/bin/sh
# Installs what is missing, builds, and shows a sound: the one given, or a demo sound.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
if [ $# -ge 1 ]; then
    sound="$1"
else
    sound=build/demo.wav
    [ -f "$sound" ] || sox -n -r 44100 -b 16 -c 2 "$sound" synth 2 sine 440 sine 660 fade 0.01 2 0.5
fi
exec ./build/cli/pelmora-cli open "$sound" info
