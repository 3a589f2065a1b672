#!/bin/bash
# Builds the libFuzzer targets with clang and the sanitizers and runs each for SECONDS
# (default 600), on its corpus in fuzz/corpus-NAME (kept between runs, ignored by git) and the
# committed seeds in fuzz/seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPELMORA_FUZZ=ON -DPELMORA_TESTS=OFF >/dev/null
cmake --build build-fuzz -j2
mkdir -p build-fuzz/artifacts
status=0
for target in build-fuzz/fuzz/*_fuzz; do
    name=$(basename "$target")
    corpus="fuzz/corpus-${name%_fuzz}"
    mkdir -p "$corpus"
    if ! "$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix=build-fuzz/artifacts/ "$corpus" fuzz/seeds >build-fuzz/$name.log 2>&1; then
        echo "fuzz: $name failed, see build-fuzz/$name.log and build-fuzz/artifacts" >&2
        grep -E '^(==[0-9]+==ERROR|SUMMARY)' build-fuzz/$name.log >&2 || true
        status=1
    fi
    runs=$(grep -E '^stat::number_of_executed_units' build-fuzz/$name.log | awk '{print $2}')
    echo "fuzz: $name ran ${runs:-0} inputs in ${seconds}s"
done
exit $status
