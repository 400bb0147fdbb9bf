#!/usr/bin/env bash
# The Python kit's nearest-food port, played over the protocol, gives every game exactly as
# the built-in nearest-food does (the CSV's columns of the built-in agent); the smallest
# example and the node kit's play whole runs without a fault; a comparison splits an exec
# agent whose command holds a comma from the next name.
# Usage: kit_test.sh GULPER_SIM SOURCE_DIR
set -u
sim=$(realpath "$1")
source_dir=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$source_dir" || exit 1
fail() { echo "FAILED: $*"; exit 1; }
config=(--config "$source_dir/data/config.txt")

"$sim" --agent nearest-food --games 50 --seed 1 "${config[@]}" --csv "$work/builtin.csv" \
    >/dev/null 2>&1 || fail "the built-in agent's run"
"$sim" --agent 'exec:python3 kits/python/nearest_food.py' --games 50 --seed 1 --jobs 2 \
    "${config[@]}" --csv "$work/kit.csv" --json "$work/kit.json" >"$work/kit.txt" 2>/dev/null ||
    fail "the kit's run"
cmp -s <(cut -d, -f1-6 "$work/kit.csv") "$work/builtin.csv" ||
    fail "the kit's games differ from the built-in agent's: $(diff <(cut -d, -f1-6 "$work/kit.csv") "$work/builtin.csv" | head -5)"
grep -q '^forfeit: *0$' "$work/kit.txt" || fail "the kit forfeited: $(cat "$work/kit.txt")"
grep -q '^faults: *timeout 0, invalid 0, crash 0' "$work/kit.txt" || fail "the kit had faults"
grep -q '^caught while: feeding 50$' "$work/kit.txt" || fail "the kit's state word is not read"
echo "ok: 50 games of the Python kit's nearest-food are the built-in agent's"

"$sim" --agent 'exec:python3 kits/python/example.py' --games 5 "${config[@]}" >"$work/ex.txt" \
    2>/dev/null || fail "the example's run"
grep -q '^forfeit: *0$' "$work/ex.txt" || fail "the example forfeited: $(cat "$work/ex.txt")"
echo "ok: the Python example plays"

if command -v node >/dev/null; then
    "$sim" --agent 'exec:node kits/node/example.js' --games 5 "${config[@]}" >"$work/node.txt" \
        2>/dev/null || fail "the node example's run"
    grep -q '^forfeit: *0$' "$work/node.txt" || fail "the node example forfeited: $(cat "$work/node.txt")"
    grep -q '^faults: *timeout 0, invalid 0, crash 0' "$work/node.txt" || fail "node faults"
    echo "ok: the node example plays"
else
    echo "skipped: no node"
fi

# A comma inside an exec command stays in it; the next registered name starts a side.
"$sim" --compare 'exec:python3 -c "import sys,json; sys.path.insert(0,\"kits/python\"); import gulper_agent; gulper_agent.run(lambda o: 0)",nearest-food' \
    --games 3 "${config[@]}" --csv "$work/cmp.csv" >"$work/cmp.txt" 2>&1 || fail "the comparison: $(tail -3 "$work/cmp.txt")"
[ "$(tail -n +2 "$work/cmp.csv" | grep -c ',nearest-food,\|^nearest-food,')" -eq 3 ] ||
    fail "nearest-food is not a side of its own: $(cat "$work/cmp.csv")"
grep -q '^"exec:python3 -c ""import sys,json;' "$work/cmp.csv" ||
    fail "the exec side's name is not one quoted CSV field: $(head -3 "$work/cmp.csv")"
echo "ok: --compare keeps the comma of an exec command"

# Shards of an exec agent's run join into the whole run's games and faults (its times are
# measured afresh, so they are left out).
kit=(--agent 'exec:python3 kits/python/nearest_food.py' --games 6 --seed 1 "${config[@]}")
"$sim" "${kit[@]}" --json "$work/whole.json" --csv "$work/whole.csv" >"$work/whole.txt" 2>/dev/null &&
    "$sim" "${kit[@]}" --shard 1/2 --json "$work/p1.json" >/dev/null 2>&1 &&
    "$sim" "${kit[@]}" --shard 2/2 --json "$work/p2.json" >/dev/null 2>&1 &&
    "$sim" --merge "$work/p1.json" "$work/p2.json" --csv "$work/merged.csv" >"$work/merged.txt" 2>&1 ||
    fail "the shards of an exec agent's run"
cmp -s <(cut -d, -f1-6,10- "$work/merged.csv") <(cut -d, -f1-6,10- "$work/whole.csv") &&
    cmp -s <(grep -v '^answer time:' "$work/merged.txt") <(grep -v '^answer time:' "$work/whole.txt") ||
    fail "the merged shards differ from the whole run: $(diff "$work/merged.txt" "$work/whole.txt")"
grep -q '^answer time:  median .* (3[0-9][0-9] answers)$' "$work/merged.txt" ||
    fail "the merged answer times: $(grep '^answer' "$work/merged.txt")"
echo "ok: an exec agent's shards merge into the whole run"
