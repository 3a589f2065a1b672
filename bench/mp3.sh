#!/bin/bash
# MP3 benchmark: export of a 10-minute 16-bit stereo 44100 Hz WAV at 128 kbps through
# pelmora-cli at each quality, against `lame -b 128 -q N` at the matching LAME quality (fast 7,
# standard 3, high 2), and import of the 128 kbps file against `mpg123 -w`.
#
#   bench/mp3.sh [PELMORA_CLI]   (default: build-bench/cli/pelmora-cli of this repository)
#
# Environment: RUNS (runs per measurement, default 3), BENCH_DIR (parent of the scratch folder,
# default /tmp; it needs about 400 MB).
#
# Columns: seconds = median wall time of pelmora-cli, reference = median wall time of lame or
# mpg123, ratio = seconds / reference (aims: export at most 1.1, import at most 1.2), peak KiB
# and ref KiB = maximum resident set size of each.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-$here/../build-bench/cli/pelmora-cli}
runs=${RUNS:-3}

source "$here/lib.sh"
require_cli "$cli"
require_tools
command -v lame > /dev/null || die "lame is missing: run scripts/setup.sh"
command -v mpg123 > /dev/null || die "mpg123 is missing: run scripts/setup.sh"
make_scratch pelmora-mp3-bench
source=$scratch/min10.wav
# Pink noise on the left, a sine on the right: work for the encoder's psychoacoustics.
sox -n -r 44100 -b 16 -c 2 "$source" synth 600 pinknoise sine 440 vol 0.5
measure_decimals=3

cache_source() { cat "$source" > /dev/null; }
clear_out() { rm -f "$scratch"/out.* "$scratch"/ref.*; rm -rf "$scratch/work"/*; cache_source; }
cli_run=("$cli" --quiet --no-backup --workdir "$scratch/work")

line=$("${cli_run[@]}" open "$source" mp3-formats 0 | grep -n '^128kbps-44.100kHz,Stereo$' | cut -d: -f1)
[ -n "$line" ] || die "no 128 kbps stereo line in the format list"
format=$((line - 1))

printf '%-22s %-22s %9s %9s %6s %9s %8s\n' operation reference seconds reference ratio "peak KiB" "ref KiB"
row() { printf '%-22s %-22s %9s %9s %6s %9s %8s\n' "$@"; }

lame_quality=(7 3 2)
for quality in 0 1 2; do
    q=${lame_quality[$quality]}
    read -r s kib < <(measure "$runs" clear_out "${cli_run[@]}" open "$source" \
        export-mp3 "$scratch/out.mp3" "$format" "$quality" notag)
    read -r r rkib < <(measure "$runs" clear_out lame --quiet -b 128 -q "$q" "$source" "$scratch/ref.mp3")
    row "export quality $quality" "lame -b 128 -q $q" "$s" "$r" "$(ratio "$s" "$r")" "$kib" "$rkib"
done

"${cli_run[@]}" open "$source" export-mp3 "$scratch/song.mp3" "$format" 1 notag
keep_mp3() { rm -f "$scratch"/out.* "$scratch"/ref.*; rm -rf "$scratch/work"/*; cat "$scratch/song.mp3" > /dev/null; }
read -r s kib < <(measure "$runs" keep_mp3 "${cli_run[@]}" import-mp3 "$scratch/song.mp3")
read -r r rkib < <(measure "$runs" keep_mp3 mpg123 -q -w "$scratch/ref.wav" "$scratch/song.mp3")
row "import" "mpg123 -w" "$s" "$r" "$(ratio "$s" "$r")" "$kib" "$rkib"
