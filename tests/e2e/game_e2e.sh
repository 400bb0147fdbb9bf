#!/usr/bin/env bash
# The real game in a real X window (Xvfb): start screen, play, new game, close.
# Usage: game_e2e.sh GULPER_BINARY SOURCE_DIR
set -u
. "$(dirname "$0")/window.sh"
game=$1
source_dir=$2
need_tools xvfb-run xdotool import convert
in_own_xvfb "$XVFB_SERVER_ARGS" "$@"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check DESCRIPTION COMMAND...
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

# Colour of a window pixel as "r,g,b" (0-255).
pixel() {
    convert "$1" -format '%[fx:int(255*p{'"$2"','"$3"'}.r)],%[fx:int(255*p{'"$2"','"$3"'}.g)],%[fx:int(255*p{'"$2"','"$3"'}.b)]' info:
}
is_colour() {  # is_colour FILE X Y R G B: within 40 of the colour
    local c
    c=$(pixel "$1" "$2" "$3")
    IFS=, read -r r g b <<<"$c"
    [ $(( (r - $4) * (r - $4) < 1600 && (g - $5) * (g - $5) < 1600 && (b - $6) * (b - $6) < 1600 )) -eq 1 ] ||
        { echo "  pixel ($2,$3) of $(basename "$1") is $c"; return 1; }
}
not_colour() { ! is_colour "$@" >/dev/null; }
has_white() {  # has_white FILE W H X Y: a white pixel inside the rectangle
    [ "$(convert "$1" -crop "$2x$3+$4+$5" -format '%[fx:minima.r<1 && maxima.r>0.9 ? 1 : 0]' info:)" = 1 ]
}
differs() {  # differs A B W H X Y: the two crops are not the same
    convert "$1" -crop "$3x$4+$5+$6" +repage "$work/crop-a.png"
    convert "$2" -crop "$3x$4+$5+$6" +repage "$work/crop-b.png"
    local changed
    changed=$(compare -metric AE "$work/crop-a.png" "$work/crop-b.png" null: 2>&1)
    [ "$changed" != 0 ]
}
same() { ! differs "$@"; }

# start_game DIR: runs the game in DIR, waits for its window
start_game() {
    (cd "$1" && exec "$game" >"$work/out.txt" 2>"$work/err.txt") &
    pid=$!
    wid=$(window_of "$pid")
    [ -n "$wid" ] || { echo "FAILED: no game window"; cat "$work/out.txt" "$work/err.txt"; exit 1; }
    sleep 1.5
}
shot() { import -window "$wid" "$work/$1.png"; }
stop_game() {
    kill -TERM "$pid"  # arrives as a close request for the main window
    wait "$pid"
    status=$?
}

# Board pixel (x, y) is window pixel (x, 440 - y - 1).
start_game "$source_dir"
shot start
check "window is 380 x 460" [ "$(identify -format %wx%h "$work/start.png")" = 380x460 ]
check "outer wall is blue" is_colour "$work/start.png" 10 140 0 0 255
check "inner wall is blue" is_colour "$work/start.png" 110 120 0 0 255
check "door line is pink" is_colour "$work/start.png" 190 189 255 191 191
check "a dot at (1, 20)" is_colour "$work/start.png" 30 30 255 190 170
check "a power pill at (1, 19)" is_colour "$work/start.png" 30 50 255 190 170
check "the start picture is up" is_colour "$work/start.png" 190 358 255 230 0
check "the Gulper waits at its start" is_colour "$work/start.png" 195 249 255 230 0
check "score line is drawn" has_white "$work/start.png" 70 18 2 441
check "food count is drawn" has_white "$work/start.png" 120 18 148 441

xdotool key --window "$wid" space
sleep 2
shot play1
sleep 5  # the first dot is five cells away: give a loaded machine time to get there
shot play2
check "the start picture is gone" not_colour "$work/play1.png" 190 358 255 230 0
check "the Gulper has left its start" not_colour "$work/play2.png" 195 249 255 230 0
check "the food count falls" differs "$work/start.png" "$work/play2.png" 120 18 148 441
check "the agent explains itself" grep -q -- "---FEEDING STATE---" "$work/out.txt"

xdotool key --window "$wid" F1
sleep 1
shot again
check "F1 brings the start screen back" is_colour "$work/again.png" 190 358 255 230 0
check "F1 refills the board" is_colour "$work/again.png" 30 30 255 190 170
check "the food count is back to the start" same "$work/start.png" "$work/again.png" 120 18 148 441
stop_game
check "closing ends with status 0" [ "$status" -eq 0 ]
check "nothing on standard error" [ ! -s "$work/err.txt" ]
cp "$work/play2.png" "$work/last-play.png"
[ -n "${GULPER_KEEP:-}" ] && cp "$work"/*.png "$GULPER_KEEP"/

# No pictures and no settings: walls, door and score only; the arrow keys steer.
mkdir -p "$work/bare/data"
start_game "$work/bare"
shot bare
check "bare: walls still drawn" is_colour "$work/bare.png" 10 140 0 0 255
check "bare: door still drawn" is_colour "$work/bare.png" 190 189 255 191 191
check "bare: no dots" is_colour "$work/bare.png" 30 30 0 0 0
check "bare: no start picture" not_colour "$work/bare.png" 190 358 255 230 0
check "bare: score line drawn" has_white "$work/bare.png" 70 18 2 441
xdotool key --window "$wid" space
sleep 2
stop_game
check "bare: closes with status 0" [ "$status" -eq 0 ]
check "bare: keyboard steering, so the agent says nothing" [ ! -s "$work/out.txt" ]

if [ -n "${GULPER_SCREENSHOT:-}" ]; then
    cp "$work/last-play.png" "$GULPER_SCREENSHOT"
fi
echo "$failures failed"
[ "$failures" -eq 0 ]
