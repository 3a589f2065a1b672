#!/bin/sh
# Installs what is missing, builds, and runs every test; then a short run of each fuzz target.
# Warnings are errors here. A second build in Release keeps the optimiser's warnings out too,
# and a third runs the core's tests under the sanitizers.
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
# Once more with AddressSanitizer and UBSan over the core and its tests (no editor): a memory
# fault or undefined behaviour fails the test that meets it. Warnings are left to the builds
# above: GCC reports false ones under the sanitizers.
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELMORA_SANITIZE=ON \
    -DPELMORA_GUI=OFF >/dev/null
cmake --build build-sanitize -j2
(cd build-sanitize && UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --output-on-failure -j2 --timeout 600)
./scripts/fuzz.sh 10
