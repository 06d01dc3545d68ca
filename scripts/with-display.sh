#!/usr/bin/env bash
# Runs a command on a private virtual X display (Xvfb), so GUI tests neither
# need nor disturb a real desktop. The screen is large enough for the preview
# window at 500, 800.
#
# Xvfb picks a free display itself (-displayfd) and names it once it listens.
# It must not reset when its last client leaves (-noreset): a server that
# resets refuses connections for a moment, and the end-to-end tests' short
# xdotool calls used to leave it resetting just as the editor connected
# ("Can't open display"). The command starts only once a client has really
# connected; a server that does not come up is replaced, up to three times.
#
# Listing GoogleTest cases needs no display, so that is run as it is.
set -u
case " $* " in *" --gtest_list_tests "*) exec "$@" ;; esac
for tool in Xvfb xdpyinfo; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "with-display: $tool is not installed (apt-get install xvfb x11-utils)" >&2
        exit 1
    fi
done

xvfb_pid=""
stop_xvfb() {
    [ -n "$xvfb_pid" ] || return 0
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
}
trap stop_xvfb EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

start_xvfb() {
    local fifo display=""
    fifo=$(mktemp -u /tmp/vantrope-xvfb.XXXXXX)
    mkfifo "$fifo" || return 1
    Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
    xvfb_pid=$!
    read -r -t 20 display <"$fifo"
    rm -f "$fifo"
    [ -n "$display" ] || return 1
    export DISPLAY=":$display"
    for _ in $(seq 100); do
        xdpyinfo >/dev/null 2>&1 && return 0
        kill -0 "$xvfb_pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

for attempt in 1 2 3; do
    start_xvfb && break
    stop_xvfb
    if [ "$attempt" = 3 ]; then
        echo "with-display: Xvfb did not start" >&2
        exit 1
    fi
done
"$@"
