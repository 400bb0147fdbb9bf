#!/usr/bin/env bash
# The installed gulper Python module, as a user would import it: from the install tree, started
# in the game folder the installed launcher makes, it plays a seeded game and draws its frame
# with the shipped pictures. No display is needed: the frame is drawn offscreen.
# Usage: installed_python_test.sh BUILD_DIR PYTHON
set -u
. "$(dirname "$0")/../e2e/window.sh"
cmake --install "$1" --prefix "$work/prefix" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; echo "FAILED: cmake --install"; exit 1; }
packages=$work/prefix/lib/python3/dist-packages
check "the module is installed where Debian's python3 looks" [ -f "$packages/gulper/__init__.py" ]
env -i PATH="$PATH" HOME="$work/home" "$work/prefix/bin/gulper-watch" --help >/dev/null 2>&1
folder=$work/home/.local/share/gulper
check "the launcher made the game folder" [ -d "$folder/data" ]
(cd "$folder" && env -i PATH="$PATH" HOME="$work/home" PYTHONPATH="$packages" "$2" -c '
import sys
import gulper
assert gulper.__file__.startswith(sys.argv[1]), gulper.__file__
env = gulper.Env()
obs, info = env.reset(seed=3)
planner = gulper.agent("planner")
for _ in range(50):
    obs, *_ = env.step(planner(obs, env))
frame = env.render()
gx, gy = obs["gulper_pixel"]
print("lit", int((frame.sum(axis=2) > 0).sum()), "gulper", frame[439 - gy, gx].tolist())
' "$packages" >"$work/out.txt" 2>"$work/err.txt")
check "the installed module plays and draws from the game folder" \
    grep -qE "^lit [0-9]{4,} gulper \[[1-9]" "$work/out.txt"
[ -s "$work/err.txt" ] && cat "$work/err.txt"
finish
