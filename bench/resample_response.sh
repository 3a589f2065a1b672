#!/bin/bash
# What upsampling does to a sound. The design's cut-off for upsampling (half the input rate)
# leaves a filter table that is a unit impulse, so every order and rejection interpolate linearly
# between neighbouring input frames. This script measures the result through pelmora-cli:
#   delay     where a single input impulse lands in the output, against where it belongs;
#   response  for sines across the band, the level of the output below the input's Nyquist
#             frequency (the wanted signal) and above it (the images linear interpolation leaves),
#             in dB against the input's level, measured with sox's sinc filters and stat.
#
#   bench/resample_response.sh [PELMORA_CLI] [FROM_RATE] [TO_RATE] [ORDER] [REJECTION]
#   (defaults: build-bench/cli/pelmora-cli, 22050 -> 44100, order 65, -60 dB)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-$here/../build-bench/cli/pelmora-cli}
from=${2:-22050}
to=${3:-44100}
order=${4:-65}
rejection=${5:-60}
rejection=-${rejection#-}

source "$here/lib.sh"
require_cli "$cli"
require_tools
make_scratch pelmora-resample-response

# The file is converted in place (File Backup off); the note that it was not saved is expected.
upsample() { "$cli" --quiet --no-backup --workdir "$scratch/work" open "$1" resample "$to" "$order" "$rejection" 2>/dev/null; }
rms() { sox "$1" -n "${@:2}" stat 2>&1 | awk '/RMS +amplitude/ { print $3 }'; }
db() { awk -v a="$1" -v b="$2" 'BEGIN { if (a <= 0) print "-inf"; else printf "%.2f", 20 * log(a / b) / log(10) }'; }

# Delay: one full-scale impulse at input frame 100 of 1000.
{ head -c 200 /dev/zero; printf '\x00\x40'; head -c 1798 /dev/zero; } > "$scratch/impulse.raw"
sox -t raw -r "$from" -e signed -b 16 -c 1 "$scratch/impulse.raw" "$scratch/impulse.wav"
upsample "$scratch/impulse.wav"
echo "impulse at input frame 100 ($from Hz), order $order, rejection $rejection dB -> $to Hz"
echo "  belongs at output frame $(awk -v t="$to" -v f="$from" 'BEGIN { printf "%.2f", 100 * t / f }'); found (frame: value / impulse):"
sox "$scratch/impulse.wav" -t dat - | awk -v r="$to" '!/^;/ && $2 != 0 { printf "    %d: %.4f\n", int($1 * r + 0.5), $2 / 0.5 }'
sox "$scratch/impulse.wav" -t dat - | awk -v r="$to" -v t="$to" -v f="$from" '
    !/^;/ && $2 != 0 { s += $2; m += $2 * $1 * r }
    END { c = m / s; printf "  centre of mass at output frame %.2f: delay %.2f output frames = %.2f input frames = %.1f us\n",
          c, c - 100 * t / f, (c - 100 * t / f) * f / t, (c - 100 * t / f) / t * 1e6 }'

# Response: 1-second sines at half scale.
nyquist=$((from / 2))
printf '%10s %12s %12s\n' "sine Hz" "wanted dB" "images dB"
for f in 100 1000 2000 4000 6000 8000 9000 10000; do
    [ "$f" -lt "$nyquist" ] || continue
    sox -n -r "$from" -b 16 -c 1 "$scratch/sine.wav" synth 1 sine "$f" vol 0.5
    in=$(rms "$scratch/sine.wav")
    upsample "$scratch/sine.wav"
    wanted=$(rms "$scratch/sine.wav" sinc -$((nyquist - 200)))
    images=$(rms "$scratch/sine.wav" sinc $((nyquist + 200)))
    printf '%10s %12s %12s\n' "$f" "$(db "$wanted" "$in")" "$(db "$images" "$in")"
done
