#!/usr/bin/env bash
# A game whose X server goes away ends promptly, with a failing status and one clear line,
# instead of spinning on the dead connection.
# Usage: display_lost_e2e.sh GULPER_BINARY SOURCE_DIR
set -u
. "$(dirname "$0")/window.sh"
game=$(realpath "$1")
source_dir=$(realpath "$2")
need_tools Xvfb xdotool

# The server reports the display it took, so no number is guessed.
exec 3<>"$work/displayfd"
# shellcheck disable=SC2086
Xvfb -displayfd 3 $XVFB_SERVER_ARGS >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null; [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do
    display=$(head -1 "$work/displayfd" 2>/dev/null)
    [ -n "$display" ] && break
    sleep 0.1
done
[ -n "$display" ] || { echo "FAILED: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$display"

mkdir -p "$work/data"
ln -s "$source_dir"/data/* "$work/data/"
start_in "$work" "$game"
xdotool key --window "$wid" space
sleep 1
kill "$xvfb_pid"
for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
check "the game ends within 5 s of its display going away" eval '! kill -0 "$pid" 2>/dev/null'
kill -9 "$pid" 2>/dev/null
wait "$pid"
status=$?
pid=""
check "it ends with a failing status ($status)" [ "$status" -ne 0 ]
check "it says why, in one line" grep -qx "The display went away; the program ends." "$work/err.txt"
check "what the agent said before the end is kept" grep -q "STATE" "$work/out.txt"
finish
