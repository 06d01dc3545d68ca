#!/usr/bin/env bash
# Edit a trigger, let the recovery file be written, kill the editor with
# SIGKILL and start it again on the level: the question, Yes, and Ctrl+S
# saves the edits. Then edits and File > Quit (status 1), with no timer
# running: offered again.
# Then Ctrl+S and Quit: nothing is offered and no recovery file is left.
set -u
editor=$1
. "$(dirname "$0")/e2e_lib.sh"
exe=$(readlink -f "$editor")
export VANTROPE_AUTOSAVE_SECONDS=1
level="$E2E_WORK/level.txt"
recoveries="$XDG_STATE_HOME/vantrope-editor"
printf '%s\n' "[global]" "segments=1" "[segment]" "[trigger]" "health=1" "stageCount=2" >"$level"
cp "$level" "$E2E_WORK/original"

start_on_level() {
    (cd "$E2E_WORK" && exec "$exe" "$level") >"$E2E_WORK/editor.out" 2>&1 &
    EDITOR_PID=$!
    MAIN_WINDOW=$(wait_window "Vantrope Level Segment Editor") || fail "main window did not appear"
    wait_loaded "$level"
}
answer_yes() {
    local id=""
    for _ in $(seq 50); do id=$(untitled) && break; sleep 0.1; done
    [ -n "$id" ] || fail "no recovery question ($1)"
    grep -q "Recovered unsaved changes" "$E2E_WORK/editor.out" && fail "recovered before the answer"
    focus "$id"
    xdotool key Return
    for _ in $(seq 50); do grep -q "Recovered unsaved changes" "$E2E_WORK/editor.out" && return 0; sleep 0.1; done
    fail "Yes did not recover the level ($1)"
}
set_hit_points() {
    focus "$MAIN_WINDOW"
    xdotool mousemove --window "$MAIN_WINDOW" 120 45 click 1   # the "Targets" tab
    sleep 0.3
    xdotool mousemove --window "$MAIN_WINDOW" 60 140 click 1   # the first trigger
    sleep 0.3
    xdotool mousemove --window "$MAIN_WINDOW" 497 200 click 1  # "Hit Points"
    xdotool key Home shift+End
    xdotool type "$1"
    xdotool key Return
    sleep 0.3
}
quit() {
    focus "$MAIN_WINDOW"
    xdotool key alt+f
    sleep 0.3
    xdotool key q
    wait "$EDITOR_PID"
    local status=$?
    EDITOR_PID=""
    [ "$status" = 1 ] || fail "File > Quit ended with status $status"
}
health() { grep '^health=' "$level"; }

start_on_level
set_hit_points 7
for _ in $(seq 50); do ls "$recoveries"/*.recovery >/dev/null 2>&1 && break; sleep 0.1; done
ls "$recoveries"/*.recovery >/dev/null 2>&1 || fail "no recovery file was written"
kill -KILL "$EDITOR_PID"
wait "$EDITOR_PID" 2>/dev/null

# No timer from here on: only Quit can write the recovery file.
VANTROPE_AUTOSAVE_SECONDS=3600 start_on_level
answer_yes "after SIGKILL"
cmp -s "$level" "$E2E_WORK/original" || fail "recovering changed the level file"
save_again "$level"
[ "$(health)" = "health=7" ] || fail "the recovered trigger was not saved: $(health)"
ls "$recoveries"/*.recovery >/dev/null 2>&1 && fail "Save left the recovery file"

set_hit_points 9
quit
start_on_level
answer_yes "after Quit"
save_again "$level"
[ "$(health)" = "health=9" ] || fail "the edits before Quit were not recovered: $(health)"
quit

start_on_level
sleep 1
untitled >/dev/null && fail "a saved level was offered a recovery"
ls "$recoveries"/*.recovery >/dev/null 2>&1 && fail "a recovery file is left after Save and Quit"
echo "PASS"
