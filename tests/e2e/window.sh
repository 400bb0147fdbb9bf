# Sourced by the end-to-end scripts.
# The test X server: -noreset, since a server that resets when its last client leaves can drop
# the connection of the next game to start.
XVFB_SERVER_ARGS="-screen 0 1024x768x24 -nolisten tcp -noreset"
# A small screen, where a window placed carelessly reaches past the bottom edge.
XVFB_SMALL_SCREEN_ARGS="-screen 0 800x600x24 -nolisten tcp -noreset"
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
        exec xvfb-run -a -s "$server_args" "$0" "$@"
    fi
}
# window_of PID: prints the id of the window of process PID once it is mapped, waiting up to
# 10 s; prints nothing if none comes or the process ends first.
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
