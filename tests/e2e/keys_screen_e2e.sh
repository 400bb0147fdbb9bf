#!/usr/bin/env bash
# The real game on a small screen (800 x 600 Xvfb): the whole window, score line included, is on
# the screen, and in keyboard play every key press clears the remembered arrow, punctuation
# included: space, Up, comma plays as space, Up, a, not as space, Up; and the keypad's 8 with
# Num Lock off steers up.
# Usage: keys_screen_e2e.sh GULPER_BINARY SOURCE_DIR
set -u
. "$(dirname "$0")/window.sh"
game=$1
source_dir=$2
need_tools xvfb-run xdotool import convert compare
in_own_xvfb "$XVFB_SMALL_SCREEN_ARGS" "$@"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check DESCRIPTION COMMAND...
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
has_white() {  # has_white FILE W H X Y: a white pixel inside the rectangle
    [ "$(convert "$1" -crop "$2x$3+$4+$5" -format '%[fx:minima.r<1 && maxima.r>0.9 ? 1 : 0]' info:)" = 1 ]
}
on_screen_white() {  # on_screen_white SCREEN W H X Y: the rectangle is on the screen and shows white
    [ $(($4 + $2)) -le 800 -a $(($5 + $3)) -le 600 ] && has_white "$@"
}
same_board() {  # same_board A B: the two window pictures are the same
    [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]
}
other_board() { ! same_board "$@"; }

start_game() {  # start_game DIR
    (cd "$1" && exec "$game" >"$work/out.txt" 2>"$work/err.txt") &
    pid=$!
    wid=$(window_of "$pid")
    [ -n "$wid" ] || { echo "FAILED: no game window"; cat "$work/out.txt" "$work/err.txt"; exit 1; }
    sleep 1.5
}
stop_game() {
    kill -TERM "$pid"
    wait "$pid"
}
# settled NAME: waits until the board stops changing (the Gulper has run into a wall), then
# keeps the picture as NAME.png
settled() {
    import -window "$wid" "$work/$1.png"
    for _ in $(seq 20); do
        sleep 1
        import -window "$wid" "$work/$1-next.png"
        same_board "$work/$1.png" "$work/$1-next.png" && return 0
        mv "$work/$1-next.png" "$work/$1.png"
    done
    echo "  $1: the board never settled"
}

# The window on an 800 x 600 screen.
start_game "$source_dir"
eval "$(xdotool getwindowgeometry --shell "$wid")"
echo "  window at $X,$Y, $WIDTH x $HEIGHT"
check "window is 380 x 460" [ "$WIDTH" -eq 380 -a "$HEIGHT" -eq 460 ]
check "window's left and top edges are on the screen" [ "$X" -ge 0 -a "$Y" -ge 0 ]
check "window's right and bottom edges are on the screen" \
    [ $((X + WIDTH)) -le 800 -a $((Y + HEIGHT)) -le 600 ]
import -window root "$work/screen.png"
check "the score line shows on the screen" on_screen_white "$work/screen.png" 70 18 $((X + 2)) $((Y + 441))
check "the food count shows on the screen" \
    on_screen_white "$work/screen.png" 120 18 $((X + 148)) $((Y + 441))
stop_game

# Keyboard play with no ghosts and the fruit too late to come: the Gulper starts going left and
# turns up where it first can.
mkdir -p "$work/keys/data"
cp "$source_dir"/data/*.tga "$work/keys/data/"
cat >"$work/keys/data/config.txt" <<'SETTINGS'
control 0
red_ghost 0
green_ghost 0
orange_ghost 0
turquoise_ghost 0
n_moves_fruit_appears 1000
fps 20
SETTINGS
play() {  # play NAME KEYS...: space, then the keys at once, then the settled board
    start_game "$work/keys"
    xdotool key --window "$wid" space
    sleep 0.3  # the start screen takes the space at its next tick
    xdotool key --window "$wid" --delay 0 "${@:2}"
    settled "$1"
    stop_game
}
play up Up
play up-comma Up comma
play up-a Up a
play up-keypad-minus Up KP_Subtract
play keypad-up KP_Up  # Num Lock is off
check "space, Up, comma plays as space, Up, a" same_board "$work/up-comma.png" "$work/up-a.png"
check "space, Up, keypad minus plays as space, Up, a" \
    same_board "$work/up-keypad-minus.png" "$work/up-a.png"
check "space, Up alone plays otherwise" other_board "$work/up.png" "$work/up-a.png"
check "the keypad's 8 with Num Lock off is Up" same_board "$work/keypad-up.png" "$work/up.png"
check "nothing on standard error" [ ! -s "$work/err.txt" ]
[ -n "${GULPER_KEEP:-}" ] && cp "$work"/*.png "$GULPER_KEEP"/

echo "$failures failed"
[ "$failures" -eq 0 ]
