#!/usr/bin/env bash
# A game whose X server goes away ends promptly, with a failing status and one clear line,
# instead of spinning on the dead connection.
# Usage: display_lost_e2e.sh GULPER_BINARY SOURCE_DIR
set -u
. "$(dirname "$0")/window.sh"
game=$(realpath "$1")
source_dir=$(realpath "$2")
need_tools Xvfb xdotool

work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# The server reports the display it took, so no number is guessed.
exec 3<> "$work/displayfd"
# shellcheck disable=SC2086
Xvfb -displayfd 3 $XVFB_SERVER_ARGS >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
display=""
for _ in $(seq 50); do
    display=$(head -1 "$work/displayfd" 2>/dev/null)
    [ -n "$display" ] && break
    sleep 0.1
done
[ -n "$display" ] || { echo "FAIL: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$display"

mkdir -p "$work/data"
ln -s "$source_dir"/data/* "$work/data/"
(cd "$work" && exec "$game" >"$work/game.log" 2>"$work/game.err") &
game_pid=$!
wid=$(window_of "$game_pid")
[ -n "$wid" ] || { echo "FAIL: the game opened no window"; cat "$work/game.err"; exit 1; }
xdotool key --window "$wid" space
sleep 1

kill "$xvfb_pid"
wait "$xvfb_pid" 2>/dev/null
xvfb_pid=""
for _ in $(seq 50); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$game_pid" 2>/dev/null; then
    echo "FAIL: the game still runs 5 s after its display went away"
    exit 1
fi
wait "$game_pid"
status=$?
game_pid=""
[ "$status" -ne 0 ] || { echo "FAIL: exit status 0 after losing the display"; exit 1; }
grep -qx "The display went away; the program ends." "$work/game.err" ||
    { echo "FAIL: no word of the lost display"; cat "$work/game.err"; exit 1; }
# What the agent said before the end is kept.
grep -q "STATE" "$work/game.log" || { echo "FAIL: the agent's log was lost"; exit 1; }
echo "ok: the game ended with status $status when its display went away"
