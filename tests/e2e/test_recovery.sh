#!/usr/bin/env bash
# Edit a trigger, let the recovery file be written, kill the editor with
# SIGKILL and start it again on the level: Yes to the question, the level
# file untouched, and Ctrl+S saves the edits.
set -u
editor=$1
. "$(dirname "$0")/e2e_lib.sh"
exe=$(readlink -f "$editor")
level="$E2E_WORK/level.txt"
printf '%s\n' "[global]" "segments=1" "[segment]" "[trigger]" "health=1" "stageCount=2" >"$level"
cp "$level" "$E2E_WORK/original"
recovery_files() { ls "$XDG_STATE_HOME"/vantrope-editor/*.recovery >/dev/null 2>&1; }

start_on_level() {  # $1: seconds between autosaves
    (cd "$E2E_WORK" && exec env VANTROPE_AUTOSAVE_SECONDS="$1" "$exe" "$level") >"$E2E_WORK/editor.out" 2>&1 &
    EDITOR_PID=$!
    MAIN_WINDOW=$(wait_window "Vantrope Level Segment Editor") || fail "main window did not appear"
    wait_loaded "$level"
}

start_on_level 1
focus "$MAIN_WINDOW"
# On "Targets", the first trigger's "Hit Points" becomes 7.
for xy in "120 45" "60 140" "497 200"; do xdotool mousemove --window "$MAIN_WINDOW" $xy click 1; sleep 0.3; done
xdotool key Home shift+End
xdotool type 7
xdotool key Return
retry recovery_files || fail "no recovery file written"
kill -KILL "$EDITOR_PID"
wait "$EDITOR_PID" 2>/dev/null

start_on_level 3600
question=$(retry untitled) || fail "no recovery question"
focus "$question"
xdotool key Return  # "Yes"
retry grep -q "Recovered unsaved changes" "$E2E_WORK/editor.out"
cmp -s "$level" "$E2E_WORK/original" || fail "recovering changed the level file"
save_again "$level"
[ "$(grep '^health=' "$level")" = "health=7" ] || fail "the edits were not recovered"
recovery_files && fail "Save left the recovery file"
echo "PASS"
