#!/usr/bin/env bash
# The report pages in a real browser: headless Chromium loads a run's page and a comparison's
# with no message on the console and nothing fetched; every chart is drawn by the inlined
# charting library, every picture decodes, and pointing at a game names its seed and the
# command that shows it, even when a name in the page's data holds "<!--<script>".
# Usage: report_chromium.sh GULPER_SIM SOURCE_DIR
set -u
. "$(dirname "$0")/../e2e/window.sh"
sim=$(realpath "$1")
source_dir=$(realpath "$2")
need_tools chromium
fail() { echo "FAILED: $*"; exit 1; }

config="$source_dir/data/config.txt"
# The run's settings file is named with what would end or comment out the page's data block
# were it written raw.
hostile="$work/cfg<!--<script>.txt"
cp "$config" "$hostile"
"$sim" --games 40 --seed 1 --config "$hostile" --report "$work/report" \
    >"$work/summary.txt" 2>"$work/sim.err" || fail "gulper-sim --report: $(cat "$work/sim.err")"
"$sim" --compare planner,nearest-food --games 30 --seed 5 --config "$config" \
    --report "$work/compare" >"$work/compare.txt" 2>"$work/compare.err" ||
    fail "gulper-sim --compare --report: $(cat "$work/compare.err")"

# Three sides, one an exec agent named by a command of 120 characters.
agent="exec:python3 $source_dir/kits/python/nearest_food.py --pad"
while [ ${#agent} -lt 120 ]; do agent="$agent-"; done
(cd "$work" && "$sim" --compare "planner,nearest-food,$agent" --games 12 --seed 3 \
    --config "$(realpath --relative-to="$work" "$config")" --report "$work/three" \
    --agent-stderr drop >"$work/three.txt" 2>"$work/three.err") ||
    fail "gulper-sim --compare with three sides: $(cat "$work/three.err")"

# PAGE NAME: one headless run with a fresh profile, nothing fetched or synced; the page is
# opened with #hover, which points at its first game.
load() {
    timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --user-data-dir="$work/profile-$2" --enable-logging=stderr --v=0 \
        --virtual-time-budget=5000 --dump-dom "file://$1#hover${3:-}" >"$work/$2.html" \
        2>"$work/$2.err" || fail "chromium --dump-dom $1"
    # Anything the page writes to its console (a script error, a blocked fetch) is a fault.
    if grep ":CONSOLE" "$work/$2.err"; then
        fail "$2: the page wrote to its console"
    fi
}
load "$work/report/index.html" run
grep -q '<p id="checks">2 of 2 charts drawn, 1 of 1 pictures shown</p>' "$work/run.html" ||
    fail "run: $(grep -o '<p id="checks">[^<]*' "$work/run.html")"
grep -q '<p id="hovered">seed 1: [a-z]*, score [0-9]*, [0-9]* ticks: watch it with <code>gulper-watch 1 --config [^<]*</code></p>' \
    "$work/run.html" || fail "run: the hover line is $(grep -o '<p id="hovered">.\{0,160\}' "$work/run.html")"
grep -q "<td>40</td>" "$work/run.html" || fail "the summary table is missing"

load "$work/compare/index.html" compare
grep -q '<p id="checks">5 of 5 charts drawn, 3 of 3 pictures shown</p>' "$work/compare.html" ||
    fail "compare: $(grep -o '<p id="checks">[^<]*' "$work/compare.html")"
grep -q '<p id="hovered">seed 5: planner [a-z]*, score [0-9]*, .*<code>gulper-watch 5 --config [^<]* --agent nearest-food</code></p>' \
    "$work/compare.html" || fail "compare: the hover line is $(grep -o '<p id="hovered">.\{0,260\}' "$work/compare.html")"
grep -q 'class="verdict"' "$work/compare.html" || fail "compare: no verdict"

# The third pair chosen by the address: its seeds and both its watch commands, the settings
# named by their absolute path though the run was given a relative one; every chart's names
# fit level (a tilted axis writes to the console); the exec agent shown by the name it gives,
# its whole command in the watch command.
load "$work/three/index.html" three "&pair=3"
grep -q '<p id="checks">5 of 5 charts drawn, 6 of 6 pictures shown</p>' "$work/three.html" ||
    fail "three: $(grep -o '<p id="checks">[^<]*' "$work/three.html")"
grep -q "<p id=\"hovered\">seed [0-9]*: nearest-food [a-z]*, score [0-9]*, [0-9]* ticks; nearest-food (Python) [a-z]*" \
    "$work/three.html" || fail "three: the hover line is $(grep -o '<p id="hovered">.\{0,200\}' "$work/three.html")"
grep -qF "<code>gulper-watch 3 --config $config --agent 'exec:python3 $source_dir/kits/python/nearest_food.py --pad" \
    "$work/three.html" || fail "three: no watch command with the absolute settings and the whole command: $(grep -o '<code>[^<]*' "$work/three.html")"
grep -q '<option value="2">nearest-food against nearest-food (Python)</option>' "$work/three.html" ||
    fail "three: the third pair is not on the chooser"

# Nothing on any page points off it: every source is inline or a data: address.
for page in "$work/report/index.html" "$work/compare/index.html" "$work/three/index.html"; do
    if grep -Eo '<(img|script|link|iframe)[^>]* (src|href)="[^d][^"]*"' "$page"; then
        fail "$page refers to something off the page"
    fi
done
echo "ok: every page loads with no console message, draws every chart with its names level, and names the hovered seed"
