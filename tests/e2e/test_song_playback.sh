#!/usr/bin/env bash
# The real editor with a level that names a song: Space plays it through
# SDL's disk driver, Space stops it; the recorded sound is the song from the
# start of segment 0, and "Pos" has moved by the time played / S.
set -u
editor=$1
. "$(dirname "$0")/e2e_lib.sh"
tools=${VANTROPE_E2E_TOOLS:-$(dirname "$editor")}
exe=$(readlink -f "$editor")

"$tools/song_tool" write "$E2E_WORK/song.wav" || fail "could not write the song"
# One minute over four segments: S = 15 s.
printf '%s\n' "[global]" "duration=1" "segments=4" "song=song.wav" >"$E2E_WORK/level.txt"

(cd "$E2E_WORK" && SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$E2E_WORK/played.raw" exec "$exe" level.txt) \
    >"$E2E_WORK/editor.out" 2>&1 &
EDITOR_PID=$!
MAIN_WINDOW=$(wait_window "Vantrope Level Segment Editor") || fail "main window did not appear"
wait_loaded level.txt
retry grep -q 'Song "song.wav": 0:30.000' "$E2E_WORK/editor.out" || fail "the song was not read"

focus "$MAIN_WINDOW"
xdotool key space
sleep 1.5
xdotool key space
retry grep -q '^Stopped at' "$E2E_WORK/editor.out" || fail "Space did not play and stop the song"
stopped=$(grep '^Stopped at' "$E2E_WORK/editor.out" | tail -n 1)
pos=$(sed -n 's/.*in segment 0, "Pos" \([0-9.]*\)$/\1/p' <<<"$stopped")
[ -n "$pos" ] || fail "unexpected stop line: $stopped"

frames=$("$tools/song_tool" check "$E2E_WORK/played.raw" 0) || fail "the recorded sound is not the song"
# Pos = played / S, within two blocks of 1,024 frames at 8 kHz.
awk -v pos="$pos" -v frames="$frames" 'BEGIN {
    expected = frames / 8000 / 15
    exit !(frames > 4000 && pos > 0 && (pos - expected) ^ 2 < (2 * 1024 / 8000 / 15) ^ 2)
}' || fail "\"Pos\" $pos does not match $frames frames played"
echo "PASS ($frames frames, Pos $pos)"
