#!/usr/bin/env bash
# Runs a program under a window manager on the X server of the calling xvfb-run, as on a
# surveyor's desktop: once the window manager has framed the windows the program shows first
# (WINDOWS of them), the program is asked to end with SIGTERM; the script ends with its status.
# With REPORT, the framed windows are written to that file before, one a line:
# "x y width height left right top bottom title" (the client area on the screen, then the
# frame's extents on each side).
# Usage (under xvfb-run): run_under_window_manager.sh WINDOWS PROGRAM [REPORT]
# With --until-done, the command runs under the window manager to its own end instead, and the
# script ends with its status: run_under_window_manager.sh --until-done COMMAND [ARGUMENTS...]
set -u
until_done=""
if [ "$1" = "--until-done" ]; then
    until_done=1
    shift
else
    windows="$1"
    program="$2"
    report="${3:-}"
fi
# The window manager marks the root window as managed (_NET_SUPPORTING_WM_CHECK) early in its
# start, well before it handles its events: windows the program maps in between can stay
# unframed until some other X event wakes the window manager, which on a quiet virtual display
# never comes. Its start command runs once it is through its start, so the program waits for it.
scratch=$(mktemp -d)
openbox --startup "touch $scratch/started" >"$scratch/openbox.log" 2>&1 &
wm=$!
trap 'kill "$wm" 2>/dev/null; rm -rf "$scratch"' EXIT
# Waits up to 60 s for a condition, looking every 0.1 s: a machine busy with a parallel build
# and other X servers may take long to start the program.
wait_for() {
    for _ in $(seq 600); do
        if eval "$1"; then return 0; fi
        sleep 0.1
    done
    echo "timed out waiting for: $1" >&2
    return 1
}
# What the window manager said and how it ended, when it is not there for the program.
window_manager_state() {
    if kill -0 "$wm" 2>/dev/null; then
        echo "the window manager runs" >&2
    else
        wait "$wm"
        echo "the window manager has ended with status $?" >&2
    fi
    cat "$scratch/openbox.log" >&2
}
if ! wait_for '[ -e "$scratch/started" ]'; then
    window_manager_state
    exit 90
fi
if [ -n "$until_done" ]; then
    "$@"
    exit $?
fi
"$program" &
pid=$!
framed() {
    local ids count=0
    ids=$(xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -o '0x[0-9a-f]*') || return 1
    for id in $ids; do
        xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '=' && count=$((count + 1))
    done
    framed_count=$count
    [ "$count" -ge "$windows" ]
}
framed_count=0
if ! wait_for framed; then
    if kill -0 "$pid" 2>/dev/null; then
        echo "the program runs, $framed_count of $windows windows framed" >&2
        # What the X server and the window manager hold then, for whoever looks into it.
        window_manager_state
        xprop -root _NET_CLIENT_LIST >&2 2>&1 || true
        xwininfo -root -children 2>&1 | grep -c '^ *0x' | sed 's/^/top-level windows: /' >&2 || true
        kill -KILL "$pid"
    else
        wait "$pid"
        echo "the program ended early with status $?" >&2
    fi
    exit 91
fi
# The framed windows, one a line, as the report gives them.
layout() {
    for id in $(xprop -root _NET_CLIENT_LIST | grep -o '0x[0-9a-f]*'); do
        info=$(xwininfo -id "$id")
        value() { echo "$info" | sed -n "s/^ *$1: *//p"; }
        extents=$(xprop -id "$id" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ',')
        title=$(xprop -id "$id" WM_NAME | sed -n 's/^WM_NAME([^)]*) = "\(.*\)"$/\1/p')
        echo "$(value 'Absolute upper-left X') $(value 'Absolute upper-left Y') $(value Width)" \
            "$(value Height) $extents $title"
    done
}
# The program learns its frames from the window manager's events and may move its windows
# then; on a loaded machine that takes a while. Wait until the layout has stood still for a
# second (looked at every half second), at most 30 s.
settled() {
    local now
    now=$(layout)
    if [ "$now" = "${last_layout:-}" ]; then
        still=$((still + 1))
    else
        still=0
        last_layout="$now"
    fi
    [ "$still" -ge 2 ]
}
still=0
last_layout=""
for _ in $(seq 60); do
    settled && break
    sleep 0.5
done
if [ -n "$report" ]; then
    layout >"$report"
fi
kill -TERM "$pid"
wait "$pid"
