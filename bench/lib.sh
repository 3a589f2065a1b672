# Helpers shared by the benchmark scripts (bash; sourced, not run): checks, the scratch folder,
# the test sounds and the timing.

die() { echo "bench: $*" >&2; exit 1; }

# require_cli PATH: stops unless PATH is an executable pelmora-cli.
require_cli() {
    [ -x "$1" ] || die "no pelmora-cli at $1 (build it with -DCMAKE_BUILD_TYPE=Release)"
}

require_tools() {
    command -v sox > /dev/null || die "sox is missing: run scripts/setup.sh"
    [ -x /usr/bin/time ] || die "/usr/bin/time is missing: run scripts/setup.sh"
}

# make_scratch NAME: a fresh folder $scratch under BENCH_DIR (default /tmp), with an empty
# work/ for pelmora-cli's working files; removed when the script exits.
make_scratch() {
    scratch=$(mktemp -d "${BENCH_DIR:-/tmp}/$1.XXXXXX")
    trap 'rm -rf "$scratch"' EXIT
    mkdir "$scratch/work"
}

# make_sounds: $scratch/min1.wav and $scratch/min60.wav, 1 and 60 minutes of a 440 Hz sine at
# half scale, 16-bit stereo 44100 Hz (the long one repeats the short one: much faster to make).
frames_per_minute=2646000
make_sounds() {
    sox -n -r 44100 -b 16 -c 2 "$scratch/min1.wav" synth 60 sine 440 vol 0.5
    sox "$scratch/min1.wav" "$scratch/min60.wav" repeat 59
}

# start_bench NAME [PELMORA_CLI]: $cli (default: build-bench/cli/pelmora-cli of this repository)
# and $runs (RUNS, default 3), the tools checked, and a fresh $scratch with the test sounds.
start_bench() {
    cli=${2:-$(dirname "${BASH_SOURCE[0]}")/../build-bench/cli/pelmora-cli}
    runs=${RUNS:-3}
    require_cli "$cli"
    require_tools
    make_scratch "$1"
    make_sounds
}

# The edits run on a fresh copy of $source each time, since pelmora edits the opened file itself
# (File Backup off); every run of either side starts with $source in the page cache.
cache_source() { cat "$source" > /dev/null; }
fresh_copy() {
    rm -f "$scratch/edit.wav" "$scratch/out.wav"
    cp "$source" "$scratch/edit.wav"
    rm -rf "$scratch/work"/*
    cache_source
}
clear_out() { rm -f "$scratch/out.wav" "$scratch/edit.wav"; rm -rf "$scratch/work"/*; cache_source; }

# measure RUNS PREPARE COMMAND...: RUNS times PREPARE (untimed), sync, then COMMAND under
# /usr/bin/time; prints "MEDIAN_SECONDS MEDIAN_PEAK_KIB", the seconds with $measure_decimals
# decimals. The wall time comes from a nanosecond clock, because the 10 ms steps of time's %e
# cannot resolve the short runs.
measure_decimals=4
measure() {
    local count=$1 prepare=$2 i start end kib seconds
    shift 2
    : > "$scratch/times"
    : > "$scratch/peaks"
    for ((i = 0; i < count; i++)); do
        $prepare
        sync
        start=$(date +%s%N)
        /usr/bin/time -o "$scratch/time.out" -f '%e %M' "$@" > /dev/null 2> "$scratch/stderr" ||
            { cat "$scratch/stderr" >&2; die "failed: $*"; }
        end=$(date +%s%N)
        echo $(((end - start) / 1000)) >> "$scratch/times"
        read -r _ kib < "$scratch/time.out"
        echo "$kib" >> "$scratch/peaks"
    done
    seconds=$(median "$scratch/times" | awk -v f="%.${measure_decimals}f" '{ printf f, $1 / 1e6 }')
    echo "$seconds $(median "$scratch/peaks")"
}
median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# written COMMAND...: MiB that COMMAND handed to the kernel to write (the wchar count of
# /proc/PID/io, which a subshell gathers from the children it has waited for); one untimed run,
# so that it says how many times the data was written, whatever the page cache did with it.
written() {
    local bytes
    bytes=$( ( "$@" > /dev/null 2> "$scratch/stderr" || exit 1
               while read -r key value; do if [ "$key" = wchar: ]; then echo "$value"; fi; done < "/proc/$BASHPID/io" ) ) ||
        { cat "$scratch/stderr" >&2; die "failed: $*"; }
    awk -v b="$bytes" 'BEGIN { printf "%.0f", b / 1048576 }'
}
