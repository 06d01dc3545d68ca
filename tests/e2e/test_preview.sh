#!/usr/bin/env bash
# With a real MD2 model and its skin in models/, open a level whose segment 0
# has a trigger of that type, drag the map position with the right button in
# the preview, and check two screenshots (see check_preview.py).
set -u
editor=$1
. "$(dirname "$0")/e2e_lib.sh"
command -v import >/dev/null 2>&1 || { echo "SKIP: ImageMagick is not installed"; exit 77; }
command -v python3 >/dev/null 2>&1 || { echo "SKIP: python3 is not installed"; exit 77; }
models=${VANTROPE_TESTDATA:-$(dirname "$0")/../../../shared/testdata}/md2
[ -f "$models/camera1.md2" ] || { echo "SKIP: no test models in $models"; exit 77; }

mkdir "$E2E_WORK/models"
cp "$models/camera1.md2" "$models/camera1.png" "$E2E_WORK/models/"
level="$E2E_WORK/flight.txt"
{
    printf '%s\n' "[global]" "segments=4" "[segment]" "visualization=3" "length=4.000000" "cameraAngle=0"
    # A green terrain: nothing on it has red, unlike the model's skin.
    for i in $(seq 0 255); do printf 'palette%d=0x00%02x00\n' "$i" $((64 + i * 3 / 4)); done
    printf '%s\n' "[trigger]" "triggerType=camera1.md2" "triggerSegment=0" "stageCount=2" \
        "stage0trigger=0" "stage0x=-40" "stage0y=55" "stage0z=10" \
        "stage1trigger=0.08" "stage1x=40" "stage1y=55" "stage1z=10"
} >"$level"

start_editor "$editor"
open_level "$level"
preview=$(wait_window "Vantrope Perspective Preview") || fail "no preview window"

# Drags up by 14 pixels with the right button: the map position rises by
# 14 / 272 of the window's height.
raise_map_position() {
    eval "$(xdotool getwindowgeometry --shell "$preview")"
    xdotool mousemove $((X + 240)) $((Y + 200))
    sleep 0.2
    xdotool mousedown 3
    sleep 0.2
    for y in 193 186; do xdotool mousemove $((X + 240)) $((Y + y)); sleep 0.2; done
    xdotool mouseup 3
    sleep 1
}
for shot in first second; do
    raise_map_position
    import -window "$preview" -depth 8 "ppm:$E2E_WORK/$shot.ppm" || fail "no screenshot"
done
convert "$E2E_WORK/models/camera1.png" -depth 8 "ppm:$E2E_WORK/skin.ppm" || fail "could not read the skin"

if ! python3 "$(dirname "$0")/check_preview.py" "$E2E_WORK/first.ppm" "$E2E_WORK/second.ppm" \
        "$E2E_WORK/skin.ppm" "$(python3 -c 'print(14 / 272)')"; then
    for shot in first second; do cp "$E2E_WORK/$shot.ppm" "/tmp/vantrope-preview-$shot.ppm"; done
    fail "the preview is not as expected (shots kept as /tmp/vantrope-preview-*.ppm)"
fi
echo "PASS: background, terrain, model in its skin colours, and the path after the model has gone"
