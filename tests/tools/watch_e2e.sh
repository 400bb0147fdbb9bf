#!/usr/bin/env bash
# gulper-watch in a real X window: its log is the simulator's replay of the same seed, line for
# line; it draws the agent's route, and pauses and steps one tick at a time. A replay file's
# game plays to its recorded end, with its recorded plan drawn.
# Usage: watch_e2e.sh GULPER_WATCH GULPER_SIM SOURCE_DIR
set -u
. "$(dirname "$0")/../e2e/window.sh"
watch=$(realpath "$1")
sim=$(realpath "$2")
source_dir=$(realpath "$3")
need_tools xvfb-run xdotool import convert
in_own_xvfb "$XVFB_SERVER_ARGS" "$@"

game_folder_in_work "$source_dir"
seed=7
fail() { echo "FAILED: $*"; tail -5 err.txt; exit 1; }


# Wrong arguments are refused before any window opens.
for args in "" "$seed --agent nobody" "$seed --speed 3" "$seed 8" "seven" \
    "--replay-file x.json $seed" "--replay-file x.json --agent planner"; do
    # shellcheck disable=SC2086
    "$watch" $args >/dev/null 2>usage.err
    [ $? -eq 2 ] && grep -q "^usage: gulper-watch SEED" usage.err || fail "\"gulper-watch $args\" is not refused"
done

"$sim" --replay "$seed" >replay.log 2>replay.err || fail "the replay"
ticks=$(sed -n 's/.* \([0-9]*\) ticks, .*/\1/p' replay.err)

# 1. A whole game as fast as it goes: the same log as the replay, and the title at its end.
start_in . "$watch" "$seed" --speed max
wait_for err.txt "ticks; R plays it again" || fail "the game did not end"
title=$(xdotool getwindowname "$wid")
stop
[ "$status" -eq 0 ] || fail "gulper-watch exited with $status"
cmp -s out.txt replay.log || fail "the log differs from gulper-sim --replay $seed"
echo "ok: the log of seed $seed is the replay's ($(wc -l <replay.log) lines)"
case "$title" in
    "gulper-watch: seed $seed, tick $ticks, score "*) echo "ok: title \"$title\"" ;;
    *) fail "the title \"$title\" does not give the seed and the last tick $ticks" ;;
esac

# 2. Opened paused: nothing is played, and nothing of a plan is drawn before the first decision.
start_in . "$watch" "$seed" --paused
sleep 1
shot start
[ ! -s out.txt ] || fail "it played while paused"
[ "$(route_pixels start.png)" -eq 0 ] || fail "a route is drawn before any decision"

# 3. Stepping: each right arrow plays one tick; the log is the replay's so far.
steps=120
xdotool key --window "$wid" --delay 5 --repeat "$steps" Right
wait_for err.txt "one tick \[tick $steps," || fail "$steps steps did not reach tick $steps"
sleep 0.5
shot stepped
lines=$(wc -l <out.txt)
[ "$lines" -gt 0 ] || fail "stepping logged nothing"
cmp -s out.txt <(head -n "$lines" replay.log) || fail "the stepped log is not the replay's start"
# Paused, nothing more is played.
sleep 1
[ "$(wc -l <out.txt)" -eq "$lines" ] || fail "it went on playing while paused"
pixels=$(route_pixels stepped.png)
[ "$pixels" -ge 20 ] || fail "no route drawn at tick $steps ($pixels pixels)"
echo "ok: paused, $steps single steps, the route drawn ($pixels pixels)"

# 4. Space resumes; space pauses again later.
xdotool key --window "$wid" space
sleep 1
xdotool key --window "$wid" space
wait_for err.txt "paused \[tick" || fail "no pause after resuming"
paused_at=$(grep -o "paused \[tick [0-9]*" err.txt | tail -1 | grep -o "[0-9]*$")
[ "$paused_at" -gt "$steps" ] || fail "it did not play on after space (tick $paused_at)"
cmp -s out.txt <(head -n "$(wc -l <out.txt)" replay.log) || fail "the resumed log parts ways"
echo "ok: resumed to tick $paused_at and paused again, still the replay's log"

# 5. + and - change the speed, on the main keys and the keypad alike.
xdotool key --window "$wid" plus KP_Add
wait_for err.txt "speed 4x" || fail "+ and keypad + did not speed up from 1x to 4x"
xdotool key --window "$wid" minus KP_Subtract minus
wait_for err.txt "speed 1/2x" || fail "- and keypad - did not slow down to 1/2x"
echo "ok: + and - change the speed"

# 6. R plays the seed again from its start, N the next seed.
xdotool key --window "$wid" r
wait_for err.txt "^gulper-watch: seed $seed (planner) \[tick 0, paused" || fail "R did not restart"
[ "$(grep -c "^gulper-watch: seed $seed (planner) \[tick 0" err.txt)" -eq 2 ] ||
    fail "R did not restart the seed"
xdotool key --window "$wid" n
wait_for err.txt "^gulper-watch: seed $((seed + 1)) (planner) \[tick 0" || fail "N did not go on"
stop
[ "$status" -eq 0 ] || fail "gulper-watch exited with $status"
echo "ok: R restarted seed $seed, N went on to seed $((seed + 1))"

# 7. A replay file: the recorded game to its end, as recorded; its recorded plan drawn.
"$sim" --replay "$seed" --record rec >/dev/null 2>&1 || fail "recording seed $seed"
python3 - "rec/seed-$seed.json" planned.json <<'EOF'
import json, sys
game = json.load(open(sys.argv[1]))
plan = {"state": "recorded", "route": [[1, 1], [8, 1]], "goal": [1, 1], "fleeing_from": []}
game["plans"] = [plan] * game["result"]["decisions"]
json.dump(game, open(sys.argv[2], "w"))
EOF
start_in . "$watch" --replay-file planned.json --speed max
wait_for err.txt "$ticks ticks, as recorded; R plays it again" || fail "the replay did not end as recorded"
stop
[ "$status" -eq 0 ] || fail "gulper-watch exited with $status"
start_in . "$watch" --replay-file planned.json --paused
grep -q "^gulper-watch: seed $seed (replay of planner)" err.txt || fail "the replay is not named"
xdotool key --window "$wid" --delay 5 --repeat 30 Right
wait_for err.txt "one tick \[tick 30," || fail "30 steps of the replay did not reach tick 30"
sleep 0.5
shot replayed
pixels=$(route_pixels replayed.png)
stop
[ "$pixels" -ge 20 ] || fail "no recorded route drawn ($pixels pixels)"
echo "ok: the replay file's game ended as recorded at tick $ticks, its plan drawn ($pixels pixels)"
