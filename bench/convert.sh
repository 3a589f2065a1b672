#!/bin/bash
# Whole-file conversion and resampling benchmark, pelmora-cli against sox on the same files:
#   resample   the 60-minute 16-bit stereo 44100 Hz file to 22050 Hz at order 65, rejection -60,
#              against `sox in.wav -r 22050 out.wav` (sox's default rate) and `sox ... rate -q 22050`;
#   bits 16>24 Convert Bit Size 16 -> 24 of a 60-minute mono file, against `sox in.wav -b 24 out.wav`;
#   add ch     Add Channel of the same mono file, against `sox in.wav out.wav remix 1 0`.
#
#   bench/convert.sh [PELMORA_CLI]   (default: build-bench/cli/pelmora-cli of this repository)
#
# Environment: RUNS (runs per measurement, default 3), BENCH_DIR (parent of the scratch folder,
# default /tmp; it needs about 3 GB).
#
# pelmora-cli runs with File Backup off, so its figures include flushing the new file to disk,
# moving the old file to the undo file and putting the new one in its place (no redo copy is
# taken: the first Undo moves the new file itself to the redo file). Columns: seconds = median wall time of
# pelmora-cli, reference = median wall time of sox, ratio = seconds / reference, peak KiB and
# ref KiB = maximum resident set size of each.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
start_bench pelmora-convert-bench "$@"
rm "$scratch/min1.wav"
sox -n -r 44100 -b 16 -c 1 "$scratch/mono1.wav" synth 60 sine 440 vol 0.5
sox "$scratch/mono1.wav" "$scratch/mono60.wav" repeat 59
rm "$scratch/mono1.wav"
measure_decimals=3

source=

# row NAME SOURCE "SOX ARGS BEFORE OUT" "SOX EFFECTS AFTER OUT" CLI-COMMAND...
row() {
    local name=$1 before=$3 after=$4 s kib r rkib
    source=$2
    shift 4
    read -r s kib < <(measure "$runs" fresh_copy "$cli" --quiet --no-backup --workdir "$scratch/work" \
        open "$scratch/edit.wav" "$@")
    # shellcheck disable=SC2086
    read -r r rkib < <(measure "$runs" clear_out sox -D "$source" $before "$scratch/out.wav" $after)
    printf '%-12s %-28s %9s %9s %6s %9s %8s\n' "$name" "sox in $before out $after" "$s" "$r" "$(ratio "$s" "$r")" "$kib" "$rkib"
}

printf '%-12s %-28s %9s %9s %6s %9s %8s\n' operation "sox reference" seconds reference ratio "peak KiB" "ref KiB"
row "resample" "$scratch/min60.wav" "-r 22050" "" resample 22050 65 -60
row "resample" "$scratch/min60.wav" "" "rate -q 22050" resample 22050 65 -60
row "bits 16>24" "$scratch/mono60.wav" "-b 24" "" convert-bits 24
row "add ch" "$scratch/mono60.wav" "" "remix 1 0" add-channel
