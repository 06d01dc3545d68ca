#!/usr/bin/env bash
# A level at 100 bpm naming a drum song at 128 bpm: Space plays it through SDL's disk driver and Space
# stops it; the recorded sound is the song from the start of segment 0 and "Pos" has moved by the time
# played / S. Then "Detect" finds the song's tempo, Return says Yes and Ctrl+S saves it.
set -u
. "$(dirname "$0")/e2e_lib.sh"
"$TOOLS/song_tool" write "$E2E_WORK/drums.wav" 128 || fail "could not write the song"
# One minute over four segments: S = 15 s.
printf '%s\n' "[global]" "duration=1" "segments=4" "bpm=100" "song=drums.wav" >"$E2E_WORK/level.txt"
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$E2E_WORK/played.raw" start_editor level.txt
retry grep -q 'Song "drums.wav": 0:30.000' "$E2E_WORK/editor.out" || fail "the song was not read"

focus "$MAIN_WINDOW"
xdotool key space
sleep 1.5
xdotool key space
retry grep -q '^Stopped at' "$E2E_WORK/editor.out" || fail "Space did not play and stop the song"
stopped=$(grep '^Stopped at' "$E2E_WORK/editor.out" | tail -n 1)
pos=$(sed -n 's/.*in segment 0, "Pos" \([0-9.]*\)$/\1/p' <<<"$stopped")
[ -n "$pos" ] || fail "unexpected stop line: $stopped"
frames=$("$TOOLS/song_tool" check "$E2E_WORK/played.raw" 128) || fail "the recorded sound is not the song"
# Pos = played / S, within two blocks of 1,024 frames at 44.1 kHz.
awk -v pos="$pos" -v frames="$frames" 'BEGIN {
    expected = frames / 44100 / 15
    exit !(frames > 22050 && pos > 0 && (pos - expected) ^ 2 < (2 * 1024 / 44100 / 15) ^ 2)
}' || fail "\"Pos\" $pos does not match $frames frames played"

xdotool mousemove --window "$MAIN_WINDOW" 407 160 click 1  # "Detect", right of "Beats per Minute"
answer "Detect asked nothing"
sleep 0.5
save ctrl+s "$E2E_WORK/level"
bpm=$(sed -n 's/^bpm=//p' "$E2E_WORK/level.txt")
awk -v b="$bpm" 'BEGIN { exit !(b > 127.5 && b < 128.5) }' || fail "saved bpm=$bpm, not the song's 128"
echo "PASS ($frames frames, Pos $pos, bpm=$bpm)"
