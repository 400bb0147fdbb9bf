#!/usr/bin/env bash
# A worker process that dies mid-run ends the run with status 1 and a line naming the seed it
# was playing and the signal, and leaves no output file behind: a lost game is never taken
# for a finished study.
# Usage: worker_fault.sh GULPER_SIM SOURCE_DIR
set -u
. "$(dirname "$0")/../e2e/window.sh"
need_tools pgrep
sim=$(realpath "$1")
source_dir=$(realpath "$2")
fail() { echo "FAILED: $*"; exit 1; }

"$sim" --games 100000 --seed 1 --jobs 2 --config "$source_dir/data/config.txt" \
    --json "$work/out.json" >"$work/out.txt" 2>"$work/err.txt" &
pid=$!
workers=""
for _ in $(seq 100); do
    workers=$(pgrep -P "$pid")
    [ "$(echo "$workers" | wc -w)" -eq 2 ] && break
    sleep 0.1
done
[ -n "$workers" ] || { kill "$pid"; fail "no worker processes seen"; }
# Past the second after which a terminal would get a progress bar: a file gets none.
sleep 1.5
kill -KILL "$(echo "$workers" | head -1)"
wait "$pid"
status=$?
[ "$status" -eq 1 ] || fail "gulper-sim exited with $status, not 1: $(cat "$work/err.txt")"
grep -Eq "^gulper-sim: the worker playing seed [0-9]+ was killed by signal 9 \(Killed\) before sending its result$" \
    "$work/err.txt" || fail "the error is: $(cat "$work/err.txt")"
[ ! -s "$work/out.txt" ] || fail "a summary was printed"
! grep -q $'\r' "$work/err.txt" || fail "a progress bar was drawn into a file"
ls "$work" | grep -q "out.json" && fail "an output file was left: $(ls "$work")"
for worker in $workers; do
    ! kill -0 "$worker" 2>/dev/null || fail "worker $worker left running"
done
echo "ok: the killed worker ends the run with status 1, naming its seed, and no file is left"
