#!/usr/bin/env bash
# On "Targets": add three triggers, edit the second one's hit points, stage x
# and stage count, mirror it with "-x" and save; Ctrl+Z then takes the mirror
# back, and Ctrl+Shift+Z and Ctrl+Y put it back again. On "Enemy": set the
# first colour of a model added with "Add...".
# The saved sections are compared with the format written out by hand.
set -u
editor=$1
. "$(dirname "$0")/e2e_lib.sh"

# A [trigger] section: health, stage count, then "x rx" of each stage.
trigger_section() {
    local count=$2
    printf '%s\n' "[trigger]" "triggerType=" "triggerSegment=0" "health=$1" "points=0" "bonusType=0" \
        "stageCount=$count"
    shift 2
    for ((i = 0; i < count; i++)); do
        printf '%s\n' "stage${i}trigger=0" "stage${i}x=$1" "stage${i}y=0" "stage${i}z=0" "stage${i}rx=$2" \
            "stage${i}ry=0" "stage${i}rz=0"
        shift 2
    done
    echo ""
}
three() { trigger_section 1 2 0 0 0 0; trigger_section 5 4 "$@"; trigger_section 1 2 0 0 0 0; }
three -12 -0 -0 -0 -0 -0 -0 -0 >"$E2E_WORK/mirrored"
three 12 0 0 0 0 0 0 0 >"$E2E_WORK/edited"
printf '%s\n' "[enemy]" "enemyModelName=drone.md2" "explosionFirstColor=#ffff8000" "explosionLastColor=#003030" \
    "explosionRadius=60.000000" "explosionHeightScale=1.000000" "explosionDuration=1000" "lockOnSound=" \
    "explodeSound=" "" >"$E2E_WORK/enemy"

click() { xdotool mousemove --window "$MAIN_WINDOW" "$1" "$2" click 1; sleep 0.3; }
type_into() { click "$1" "$2"; xdotool key Home shift+End; xdotool type "$3"; sleep 0.3; }
triggers() { sed -n "/^\[trigger\]/,/^\[enemy\]/p" "$level" | sed "/^\[enemy\]/d"; }

start_editor "$editor"
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
save_as "$E2E_WORK/level"
level="$E2E_WORK/level.txt"
diff "$E2E_WORK/mirrored" <(triggers) || fail "the saved triggers differ from the expected ones"
# Keys, then the triggers saved afterwards.
for step in "ctrl+z:edited:Ctrl+Z did not take back the mirror" \
    "ctrl+shift+z:mirrored:Ctrl+Shift+Z did not redo the mirror" "ctrl+z ctrl+y:mirrored:Ctrl+Y did not redo the mirror" \
    "ctrl+z:edited:Ctrl+Z did not take back the redone mirror"; do
    IFS=: read -r keys want problem <<<"$step"
    focus "$MAIN_WINDOW"
    xdotool key $keys
    save_again "$level"
    diff "$E2E_WORK/$want" <(triggers) || fail "$problem"
done

: >"$E2E_WORK/drone.md2"
click 487 170                         # "Add..." beside the type
chooser=$(wait_window "Open MD2 Model") || fail "Add... did not open the model chooser"
focus "$chooser"
paste_path "$E2E_WORK/drone.md2"
sleep 0.5
focus "$MAIN_WINDOW"
click 185 45                          # the "Enemy" tab
click 60 110                          # the model's line
type_into 540 127 "#ff8000"           # "Explosion First Color"
click 60 110                          # away from the field
save_again "$level"
diff "$E2E_WORK/enemy" <(sed -n '/^\[enemy\]/,$p' "$level") || fail "the enemy section differs"
diff "$E2E_WORK/edited" <(triggers) || fail "the triggers changed with the enemy model"
echo "PASS"
