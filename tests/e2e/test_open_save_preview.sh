#!/usr/bin/env bash
# Start the editor with a level after one of the toolkit's own options: the screenshot shows segment 0's
# map (a Julia set in its palette) and palette strip. With a missing level: an alert, then a new level,
# which Ctrl+A saves. Then, with a real MD2 model and its skin in models/, File > Open a level with a
# trigger of that type and drag the map position in the 3D preview (see pictures.py).
set -u
. "$(dirname "$0")/e2e_lib.sh"
command -v import >/dev/null 2>&1 || { echo "SKIP: ImageMagick is not installed"; exit 77; }
command -v python3 >/dev/null 2>&1 || { echo "SKIP: python3 is not installed"; exit 77; }
pictures="$(dirname "$0")/pictures.py"
{
    printf '%s\n' "[global]" "segments=4" "[segment]" "visualization=2" "seedA=0.300000" "seedB=1.100000"
    for i in $(seq 0 255); do printf 'palette%d=0x%02x%02x%02x\n' "$i" $(((i * 7) % 256)) $((255 - i)) "$i"; done
    printf '%s\n' "[segment]" "visualization=0"
} >"$E2E_WORK/julia.txt"
"$TOOLS/expected_preview" "$E2E_WORK/julia.txt" >"$E2E_WORK/map.ppm" &&
    "$TOOLS/expected_preview" "$E2E_WORK/julia.txt" palette >"$E2E_WORK/strip.ppm" &&
    "$TOOLS/expected_preview" /dev/null >"$E2E_WORK/new.ppm" || fail "no expected pictures"

shot() { import -window "$1" -depth 8 "ppm:$E2E_WORK/$2.ppm" || fail "no screenshot"; }
shows() {  # $1: the window, $2: the picture to find in it, $3: the fault
    shot "$1" shot
    python3 "$pictures" find "$E2E_WORK/shot.ppm" "$E2E_WORK/$2.ppm" >/dev/null && return
    cp "$E2E_WORK/shot.ppm" /tmp/vantrope-open-failure.ppm
    fail "$3 (screenshot kept as /tmp/vantrope-open-failure.ppm)"
}

# A relative level name, read from the folder the editor starts in.
TITLE="Vantrope Start Test" start_editor -title "Vantrope Start Test" julia.txt
shows "$MAIN_WINDOW" map "the level's map preview is not in the window"
shows "$MAIN_WINDOW" strip "the level's palette is not in the palette strip"
kill "$EDITOR_PID"
wait "$EDITOR_PID" 2>/dev/null

start_editor missing.txt
answer "no alert for a level that cannot be read"
sleep 1
shows "$MAIN_WINDOW" new "the editor does not show a new level after the alert"
save ctrl+a "$E2E_WORK/newlevel"
[ "$(grep -c '^\[segment\]$' "$E2E_WORK/newlevel.txt")" = 8 ] || fail "the saved file is not the new level"

models=${VANTROPE_TESTDATA:-$(dirname "$0")/../../../shared/testdata}/md2
[ -f "$models/camera1.md2" ] || { echo "SKIP: the 3D preview: no test models in $models"; exit 77; }
mkdir "$E2E_WORK/models"
cp "$models/camera1.md2" "$models/camera1.png" "$E2E_WORK/models/"
convert "$models/camera1.png" -depth 8 "ppm:$E2E_WORK/skin.ppm" || fail "could not read the skin"
{
    printf '%s\n' "[global]" "segments=4" "[segment]" "visualization=3" "length=4.000000" "cameraAngle=0"
    # A green terrain: nothing on it has red, unlike the model's skin.
    for i in $(seq 0 255); do printf 'palette%d=0x00%02x00\n' "$i" $((64 + i * 3 / 4)); done
    printf '%s\n' "[trigger]" "triggerType=camera1.md2" "triggerSegment=0" "stageCount=2" \
        "stage0trigger=0" "stage0x=-40" "stage0y=55" "stage0z=10" \
        "stage1trigger=0.08" "stage1x=40" "stage1y=55" "stage1z=10"
} >"$E2E_WORK/flight.txt"
focus "$MAIN_WINDOW"
xdotool key alt+f                     # File > Open has no shortcut: Alt+F, then O
sleep 0.3
xdotool key o
choose "Open Level File" "$E2E_WORK/flight.txt"
wait_loaded "$E2E_WORK/flight.txt"
preview=$(wait_window "Vantrope Perspective Preview") || fail "no preview window"
# Twice: drag up by 14 pixels with the right button (the map position rises by 14 / 272 of
# the window's height), then a screenshot.
for shot in first second; do
    eval "$(xdotool getwindowgeometry --shell "$preview")"
    xdotool mousemove $((X + 240)) $((Y + 200)) sleep 0.2 mousedown 3 sleep 0.2 mousemove_relative -- 0 -7 \
        sleep 0.2 mousemove_relative -- 0 -7 sleep 0.2 mouseup 3 sleep 1
    shot "$preview" "$shot"
done
if ! python3 "$pictures" preview "$E2E_WORK/first.ppm" "$E2E_WORK/second.ppm" "$E2E_WORK/skin.ppm" \
        "$(python3 -c 'print(14 / 272)')"; then
    for shot in first second; do cp "$E2E_WORK/$shot.ppm" "/tmp/vantrope-preview-$shot.ppm"; done
    fail "the preview is not as expected (shots kept as /tmp/vantrope-preview-*.ppm)"
fi
echo "PASS: map, palette, new level saved; preview: fog, terrain, model in its skin colours, path after it"
