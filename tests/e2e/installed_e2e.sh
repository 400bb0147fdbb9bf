#!/usr/bin/env bash
# The installed game as a user starts it: from /, through the launcher, under Xvfb.
# Usage: installed_e2e.sh --install BUILD_DIR: installs the build into a fresh folder, checks
#   the desktop entry and the icons, then runs the checks below on it; or
#   installed_e2e.sh --run DESKTOP_FILE FOLDER COMMAND...: COMMAND starts the installed launcher
#   from / for a user whose game folder, as seen from here, is FOLDER, which must not exist yet.
# Checks: the first start makes the folder and says so once on standard error; the window's
# class is the desktop entry's StartupWMClass; the board shows walls, the Gulper and pictures;
# the agent plays; a second start says nothing and plays by the user's own settings.
set -u
. "$(dirname "$0")/window.sh"
need_tools xvfb-run xdotool xprop import convert
# -ac: a game started in another root has no copy of the server's cookie.
in_own_xvfb "$XVFB_SERVER_ARGS -ac" "$@"

pixel_alpha() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.a+0.5)]" info:
}

if [ "${1:-}" = "--install" ]; then
    build=$2
    prefix=$work/prefix
    cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
        { cat "$work/install.log"; echo "FAILED: cmake --install"; exit 1; }
    desktop=$prefix/share/applications/io.github.gulper.gulper.desktop
    if command -v desktop-file-validate >/dev/null; then
        check "the desktop entry is valid" desktop-file-validate "$desktop"
    else
        echo "FAILED: desktop-file-validate is not installed"
        failures=$((failures + 1))
    fi
    for size in 16 22 24 32 48 64 128 256; do
        icon=$prefix/share/icons/hicolor/${size}x${size}/apps/gulper.png
        check "icon $size: a $size x $size PNG" \
            [ "$(identify -format '%m %wx%h' "$icon" 2>&1)" = "PNG ${size}x${size}" ]
        check "icon $size: the corner is transparent" [ "$(pixel_alpha "$icon" 0 0)" = 0 ]
        # The Gulper's body, left of its middle, is opaque yellow.
        check "icon $size: the Gulper is yellow" \
            has_colour "$icon" 1 1 $((size * 3 / 10)) $((size / 2)) "rgb(255,230,0)" 1
    done
    check "the shipped settings are installed" [ -f "$prefix/share/gulper/data/config.txt" ]
    check "the pictures are installed" [ -f "$prefix/share/gulper/data/gulperright.tga" ]
    check "the simulator is installed" [ -x "$prefix/bin/gulper-sim" ]
    check "the viewer is installed" [ -x "$prefix/bin/gulper-watch" ]
    set -- --run "$desktop" "$work/home/.local/share/gulper" \
        env -u XDG_DATA_HOME HOME="$work/home" "$prefix/bin/gulper"
    mkdir -p "$work/home"
fi

if [ "${1:-}" != "--run" ] || [ $# -lt 4 ]; then
    echo "usage: installed_e2e.sh --install BUILD_DIR | --run DESKTOP_FILE FOLDER COMMAND..."
    exit 2
fi
desktop=$2
folder=$3
shift 3
[ ! -e "$folder" ] || { echo "FAILED: $folder is there before the first start"; exit 1; }

start_in / "$@"
sleep 1.5
shot first
wm_class=$(xprop -id "$wid" WM_CLASS | sed -n 's/.*= "\(.*\)", "\(.*\)"$/\2/p')
wanted=$(sed -n 's/^StartupWMClass=//p' "$desktop")
same_class() { [ -n "$wanted" ] && [ "$wm_class" = "$wanted" ]; }
check "the window's class ($wm_class) is the desktop entry's StartupWMClass ($wanted)" same_class
check "walls are drawn" has_colour "$work/first.png" 20 20 0 130 "rgb(0,0,255)" 20
check "the Gulper is drawn" has_colour "$work/first.png" 20 20 180 235 "rgb(255,230,0)" 100
check "the start picture is drawn" has_colour "$work/first.png" 100 30 90 285 "rgb(255,230,0)" 300
xdotool key --window "$wid" space
sleep 3
stop
check "the game closes with status 0" [ "$status" -eq 0 ]
check "the agent plays" grep -q -- "---FEEDING STATE---" "$work/out.txt"
# The game may run in another root, where the folder has another name than here.
check "the first start says where the game folder is, once" \
    [ "$(grep -c "made your game folder /.*/gulper; .*/gulper/data/config.txt" "$work/err.txt")" = 1 ]
check "nothing else on standard error" [ "$(wc -l <"$work/err.txt")" = 1 ]
[ -n "${GULPER_SCREENSHOT:-}" ] && cp "$work/first.png" "$GULPER_SCREENSHOT"

# The user's own settings: keyboard steering, so the agent stays quiet.
echo "control 0" >>"$folder/data/config.txt"
start_in / "$@"
sleep 1.5
xdotool key --window "$wid" space
sleep 2
stop
check "the second start closes with status 0" [ "$status" -eq 0 ]
check "the second start says nothing on standard error" [ ! -s "$work/err.txt" ]
check "the second start plays by the user's settings" [ ! -s "$work/out.txt" ]
finish
