#!/bin/sh
# Installs what is missing, builds, and runs every test; then a short run of each fuzz target.
# Warnings are errors here. A second build in Release keeps the optimiser's warnings out too.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
for type in RelWithDebInfo Release; do
    dir=build
    [ "$type" = Release ] && dir=build-release
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=$type -DPELMORA_WERROR=ON >/dev/null
    cmake --build "$dir" -j2
    (cd "$dir" && ctest --output-on-failure -j2 --timeout 300)
done
./scripts/fuzz.sh 10
