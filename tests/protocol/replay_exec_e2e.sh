#!/usr/bin/env bash
# A randomised exec agent's game, recorded, comes back: two recordings of one seed differ,
# each is checked by gulper-sim --replay-file as the same game and shown by gulper-watch
# --replay-file to its recorded end; a recording with one action changed parts at that
# decision; a forfeited game's recording is the same game, to where the agent gave up.
# Usage: replay_exec_e2e.sh GULPER_WATCH GULPER_SIM SOURCE_DIR
set -u
. "$(dirname "$0")/../e2e/window.sh"
watch=$(realpath "$1")
sim=$(realpath "$2")
source_dir=$(realpath "$3")
need_tools xvfb-run xdotool python3
in_own_xvfb "$XVFB_SERVER_ARGS" "$@"

game_folder_in_work "$source_dir"
seed=3
fail() { echo "FAILED: $*"; exit 1; }

walk="exec:python3 $source_dir/kits/python/random_walk.py"
for run in one two; do
    "$sim" --agent "$walk" --games 3 --seed "$seed" --record "$run" >/dev/null 2>"$run.err" ||
        fail "recording the random walk: $(cat "$run.err")"
done
# A walk turns at random only where ways part, so a short game can come out alike twice:
# three seeds' games, not one, must differ somewhere.
python3 - one two <<'PY' || fail "the two runs of the random walk played the same games"
import json, os, sys
def actions(run):
    return [json.load(open(os.path.join(run, f)))["actions"] for f in sorted(os.listdir(run))]
sys.exit(0 if actions(sys.argv[1]) != actions(sys.argv[2]) else 1)
PY
for file in one/*.json two/*.json; do
    "$sim" --replay-file "$file" >check.txt 2>&1 ||
        fail "the recording $file is not the same game: $(cat check.txt)"
    grep -q "the same game: seed" check.txt || fail "no verdict: $(cat check.txt)"
done
echo "ok: two runs of the random walk on seeds $seed to $((seed + 2)) differ, and each recording is the same game again"

# One action changed halfway through the game: the game parts at that decision.
at=$(python3 - one/seed-$seed.json changed.json <<'PY'
import json, sys
game = json.load(open(sys.argv[1]))
actions = list(game["actions"])
at = len(actions) // 2
actions[at] = str(int(actions[at]) % 4 + 1)
game["actions"] = "".join(actions)
json.dump(game, open(sys.argv[2], "w"))
print(at)
PY
) || fail "changing the recording"
"$sim" --replay-file changed.json >changed.check 2>&1
status=$?
[ "$status" -eq 1 ] || fail "a changed recording gave status $status: $(cat changed.check)"
grep -q "at decision $at " changed.check || fail "not found at decision $at: $(cat changed.check)"
echo "ok: the changed action is found: $(head -1 changed.check)"

ticks=$(python3 -c "import json; print(json.load(open('one/seed-$seed.json'))['result']['ticks'])")
start_in . "$watch" --replay-file "one/seed-$seed.json" --speed max
wait_for err.txt "$ticks ticks, as recorded; R plays it again" ||
    fail "gulper-watch did not end the recording as recorded: $(tail -3 err.txt)"
stop
[ "$status" -eq 0 ] || fail "gulper-watch exited with $status"
echo "ok: gulper-watch shows the recorded random walk to its end at tick $ticks"

# An agent that exits after ten decisions forfeits, one that exits at once forfeits before the
# first: each recording checks up to there.
for mode in exit-mid exit-now; do
    "$sim" --agent "exec:python3 $source_dir/tests/protocol/hostile_agent.py $mode" --games 1 \
        --seed "$seed" --record "$mode" >/dev/null 2>&1
    "$sim" --replay-file "$mode/seed-$seed.json" >forfeit.check 2>&1 ||
        fail "the forfeited game's recording ($mode): $(cat forfeit.check)"
    grep -q "the same game: seed $seed forfeit" forfeit.check ||
        fail "no forfeit verdict ($mode): $(cat forfeit.check)"
    echo "ok: $(cat forfeit.check)"
done
