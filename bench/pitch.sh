#!/bin/bash
# Pitch Shift and Time Comp/Exp benchmark: pitch 110 % and time 80 % through pelmora-cli over the
# whole of a 60-minute 16-bit stereo 44100 Hz WAV (File Backup off, so the undo copy is in the
# figures), against sox's pitch 165 (cents) and tempo 0.8 over the same file.
#
#   bench/pitch.sh [PELMORA_CLI]   (default: build-bench/cli/pelmora-cli of this repository)
#
# Environment: RUNS (runs per measurement, default 3), BENCH_DIR (parent of the scratch folder,
# default /tmp; it needs about 2.5 GB).
#
# Columns as in amplitude.sh: seconds = median wall time of pelmora-cli, reference = median wall
# time of sox, ratio = seconds / reference (the aim is under 0.25), peak KiB and ref KiB =
# maximum resident set size of each.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
start_bench pelmora-pitch-bench "$@"
rm "$scratch/min1.wav"
source=$scratch/min60.wav
frames=$((60 * frames_per_minute))
measure_decimals=3

row() {
    local name=$1 reference=$2 s kib r rkib
    shift 2
    read -r s kib < <(measure "$runs" fresh_copy "$cli" --quiet --no-backup --workdir "$scratch/work" \
        open "$scratch/edit.wav" select-all "$@")
    read -r r rkib < <(measure "$runs" clear_out sox -D "$source" "$scratch/out.wav" $reference)
    printf '%-16s %-22s %9s %9s %6s %9s %8s\n' "$name" "sox -D $reference" "$s" "$r" "$(ratio "$s" "$r")" "$kib" "$rkib"
}

printf '%-16s %-22s %9s %9s %6s %9s %8s\n' operation "sox reference" seconds reference ratio "peak KiB" "ref KiB"
row "pitch 110" "pitch 165" pitch 110
row "time 80 %" "tempo 0.8" time $((frames * 4 / 5))
