#!/usr/bin/env bash
# The report page in a real browser: headless Chromium loads it with no error on its console,
# and every picture decodes.
# Usage: report_chromium.sh GULPER_SIM SOURCE_DIR
set -u
. "$(dirname "$0")/../e2e/window.sh"
sim=$(realpath "$1")
source_dir=$(realpath "$2")
need_tools chromium
fail() { echo "FAILED: $*"; exit 1; }

"$sim" --games 40 --seed 1 --config "$source_dir/data/config.txt" --report "$work/report" \
    >"$work/summary.txt" 2>"$work/sim.err" || fail "gulper-sim --report"
page="file://$work/report/index.html"

# One headless run with a fresh profile, nothing fetched or synced.
timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile" --enable-logging=stderr --v=0 --virtual-time-budget=5000 \
    --dump-dom "$page" >"$work/dom.html" 2>"$work/dom.err" || fail "chromium --dump-dom"
grep -q '<p id="pictures">3 of 3 pictures shown</p>' "$work/dom.html" ||
    fail "not every picture shown: $(grep -o '<p id="pictures">[^<]*' "$work/dom.html")"
# Anything the page writes to its console (a script error, a blocked fetch) is a fault.
if grep ":CONSOLE" "$work/dom.err"; then
    fail "the page wrote to its console"
fi
grep -q "<td>40</td>" "$work/dom.html" || fail "the summary table is missing"
echo "ok: the page loads with no console message and shows 3 of 3 pictures"

