#!/usr/bin/env bash
# Runs a command on a private virtual X display (Xvfb), so GUI tests neither
# need nor disturb a real desktop. The screen is large enough for the preview
# window at 500, 800.
set -u
if ! command -v Xvfb >/dev/null 2>&1; then
    echo "with-display: Xvfb is not installed (apt-get install xvfb)" >&2
    exit 1
fi
fifo=$(mktemp -u /tmp/vantrope-xvfb.XXXXXX)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 20 display <"$fifo"
rm -f "$fifo"
if [ -z "${display:-}" ]; then
    echo "with-display: Xvfb did not start" >&2
    kill "$xvfb_pid" 2>/dev/null
    exit 1
fi
export DISPLAY=":$display"
"$@"
status=$?
kill "$xvfb_pid" 2>/dev/null
wait "$xvfb_pid" 2>/dev/null
exit $status
