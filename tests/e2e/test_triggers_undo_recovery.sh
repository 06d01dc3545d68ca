#!/usr/bin/env bash
# On "Targets": add three triggers, edit the second one's hit points, stage x and stage count, mirror
# it with "-x" and save; Ctrl+Z takes the mirror back, Ctrl+Shift+Z and Ctrl+Y put it back again. Then
# an unsaved edit outlives SIGKILL: Yes to the recovery question leaves the file alone and Ctrl+S saves
# the edit. The saved triggers are compared with the format written out by hand.
set -u
. "$(dirname "$0")/e2e_lib.sh"

# A [trigger] section: health, stage count, stage 0's x, and every other x and rx ("-0" once mirrored).
trigger_section() {
    printf '%s\n' "[trigger]" "triggerType=" "triggerSegment=0" "health=$1" "points=0" "bonusType=0" \
        "stageCount=$2"
    for ((i = 0; i < $2; i++)); do
        [ $i = 0 ] && x=$3 || x=$4
        printf '%s\n' "stage${i}trigger=0" "stage${i}x=$x" "stage${i}y=0" "stage${i}z=0" "stage${i}rx=$4" \
            "stage${i}ry=0" "stage${i}rz=0"
    done
    echo ""
}
three() { trigger_section 1 2 0 0; trigger_section "$1" 4 "$2" "$3"; trigger_section 1 2 0 0; }
three 5 -12 -0 >"$E2E_WORK/mirrored"
three 5 12 0 >"$E2E_WORK/edited"
three 7 12 0 >"$E2E_WORK/recovered"

click() { xdotool mousemove --window "$MAIN_WINDOW" "$1" "$2" click 1; sleep 0.3; }
type_into() { click "$1" "$2"; xdotool key Home shift+End; xdotool type "$3"; sleep 0.3; }
triggers() { sed -n "/^\[trigger\]/,/^\[enemy\]/p" "$level.txt" | sed "/^\[enemy\]/d"; }
recovery_files() { ls "$XDG_STATE_HOME"/vantrope-editor/*.recovery >/dev/null 2>&1; }

VANTROPE_AUTOSAVE_SECONDS=1 start_editor
focus "$MAIN_WINDOW"
click 120 45                          # the "Targets" tab
for _ in 1 2 3; do click 42 84; done  # "Add"
click 60 160                          # the second line of the list
type_into 497 200 5                   # "Hit Points"
type_into 327 369 12                  # stage 0 "x"
click 318 283                         # "Stage Count" at its low end, then two steps up
xdotool key Right Right
sleep 3                               # a pause: "-x" becomes an undo step of its own
click 25 112                          # "-x"
level="$E2E_WORK/level"
save ctrl+a "$level"
diff "$E2E_WORK/mirrored" <(triggers) || fail "the saved triggers differ from the expected ones"
# Keys, then the triggers saved afterwards: undo, redo with either key, undo the redone mirror.
for step in ctrl+z:edited ctrl+shift+z:mirrored "ctrl+z ctrl+y:mirrored" ctrl+z:edited; do
    IFS=: read -r keys want <<<"$step"
    focus "$MAIN_WINDOW"
    xdotool key $keys
    save ctrl+s "$level"
    diff "$E2E_WORK/$want" <(triggers) || fail "after $keys the saved triggers are not the $want ones"
done

type_into 497 200 7                   # "Hit Points", unsaved
xdotool key Return
retry recovery_files || fail "no recovery file written"
cp "$level.txt" "$E2E_WORK/saved"
kill -KILL "$EDITOR_PID"
wait "$EDITOR_PID" 2>/dev/null
VANTROPE_AUTOSAVE_SECONDS=3600 start_editor "$level.txt"
answer "no recovery question"        # "Yes"
retry grep -q "Recovered unsaved changes" "$E2E_WORK/editor.out"
cmp -s "$level.txt" "$E2E_WORK/saved" || fail "recovering changed the level file"
save ctrl+s "$level"
diff "$E2E_WORK/recovered" <(triggers) || fail "the edit was not recovered"
recovery_files && fail "Save left the recovery file"
echo "PASS"
