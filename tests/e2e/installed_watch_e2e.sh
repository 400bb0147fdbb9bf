#!/usr/bin/env bash
# The installed viewer as a user starts it: gulper-watch 3 --max-ticks 200 from /, under Xvfb.
# Usage: installed_watch_e2e.sh COMMAND...: COMMAND starts the installed gulper-watch (the
#   arguments are added here).
# Checks: its window opens and shows the board, the agent plays seed 3 to tick 200 and the
#   viewer says how the game ended, and it closes with status 0.
set -u
. "$(dirname "$0")/window.sh"
need_tools xvfb-run xdotool import convert
# -ac: a viewer started in another root has no copy of the server's cookie.
in_own_xvfb "$XVFB_SERVER_ARGS -ac" "$@"
[ $# -ge 1 ] || { echo "usage: installed_watch_e2e.sh COMMAND..."; exit 2; }

start_in / "$@" 3 --max-ticks 200
sleep 1.5
shot first
check "walls are drawn" has_colour "$work/first.png" 20 20 0 130 "rgb(0,0,255)" 20
# 200 ticks take about 5 s at the shipped pace.
for _ in $(seq 60); do
    grep -q "200 ticks" "$work/err.txt" && break
    sleep 0.5
done
stop
check "the viewer closes with status 0" [ "$status" -eq 0 ]
check "the agent plays" grep -q -- "---FEEDING STATE---" "$work/out.txt"
check "the game stops at tick 200 and says how it ended" \
    grep -qE "^gulper-watch: (won|lost|unfinished).* 200 ticks" "$work/err.txt"
finish
