#!/usr/bin/env bash
# The installed gulper-watch, a link to the launcher: it runs the viewer (not the game) from the
# user's game folder, with the user's arguments, a relative --config taken from where it started.
# No display is needed: the viewer answers --help and refuses a missing settings file first.
# Usage: watch_launcher_test.sh BUILD_DIR
set -u
. "$(dirname "$0")/../e2e/window.sh"
cmake --install "$1" --prefix "$work/prefix" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; echo "FAILED: cmake --install"; exit 1; }
watch=$work/prefix/bin/gulper-watch
mkdir -p "$work/cwd/sub" "$work/home"
run() { (cd "$work/cwd" && env -i PATH="$PATH" HOME="$work/home" "$watch" "$@" >"$work/out.txt" 2>"$work/err.txt"); }

run --help
check "--help reaches the viewer" grep -q "^usage: gulper-watch SEED" "$work/out.txt"
check "the first start makes the game folder" [ -f "$work/home/.local/share/gulper/data/config.txt" ]

run 3 --speed max --config sub/missing.txt --max-ticks 10
check "a relative --config is read from where it started" \
    grep -qF "cannot read the settings file $work/cwd/sub/missing.txt" "$work/err.txt"
run 3 --config "$work/elsewhere.txt"
check "an absolute --config stays" grep -qF "settings file $work/elsewhere.txt" "$work/err.txt"
check "nothing is made where it started" [ "$(ls -A "$work/cwd")" = sub ]
finish
