#!/usr/bin/env bash
# The simulator is a faithful stand-in for the game: the real game, in a real X window with its
# calendar clock pinned (so its ghosts draw from a known seed), logs what the simulator's
# replay of that seed logs.
# Usage: replay_e2e.sh GULPER_BINARY GULPER_SIM_BINARY SOURCE_DIR
set -u
. "$(dirname "$0")/window.sh"
game=$(realpath "$1")
sim=$(realpath "$2")
source_dir=$(realpath "$3")
need_tools xvfb-run xdotool
# The faketime package's library, loaded into the game alone (its wrapper would stand between
# the game and the signal that closes it).
libfaketime=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -1)
[ -n "$libfaketime" ] || { echo "skipped: libfaketime is not installed"; exit 77; }
in_own_xvfb "$XVFB_SERVER_ARGS" "$@"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data"
ln -s "$source_dir"/data/*.tga "$work/data/"
# The shipped settings with the quickest ghosts, so that their draws shape the play early.
sed -e 's/_slow_down_factor .*/_slow_down_factor 1/' -e 's/^n_moves_ghost_appears .*/n_moves_ghost_appears 50/' \
    "$source_dir/data/config.txt" >"$work/data/config.txt"

# The calendar starts at this second when the game starts; the frame timer seeds from it.
seed=1767225600  # 2026-01-01 00:00:00 UTC
(cd "$work" && LD_PRELOAD=$libfaketime FAKETIME="@2026-01-01 00:00:00" TZ=UTC \
    FAKETIME_DONT_FAKE_MONOTONIC=1 exec "$game" >"$work/game.log" 2>"$work/game.err") &
pid=$!
wid=$(window_of "$pid")
[ -n "$wid" ] || { echo "FAILED: no game window"; cat "$work/game.err"; kill "$pid"; exit 1; }
sleep 1
xdotool key --window "$wid" space
sleep 15
kill -TERM "$pid"
wait "$pid"
status=$?
[ "$status" -eq 0 ] || { echo "FAILED: the game exited with $status"; cat "$work/game.err"; exit 1; }

"$sim" --replay "$seed" --config "$work/data/config.txt" >"$work/sim.log" 2>"$work/sim.err" ||
    { echo "FAILED: the replay"; cat "$work/sim.err"; exit 1; }

lines=$(wc -l <"$work/game.log")
echo "the game logged $lines lines in 15 s of play; the replay logged $(wc -l <"$work/sim.log")"
[ "$lines" -ge 150 ] || { echo "FAILED: too little play to compare"; exit 1; }
# The game was stopped mid-game, so its log must be the start of the replay's, byte for byte.
if ! cmp -n "$(stat -c %s "$work/game.log")" "$work/game.log" "$work/sim.log"; then
    echo "FAILED: the game and the replay part ways:"
    diff "$work/game.log" <(head -n "$lines" "$work/sim.log") | head -20
    exit 1
fi
# A different seed plays a different game: the comparison can tell games apart.
"$sim" --replay $((seed + 1)) --config "$work/data/config.txt" 2>/dev/null >"$work/other.log"
if cmp -s -n "$(stat -c %s "$work/game.log")" "$work/game.log" "$work/other.log"; then
    echo "FAILED: the next seed's replay matches too"
    exit 1
fi
echo "ok: the game's log is the replay's, line for line"
