#!/usr/bin/env bash
# Start the editor with a level on its command line, after one of the
# toolkit's own options, and see the level's values in its window; then start
# it with a level that does not exist and see the alert and a new level.
set -u
editor=$1
. "$(dirname "$0")/e2e_lib.sh"
command -v import >/dev/null 2>&1 || { echo "SKIP: ImageMagick is not installed"; exit 77; }
command -v python3 >/dev/null 2>&1 || { echo "SKIP: python3 is not installed"; exit 77; }
tools=${VANTROPE_E2E_TOOLS:-$(dirname "$editor")}
exe=$(readlink -f "$editor")

{
    printf '%s\n' "[global]" "segments=5" "[segment]" "visualization=2" \
        "seedA=0.450000" "seedB=1.300000"
    for i in $(seq 0 255); do
        printf 'palette%d=0x%02x%02x%02x\n' "$i" "$i" $(((i * 5) % 256)) $((255 - i))
    done
} >"$E2E_WORK/start.txt"
: >"$E2E_WORK/empty.txt"
"$tools/expected_preview" "$E2E_WORK/start.txt" >"$E2E_WORK/expected.ppm" || fail "no expected preview"
"$tools/expected_preview" "$E2E_WORK/empty.txt" >"$E2E_WORK/new.ppm" || fail "no expected new-level preview"

shows_map() {
    import -window "$1" -depth 8 "ppm:$E2E_WORK/shot.ppm" || fail "no screenshot"
    python3 "$(dirname "$0")/find_subimage.py" "$E2E_WORK/shot.ppm" "$2" >/dev/null
}

# A relative level name, read from the folder the editor starts in.
(cd "$E2E_WORK" && exec "$exe" -title "Vantrope Start Test" start.txt) >"$E2E_WORK/editor.out" 2>&1 &
EDITOR_PID=$!
window=$(wait_window "Vantrope Start Test") || fail "the -title option was not applied"
wait_loaded start.txt
shows_map "$window" "$E2E_WORK/expected.ppm" || fail "the level's map is not in the window"
kill "$EDITOR_PID"
wait "$EDITOR_PID" 2>/dev/null

(cd "$E2E_WORK" && exec "$exe" missing.txt) >"$E2E_WORK/editor.out" 2>&1 &
EDITOR_PID=$!
window=$(wait_window "Vantrope Level Segment Editor") || fail "main window did not appear"
wait_loaded missing.txt
for _ in $(seq 50); do alert=$(untitled) && break; sleep 0.1; done
[ -n "$alert" ] || fail "no alert for a level that cannot be read"
focus "$alert"
xdotool key Return
for _ in $(seq 50); do untitled >/dev/null || break; sleep 0.1; done
sleep 0.5
shows_map "$window" "$E2E_WORK/new.ppm" || fail "the editor does not show a new level after the alert"
echo "PASS"
