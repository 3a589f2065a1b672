#!/bin/sh
# Installs what is missing, builds, and runs every test; then a short run of each fuzz target.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
(cd build && ctest --output-on-failure -j2 --timeout 300)
./scripts/fuzz.sh 10
