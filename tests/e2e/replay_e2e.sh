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
# The faketime library, loaded into the game alone: its wrapper would stand in the way of close.
libfaketime=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -1)
[ -n "$libfaketime" ] || { echo "skipped: libfaketime is not installed"; exit 77; }
in_own_xvfb "$XVFB_SERVER_ARGS" "$@"

mkdir -p "$work/data"
ln -s "$source_dir"/data/*.tga "$work/data/"
# The shipped settings with the quickest ghosts, so that their draws shape the play early.
sed -e 's/_slow_down_factor .*/_slow_down_factor 1/' -e 's/^n_moves_ghost_appears .*/n_moves_ghost_appears 50/' \
    "$source_dir/data/config.txt" >"$work/data/config.txt"

# The calendar starts at this second when the game starts; the frame timer seeds from it.
seed=1767225600  # 2026-01-01 00:00:00 UTC
start_in "$work" env LD_PRELOAD="$libfaketime" FAKETIME="@2026-01-01 00:00:00" TZ=UTC \
    FAKETIME_DONT_FAKE_MONOTONIC=1 "$game"
sleep 1
xdotool key --window "$wid" space
sleep 15
stop
check "the game closes with status 0" [ "$status" -eq 0 ]
"$sim" --replay "$seed" --config "$work/data/config.txt" >"$work/sim.log" 2>"$work/sim.err"
check "the replay runs" [ $? -eq 0 ]
"$sim" --replay $((seed + 1)) --config "$work/data/config.txt" >"$work/other.log" 2>/dev/null

# The game was stopped mid-game, so its log must be the start of the replay's, byte for byte.
size=$(stat -c %s "$work/out.txt")
echo "the game logged $(wc -l <"$work/out.txt") lines in 15 s of play"
check "enough play to compare" [ "$(wc -l <"$work/out.txt")" -ge 150 ]
check "the game's log is the start of the replay's" cmp -n "$size" "$work/out.txt" "$work/sim.log"
check "the next seed's replay differs: the comparison tells games apart" \
    eval '! cmp -s -n "$size" "$work/out.txt" "$work/other.log"'
finish
