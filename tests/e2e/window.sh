# Sourced by the end-to-end scripts.
# The test X server: -noreset, or the next game to start may lose its connection when the server
# resets; a small screen, where a window placed carelessly reaches past the bottom edge.
XVFB_SERVER_ARGS="-screen 0 800x600x24 -nolisten tcp -noreset"
# need_tools TOOL...: skips the test (exit 77) when one of them is not installed.
need_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
    done
}
# in_own_xvfb SERVER_ARGS "$@": runs the calling script again, once, under its own X server.
in_own_xvfb() {
    local server_args=$1
    shift
    if [ -z "${GULPER_IN_XVFB:-}" ]; then
        export GULPER_IN_XVFB=1
        rm -rf "$work"
        exec xvfb-run -a -s "$server_args" "$0" "$@"
    fi
}
# A scratch folder, removed at the end with any program still running.
work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
check() {  # check DESCRIPTION COMMAND...
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
finish() {
    echo "$failures failed"
    [ "$failures" -eq 0 ]
}
# window_of PID: the id of the window of process PID once it is mapped, waiting up to 10 s.
window_of() {
    local wid=""
    for _ in $(seq 50); do
        wid=$(xdotool search --pid "$1" 2>/dev/null | head -1)
        [ -n "$wid" ] && break
        kill -0 "$1" 2>/dev/null || break
        sleep 0.2
    done
    echo "$wid"
}
# start_in DIR COMMAND...: runs COMMAND in DIR (to $work/out.txt, err.txt); sets pid and wid.
start_in() {
    (cd "$1" && exec "${@:2}" >"$work/out.txt" 2>"$work/err.txt") &
    pid=$!
    wid=$(window_of "$pid")
    [ -n "$wid" ] || { echo "FAILED: no window from $2 in $1"; cat "$work/out.txt" "$work/err.txt"; exit 1; }
}
# stop: a close request for the main window, as the close button sends; sets status.
stop() {
    kill -TERM "$pid"
    wait "$pid"
    status=$?
    pid=""
}
shot() { import -window "$wid" "$work/$1.png"; }
# Board pixel (x, y) is window pixel (x, 440 - y - 1).
# is_colour FILE X Y R G B: the pixel is within 40 of the colour.
is_colour() {
    local c r g b
    c=$(convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:)
    IFS=, read -r r g b <<<"$c"
    [ $(((r - $4) * (r - $4) < 1600 && (g - $5) * (g - $5) < 1600 && (b - $6) * (b - $6) < 1600)) -eq 1 ] ||
        { echo "  pixel ($2,$3) of $(basename "$1") is $c"; return 1; }
}
not_colour() { ! is_colour "$@" >/dev/null; }
# has_colour FILE W H X Y COLOUR MIN: at least MIN pixels within 10% of COLOUR in the rectangle.
has_colour() {
    local n
    n=$(convert "$1" -crop "$2x$3+$4+$5" +repage -fill black -opaque white -fuzz 10% \
        -fill white -opaque "$6" -fuzz 0 -fill black +opaque white -format '%[fx:int(mean*w*h+0.5)]' info:)
    [ "$n" -ge "$7" ] || { echo "  $n pixels of $6 in $2x$3+$4+$5, wanted $7 or more"; return 1; }
}
has_white() {  # has_white FILE W H X Y: a white pixel inside the rectangle, not all of it white
    [ "$(convert "$1" -crop "$2x$3+$4+$5" -format '%[fx:minima.r<1 && maxima.r>0.9 ? 1 : 0]' info:)" = 1 ]
}
# same_crop A B W H X Y: the two pictures agree inside the rectangle.
same_crop() {
    [ "$(compare -metric AE "$1[$3x$4+$5+$6]" "$2[$3x$4+$5+$6]" null: 2>&1)" = 0 ]
}

# wait_for FILE PATTERN: up to 60 s for a line matching PATTERN in FILE.
wait_for() {
    for _ in $(seq 300); do
        grep -q "$2" "$1" 2>/dev/null && return 0
        sleep 0.2
    done
    return 1
}
# route_pixels PICTURE: the number of pixels in the colour gulper-watch draws a route in.
route_pixels() {
    convert "$1" -fill black +opaque "#ff33ff" -fill white -opaque "#ff33ff" \
        -format "%[fx:round(mean*w*h)]" info:
}
# game_folder_in_work SOURCE_DIR: $work becomes a game folder, the source's pictures and shipped
# settings in its data/, and the current folder.
game_folder_in_work() {
    mkdir -p "$work/data"
    ln -s "$1"/data/*.tga "$work/data/"
    cp "$1/data/config.txt" "$work/data/config.txt"
    cd "$work" || exit 1
}
