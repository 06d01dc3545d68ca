#!/usr/bin/env bash
# Open a level with one trigger, select it on "Targets", press in the front
# view at its centre and in the top view far from the stage, and save: the
# stage is at x 0, y 0 and its time is the pressed column's. Then make three
# copies turned by 90 degrees with "Step and Repeat" and save them.
set -u
editor=$1
. "$(dirname "$0")/e2e_lib.sh"

level="$E2E_WORK/one.txt"
printf '%s\n' "[global]" "segments=8" "[segment]" "[trigger]" "triggerSegment=0" "health=1" "stageCount=2" \
    "stage0trigger=0.1" "stage0x=30" "stage0y=40" "stage0z=960" "stage1trigger=0.5" "stage1x=10" \
    "stage1y=0" "stage1z=1920" >"$level"

click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.3; }
type_into() { click "$1" "$2" "$3"; xdotool key Home shift+End; xdotool type "$4"; sleep 0.3; }
# The x, y and time of every stage of every trigger, to three decimals.
stages() {
    awk -F= '/^\[trigger\]/ { t++ } t && /^stage[0-9]+(x|y|trigger)=/ {
        v = sprintf("%.3f", $2 + 0); if (v == "-0.000") v = "0.000"; printf "%s %s\n", $1, v }' "$level"
}

start_editor "$editor"
open_level "$level"
focus "$MAIN_WINDOW"
click "$MAIN_WINDOW" 120 45    # the "Targets" tab
click "$MAIN_WINDOW" 60 140    # the trigger's line
click "$MAIN_WINDOW" 725 257   # the front view's centre (535 + 380 / 2, 90 + 335 / 2)
click "$MAIN_WINDOW" 820 500   # the top view, far from the stage: time (820 - 535) / 380
grep -q "editZ=0" "$E2E_WORK/editor.out" || fail "the press in the top view did not report editZ=0"
save_again "$level"
printf '%s\n' "stage0trigger 0.750" "stage0x 0.000" "stage0y 0.000" "stage1trigger 0.500" "stage1x 10.000" \
    "stage1y 0.000" >"$E2E_WORK/placed"
diff "$E2E_WORK/placed" <(stages) || fail "the saved stage is not where the presses put it"

click "$MAIN_WINDOW" 150 112   # "Step and Repeat"
dialog=$(wait_window "Vantrope - Step and Repeat") || fail "Step and Repeat did not open its dialog"
focus "$dialog"
type_into "$dialog" 97 22 3     # "Count"
type_into "$dialog" 307 22 90   # "Angle Increment"
click "$dialog" 295 312         # "OK"
save_again "$level"
[ "$(grep -c '^\[trigger\]' "$level")" = 4 ] || fail "the level does not hold the source and three copies"
{
    cat "$E2E_WORK/placed"
    for xy in "0.000 -10.000" "-10.000 0.000" "0.000 10.000"; do
        set -- $xy
        printf '%s\n' "stage0trigger 0.750" "stage0x 0.000" "stage0y 0.000" "stage1trigger 0.500" "stage1x $1" \
            "stage1y $2"
    done
} >"$E2E_WORK/copied"
diff "$E2E_WORK/copied" <(stages) || fail "the copies are not the source turned by 90, 180 and 270 degrees"
echo "PASS"
