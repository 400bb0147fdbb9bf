#!/usr/bin/env bash
# What playing over the line protocol costs, on one process: games and decisions per second
# of the built-in nearest-food and of the Python kit's port of it (the same games), and of an
# agent that answers each line at once without reading it (sed, line-buffered; always 0:
# the Gulper stops at the first wall and decides every tick; one game of up to 20000 ticks),
# which leaves the simulator's own cost per decision and one trip through the pipes: the
# observation written, the answer read and checked. (Answers cannot wait in the pipe before
# they are asked: such lines are strays, dropped.) Each row gives the time a decision costs over
# the built-in agent's, and the median answer time (send to receive).
# Usage: bench/exec_protocol.sh [GAMES] [GULPER_SIM]   (from the top of the repository)
set -eu
games=${1:-1000}
sim=${2:-build/tools/gulper-sim}
quick="exec:exec stdbuf -oL sed -n 's/.*\"type\":\"hello\".*/{\"name\":\"quick\"}/p; s/.*\"type\":\"decide\".*/0/p'"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
run() {  # run NAME AGENT OPTION...: "NAME games/s decisions/s median-answer"
    "$sim" --agent "$2" --seed 1 --jobs 1 "${@:3}" >"$work/out" 2>"$work/err"
    # The progress bar shares the speed line, ended by carriage returns.
    echo "$1 $(tr '\r' '\n' <"$work/err" | sed -n 's/^speed: *\([0-9.]*\) decisions per second, \([0-9.]*\) games.*/\2 \1/p')" \
        "$(sed -n 's/^answer time:  median \([0-9.]* [mu]*s\).*/\1/p' "$work/out" | tr -d ' ')"
}
{
    run built-in nearest-food --games "$games"
    run python-kit "exec:python3 kits/python/nearest_food.py" --games "$games"
    run quick "$quick" --games 1 --max-ticks 20000
} | awk '
    { name[NR] = $1; gps[NR] = $2; dps[NR] = $3; median[NR] = $4 == "" ? "-" : $4 }
    END {
        printf "%-11s %9s %12s %16s %14s\n", "agent", "games/s", "decisions/s", "us/decision over", "median answer"
        for (i = 1; i <= NR; ++i) {
            over = i == 1 ? 0 : 1e6 / dps[i] - 1e6 / dps[1]
            printf "%-11s %9.1f %12.0f %16.1f %14s\n", name[i], gps[i], dps[i], over, median[i]
        }
    }'
