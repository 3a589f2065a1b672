#!/bin/sh
# Two editors on two displays stay separate; a second start on the same display hands its file
# to the first one and ends.
set -eu
pelmora="$1"
work="$(mktemp -d)"
pids=""
cleanup() {
    for p in $pids $(cat "$work/xvfb-pids" 2>/dev/null); do kill "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "check_displays: $*" >&2; exit 1; }

start_xvfb() {  # prints the display number Xvfb chose
    exec 3>"$work/display-$1"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    # This runs in a command substitution: the parent learns the server from the file.
    echo "$!" >> "$work/xvfb-pids"
    for _ in $(seq 50); do [ -s "$work/display-$1" ] && break; sleep 0.1; done
    exec 3>&-
    head -n1 "$work/display-$1"
}
one=$(start_xvfb a)
two=$(start_xvfb b)
[ -n "$one" ] && [ -n "$two" ] || fail "Xvfb did not start"

export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" TMPDIR="$work"
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME"
chmod 700 "$XDG_RUNTIME_DIR"
sox -n -r 44100 -b 16 -c 1 "$work/a.wav" synth 0.2 sine 440
unset QT_QPA_PLATFORM

DISPLAY=":$one" "$pelmora" >/dev/null 2>&1 &
first=$!; pids="$pids $first"
sleep 2
DISPLAY=":$two" "$pelmora" >/dev/null 2>&1 &
second=$!; pids="$pids $second"
sleep 2
kill -0 "$first" 2>/dev/null || fail "the first editor ended"
kill -0 "$second" 2>/dev/null || fail "the editor on another display handed over instead of running"

# The same display: the file goes to the first editor and the new start ends.
DISPLAY=":$one" timeout 10 "$pelmora" "$work/a.wav" >/dev/null 2>&1 || fail "the second start on one display did not end by itself"
kill -0 "$first" 2>/dev/null || fail "the first editor ended after the hand-over"
echo "check_displays: separate per display, handed over on the same one"
