#!/bin/bash
# Edit-engine benchmark: Cut, Undo, Redo and Copy through pelmora-cli on a 60-minute and a
# 1-minute 16-bit stereo 44100 Hz WAV, timed against cp and sox on the same file.
#
#   bench/run.sh [PELMORA_CLI]      (default: build-bench/cli/pelmora-cli of this repository)
#
# Environment: RUNS (runs per measurement on the 60-minute file, default 7), SMALL_RUNS (on the
# 1-minute file, default 21), BENCH_DIR (parent of the scratch folder, default /tmp).
set -eu

here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-$here/../build-bench/cli/pelmora-cli}
runs=${RUNS:-7}
small_runs=${SMALL_RUNS:-21}

source "$here/lib.sh"
require_cli "$cli"
require_tools
make_scratch pelmora-bench
make_sounds

current=""
fresh_copy() { rm -f "$scratch/edit.wav"; cp "$current" "$scratch/edit.wav"; rm -rf "$scratch/work"/*; }
clear_out() { rm -f "$scratch/out.wav" "$scratch/cp.wav"; rm -rf "$scratch/work"/*; }
cli_run=("$cli" --quiet --no-backup --workdir "$scratch/work")

printf '%-7s %-26s %10s %10s %7s %10s %10s\n' file operation "seconds" "reference" ratio "peak KiB" "ref KiB"
row() { printf '%-7s %-26s %10s %10s %7s %10s %10s\n' "$@"; }

for minutes in 60 1; do
    current=$scratch/min$minutes.wav
    n=$runs
    [ "$minutes" = 1 ] && n=$small_runs
    cat "$current" > /dev/null  # into the page cache

    read -r cp_s cp_kib < <(measure "$n" clear_out cp "$current" "$scratch/cp.wav")
    row "${minutes}min" "cp (reference)" "$cp_s" "-" "-" "$cp_kib" "-"

    # The first 1/60 of the sound: the first minute of the long file, the first second of the
    # short one, so that both do the same work per byte.
    cut_end=$((frames_per_minute * minutes / 60))
    read -r s kib < <(measure "$n" fresh_copy "${cli_run[@]}" open "$scratch/edit.wav" \
        select 0 $cut_end cut undo undo)
    row "${minutes}min" "cut 0 $cut_end, undo, redo" "$s" "$cp_s" "$(ratio "$s" "$cp_s")" "$kib" "$cp_kib"
    if [ "$minutes" = 1 ]; then
        read -r s kib < <(measure "$n" fresh_copy "${cli_run[@]}" open "$scratch/edit.wav" \
            select 0 $frames_per_minute cut undo undo)
        row "${minutes}min" "cut 0 $frames_per_minute, undo, redo" "$s" "$cp_s" "$(ratio "$s" "$cp_s")" "$kib" "$cp_kib"
    fi

    read -r sox_s sox_kib < <(measure "$n" clear_out sox "$current" "$scratch/out.wav" trim 0 60)
    read -r s kib < <(measure "$n" clear_out "${cli_run[@]}" open "$current" select 0 $frames_per_minute copy)
    row "${minutes}min" "copy 0 $frames_per_minute vs sox trim" "$s" "$sox_s" "$(ratio "$s" "$sox_s")" "$kib" "$sox_kib"
done
