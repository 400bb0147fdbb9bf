#!/usr/bin/env bash
# The real game in a real X window on an 800 x 600 screen: the whole window is on the screen;
# start screen, play, new game, close; and in keyboard play every key press
# clears the remembered arrow, punctuation and keypad included.
# Usage: game_e2e.sh GULPER_BINARY SOURCE_DIR
set -u
. "$(dirname "$0")/window.sh"
game=$(realpath "$1")
source_dir=$(realpath "$2")
need_tools xvfb-run xdotool import convert compare
in_own_xvfb "$XVFB_SERVER_ARGS" "$@"

start_in "$source_dir" "$game"
sleep 1.5
eval "$(xdotool getwindowgeometry --shell "$wid")"
check "window is 380 x 460 at $X,$Y, whole on the screen" \
    [ "$WIDTH" -eq 380 -a "$HEIGHT" -eq 460 -a "$X" -ge 0 -a "$Y" -ge 0 -a $((X + WIDTH)) -le 800 -a $((Y + HEIGHT)) -le 600 ]
import -window root "$work/screen.png"
check "the score line shows on the screen" has_white "$work/screen.png" 70 18 $((X + 2)) $((Y + 441))
shot start
check "outer wall is blue" is_colour "$work/start.png" 10 140 0 0 255
check "inner wall is blue" is_colour "$work/start.png" 110 120 0 0 255
check "door line is pink" is_colour "$work/start.png" 190 189 255 191 191
check "a dot at (1, 20)" is_colour "$work/start.png" 30 30 255 190 170
check "a power pill at (1, 19)" is_colour "$work/start.png" 30 50 255 190 170
check "the start picture is up" is_colour "$work/start.png" 190 358 255 230 0
check "the Gulper waits at its start" is_colour "$work/start.png" 195 249 255 230 0
check "food count is drawn" has_white "$work/start.png" 120 18 148 441

xdotool key --window "$wid" space
sleep 2
shot play1
sleep 5  # the first dot is five cells away: give a loaded machine time to get there
shot play2
check "the start picture is gone" not_colour "$work/play1.png" 190 358 255 230 0
check "the Gulper has left its start" not_colour "$work/play2.png" 195 249 255 230 0
check "the food count falls" eval '! same_crop "$work/start.png" "$work/play2.png" 120 18 148 441'
check "the agent explains itself" grep -q -- "---FEEDING STATE---" "$work/out.txt"

xdotool key --window "$wid" F1
sleep 1
shot again
check "F1 brings the start screen back" is_colour "$work/again.png" 190 358 255 230 0
check "F1 refills the board" is_colour "$work/again.png" 30 30 255 190 170
check "the food count is back to the start" same_crop "$work/start.png" "$work/again.png" 120 18 148 441
stop
check "closing ends with status 0" [ "$status" -eq 0 ]
check "nothing on standard error" [ ! -s "$work/err.txt" ]

# Keyboard play with no ghosts and the fruit too late to come: the Gulper starts going left and
# turns up where it first can.
mkdir -p "$work/keys/data"
cp "$source_dir"/data/*.tga "$work/keys/data/"
printf '%s\n' "control 0" "red_ghost 0" "green_ghost 0" "orange_ghost 0" "turquoise_ghost 0" \
    "n_moves_fruit_appears 1000" "fps 20" >"$work/keys/data/config.txt"
play() {  # play NAME KEYS...: space, then the keys at once; keeps the board once it stops changing
    start_in "$work/keys" "$game"
    sleep 1.5
    xdotool key --window "$wid" space
    sleep 0.3  # the start screen takes the space at its next tick
    xdotool key --window "$wid" --delay 0 "${@:2}"
    shot "$1"
    for _ in $(seq 20); do
        sleep 1
        shot next
        same_crop "$work/$1.png" "$work/next.png" 380 460 0 0 && break
        mv "$work/next.png" "$work/$1.png"
    done
    stop
}
play up Up
play up-comma Up comma
play up-a Up a
play up-keypad-minus Up KP_Subtract
play keypad-up KP_Up  # Num Lock is off
board() { same_crop "$work/$1.png" "$work/$2.png" 380 460 0 0; }
check "space, Up, comma plays as space, Up, a" board up-comma up-a
check "space, Up, keypad minus plays as space, Up, a" board up-keypad-minus up-a
check "space, Up alone plays otherwise" eval '! board up up-a'
check "the keypad's 8 with Num Lock off is Up" board keypad-up up
check "nothing on standard error" [ ! -s "$work/err.txt" ]
finish
