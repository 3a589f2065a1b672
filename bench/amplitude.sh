#!/bin/bash
# Amplitude benchmark: Gain, Normalize, Reverse and Fade In through pelmora-cli over the whole
# of a 60-minute 16-bit stereo 44100 Hz WAV (File Backup off, so the undo and redo copies are
# in the figures), each against the sox command that does the same work on the same file.
#
#   bench/amplitude.sh [PELMORA_CLI]   (default: build-bench/cli/pelmora-cli of this repository)
#
# Environment: RUNS (runs per measurement, default 3), BENCH_DIR (parent of the scratch folder,
# default /tmp; it needs about 2 GB).
#
# Columns: seconds = median wall time of pelmora-cli, reference = median wall time of sox,
# ratio = seconds / reference (at or under 1 is the aim), peak KiB and ref KiB = maximum
# resident set size of each (pelmora-cli should stay under 16 MiB whatever the file's length),
# MiB out and ref MiB = what each wrote in one more run. An effect writes the undo copy and the
# sound itself, twice the selection (1212 MiB here); the redo copy comes only with the first
# Undo, which the last row shows. sox writes its output once (606 MiB).
# sox runs with -D (no dither) where it would otherwise dither, since pelmora does not.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
start_bench pelmora-amp-bench "$@"
rm "$scratch/min1.wav"
source=$scratch/min60.wav
measure_decimals=3

cli_run=("$cli" --quiet --no-backup --workdir "$scratch/work" open "$scratch/edit.wav" select-all)

format='%-22s %-20s %8s %9s %6s %9s %8s %8s %8s\n'
printf "$format" operation "sox reference" seconds reference ratio "peak KiB" "ref KiB" "MiB out" "ref MiB"
row() {
    local name=$1 label=$2 op=$3 mib rmib
    shift 3
    read -r s kib < <(measure "$runs" fresh_copy "${cli_run[@]}" $op)
    read -r r rkib < <(measure "$runs" clear_out sox "$@")
    fresh_copy
    mib=$(written "${cli_run[@]}" $op)
    clear_out
    rmib=$(written sox "$@")
    printf "$format" "$name" "$label" "$s" "$r" "$(ratio "$s" "$r")" "$kib" "$rkib" "$mib" "$rmib"
}

in=$source
out=$scratch/out.wav
row "gain 50"       "sox -D vol 0.5"     "gain 50"       -D "$in" "$out" vol 0.5
row "normalize 100" "sox -D norm"        "normalize 100" -D "$in" "$out" norm
row "reverse"       "sox reverse"        "reverse"       "$in" "$out" reverse
row "fade-in"       "sox -D fade t 3600" "fade-in"       -D "$in" "$out" fade t 3600
# The first Undo takes the redo copy, then puts the undo copy back; Redo puts the redo copy back.
row "gain 50, undo, redo" "sox -D vol 0.5"     "gain 50 undo undo" -D "$in" "$out" vol 0.5
