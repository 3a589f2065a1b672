#!/bin/bash
# Equalizer benchmark: three bands through pelmora-cli over the whole of a 60-minute 16-bit stereo
# 44100 Hz WAV (File Backup off, so the undo and redo copies are in the figures), against sox doing
# the same three bands; then the half-rate tone that a shelf builds on 16-bit noise when written
# as a second-order section, against the first-order section pelmora runs.
#
#   bench/eq.sh [PELMORA_CLI]   (default: build-bench/cli/pelmora-cli of this repository)
#
# Environment: RUNS (runs per measurement, default 3), BENCH_DIR (parent of the scratch folder,
# default /tmp; it needs about 2 GB), TONE_SECONDS (seconds of noise per shelf, default 16).
#
# Columns as in amplitude.sh: seconds = median wall time of pelmora-cli, reference = median wall
# time of sox, ratio = seconds / reference (at or under 1 is the aim), peak KiB and ref KiB =
# maximum resident set size of each.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
start_bench pelmora-eq-bench "$@"
rm "$scratch/min1.wav"
source=$scratch/min60.wav
measure_decimals=3

# Low: +6 dB peak at 100 Hz, Q 1; mid: -4 dB peak at 1000 Hz, Q 2; high: +3 dB shelf at 8000 Hz.
bands="6 100 1 -4 1000 2 3 8000 HSF"
printf '%-22s %-52s %9s %9s %6s %9s %8s\n' operation "sox reference" seconds reference ratio "peak KiB" "ref KiB"
read -r s kib < <(measure "$runs" fresh_copy "$cli" --quiet --no-backup --workdir "$scratch/work" \
    open "$scratch/edit.wav" select-all eq $bands)
read -r r rkib < <(measure "$runs" clear_out sox -D "$source" "$scratch/out.wav" \
    equalizer 100 1q 6 equalizer 1000 2q -4 treble 3 8000)
printf '%-22s %-52s %9s %9s %6s %9s %8s\n' "eq $bands" "sox -D equalizer 100 1q 6 equalizer 1000 2q -4 treble 3 8000" \
    "$s" "$r" "$(ratio "$s" "$r")" "$kib" "$rkib"

echo
c++ -std=c++20 -O2 -I"$here/.." "$here/EqShelfTone.cpp" "$here/../edit/EqDesign.cpp" "$here/../edit/EqBands.cpp" \
    -o "$scratch/shelf-tone"
"$scratch/shelf-tone" "${TONE_SECONDS:-16}"
