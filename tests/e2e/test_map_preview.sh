#!/usr/bin/env bash
# Open a level whose first segment uses the Julia set with its own palette,
# take a screenshot, and find the expected 256 x 256 map preview in it.
set -u
editor=$1
. "$(dirname "$0")/e2e_lib.sh"
command -v import >/dev/null 2>&1 || { echo "SKIP: ImageMagick is not installed"; exit 77; }
command -v python3 >/dev/null 2>&1 || { echo "SKIP: python3 is not installed"; exit 77; }
tools=${VANTROPE_E2E_TOOLS:-$(dirname "$editor")}

level="$E2E_WORK/julia.txt"
{
    printf '%s\n' "[global]" "segments=4" "[segment]" "visualization=2" "seedA=0.300000" \
        "seedB=1.100000"
    for i in $(seq 0 255); do
        printf 'palette%d=0x%02x%02x%02x\n' "$i" $(((i * 7) % 256)) $((255 - i)) "$i"
    done
    printf '%s\n' "[segment]" "visualization=0"
} >"$level"
"$tools/expected_preview" "$level" >"$E2E_WORK/expected.ppm" || fail "could not compute the expected preview"
"$tools/expected_preview" "$level" palette >"$E2E_WORK/strip.ppm" || fail "could not compute the palette strip"

start_editor "$editor"
open_level "$level"
sleep 1
import -window "$MAIN_WINDOW" -depth 8 "ppm:$E2E_WORK/shot.ppm" || fail "no screenshot"
if ! at=$(python3 "$(dirname "$0")/find_subimage.py" "$E2E_WORK/shot.ppm" "$E2E_WORK/expected.ppm"); then
    cp "$E2E_WORK/shot.ppm" /tmp/vantrope-map-preview-failure.ppm
    fail "the expected map preview is not in the screenshot (kept as /tmp/vantrope-map-preview-failure.ppm)"
fi
strip_at=$(python3 "$(dirname "$0")/find_subimage.py" "$E2E_WORK/shot.ppm" "$E2E_WORK/strip.ppm") ||
    fail "the level's palette is not in the palette preview"
echo "PASS: map preview found at $at, palette strip at $strip_at"
