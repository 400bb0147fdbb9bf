#!/usr/bin/env bash
# The real game with each kind of non-file in data/ in turn — a named pipe, a link to a device
# that never ends, a folder, a link to itself, a link to nowhere — as config.txt and as the
# pictures it reads (the start picture is read at every repaint): the window opens, the game
# plays, closing ends with status 0 and peak memory stays within a few MiB of a normal run. Then
# the same kinds for the simulator's settings (--config, --check-config): a pipe is read, the
# device is refused at the cap with a message, a folder is refused.
# Usage: hostile_data_e2e.sh GULPER_BINARY GULPER_SIM_BINARY SOURCE_DIR
set -u
. "$(dirname "$0")/window.sh"
game=$(realpath "$1")
sim=$(realpath "$2")
source_dir=$(realpath "$3")
need_tools xvfb-run xdotool import compare
in_own_xvfb "$XVFB_SERVER_ARGS" "$@"

kinds="pipe device folder self-link nowhere"
# make_kind KIND PATH: PATH becomes that kind of non-file.
make_kind() {
    rm -rf "$2"
    case $1 in
    pipe) mkfifo "$2" ;;
    device) ln -s /dev/zero "$2" ;;
    folder) mkdir "$2" ;;
    self-link) ln -s "$2" "$2" ;;
    nowhere) ln -s "$work/gone" "$2" ;;
    esac
}
peak_rss() { awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status"; }  # the game's, in KiB
# stop_within SECONDS: the close request, then up to SECONDS for the game to end; a game that
# does not end is killed and given status "hung".
stop_within() {
    kill -TERM "$pid"
    for _ in $(seq $(($1 * 10))); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill -9 "$pid"
        wait "$pid" 2>/dev/null
        status=hung
    else
        wait "$pid"
        status=$?
    fi
    pid=""
}
# play DIR: starts the game in DIR, leaves the start screen and lets it play two seconds; sets
# rss (KiB), status and whether the board changed while playing (moved).
play() {
    start_in "$1" "$game"
    xdotool key --window "$wid" space
    sleep 1
    shot first
    sleep 1
    shot second
    moved=no
    same_crop "$work/first.png" "$work/second.png" 380 440 0 0 || moved=yes
    rss=$(peak_rss)
    stop_within 5
}

folder=$work/game
mkdir -p "$folder/data"
cp "$source_dir"/data/* "$folder/data/"
play "$folder"
normal_rss=$rss
echo "normal run: peak ${normal_rss} KiB, status $status"

for kind in $kinds; do
    for place in config pictures; do
        cp "$source_dir"/data/* "$folder/data/" 2>/dev/null
        if [ "$place" = config ]; then
            make_kind "$kind" "$folder/data/config.txt"
        else
            make_kind "$kind" "$folder/data/start.tga"
            make_kind "$kind" "$folder/data/dot.tga"
        fi
        play "$folder"
        echo "$kind as $place: window opened, peak ${rss} KiB, status $status, moved $moved"
        check "$kind as $place: the game plays" [ "$moved" = yes ]
        check "$kind as $place: closes with status 0" [ "$status" = 0 ]
        check "$kind as $place: peak memory within 8 MiB of a normal run" \
            [ "$rss" -le $((normal_rss + 8 * 1024)) ]
        rm -rf "$folder/data/config.txt" "$folder/data/start.tga" "$folder/data/dot.tga"
    done
done

# The simulator: each kind named on its command line, with ten seconds at most for each.
named=$work/named
for kind in $kinds; do
    for option in --config --check-config; do
        make_kind "$kind" "$named"
        if [ "$kind" = pipe ]; then
            (printf 'fps 17\n' >"$named") &
        fi
        timeout 10 "$sim" --games 2 --max-ticks 500 "$option" "$named" >"$work/out.txt" 2>"$work/err.txt"
        status=$?
        said=$(cat "$work/out.txt" "$work/err.txt")
        echo "gulper-sim $option $kind: status $status: $(grep -m1 -e 'cannot read' -e 'fps ' -e 'games:' <<<"$said")"
        case $kind in
        pipe)
            check "$option pipe: read" [ "$status" = 0 ]
            [ "$option" = --check-config ] && check "--check-config pipe: shows fps 17" grep -q "fps  *17" <<<"$said"
            ;;
        device)
            check "$option device: refused at the cap" [ "$status" = 2 ]
            check "$option device: says so" grep -q "gives more than the 1048576 bytes it may" <<<"$said"
            ;;
        folder)
            check "$option folder: refused" [ "$status" = 2 ]
            check "$option folder: says so" grep -q "it is a folder" <<<"$said"
            ;;
        *)
            check "$option $kind: refused with a reason" [ "$status" = 2 ]
            check "$option $kind: says so" grep -q "it is a link" <<<"$said"
            ;;
        esac
        wait
    done
done

finish
