#!/usr/bin/env bash
# gulper-watch with an exec agent in a real X window: the Python kit's nearest-food plays the
# game gulper-sim --replay plays with it (the same end, score, food and ticks), and the route
# and goal it sends are drawn.
# Usage: watch_exec_e2e.sh GULPER_WATCH GULPER_SIM SOURCE_DIR
set -u
. "$(dirname "$0")/../e2e/window.sh"
watch=$(realpath "$1")
sim=$(realpath "$2")
source_dir=$(realpath "$3")
need_tools xvfb-run xdotool import convert python3
in_own_xvfb "$XVFB_SERVER_ARGS" "$@"

game_folder_in_work "$source_dir"
seed=5
agent="exec:python3 $source_dir/kits/python/nearest_food.py"
fail() { echo "FAILED: $*"; tail -5 err.txt; exit 1; }

"$sim" --replay "$seed" --agent "$agent" >/dev/null 2>replay.err || fail "the replay"
# "seed 5 lost, score 450, food left 121, 817 ticks, 41 decisions"
want=$(sed -n 's/^gulper-sim: seed [0-9]* \([a-z]*\), score \([0-9]*\), food left \([0-9]*\), \([0-9]*\) ticks.*/\1 \2 \3 \4/p' replay.err)
[ -n "$want" ] || fail "no result from the replay: $(cat replay.err)"

start_in . "$watch" "$seed" --speed max --agent "$agent"
wait_for "$work/err.txt" "ticks; R plays it again" || fail "the game did not end"
stop
[ "$status" -eq 0 ] || fail "gulper-watch exited with $status"
got=$(sed -n 's/^gulper-watch: \([a-z]*\)[^,]*, score \([0-9]*\), food left \([0-9]*\), \([0-9]*\) ticks;.*/\1 \2 \3 \4/p' "$work/err.txt")
[ "$got" = "$want" ] || fail "gulper-watch played \"$got\", gulper-sim --replay \"$want\""
echo "ok: seed $seed with the exec agent ends as the replay does: $got"

start_in . "$watch" "$seed" --paused --agent "$agent"
# Keys only once the agent has answered its hello and the game stands at tick 0: a loaded
# machine starts python slowly, and a key the window gets before then is lost.
wait_for "$work/err.txt" "(exec:.*) \[tick 0, paused" || fail "the game did not start"
xdotool key --window "$wid" --delay 5 --repeat 60 Right
wait_for "$work/err.txt" "one tick \[tick 60," || fail "60 steps did not reach tick 60"
sleep 0.5
shot stepped
pixels=$(route_pixels "$work/stepped.png")
stop
[ "$pixels" -ge 20 ] || fail "no route drawn from the agent's plan ($pixels pixels)"
echo "ok: the exec agent's route is drawn ($pixels pixels)"
