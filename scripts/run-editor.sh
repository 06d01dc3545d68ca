#!/usr/bin/env bash
# Builds the editor and starts it. Without a display it runs the editor on a
# virtual one, saves a screenshot and prints its path.
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
ensure_packages $VANTROPE_BUILD_PACKAGES $VANTROPE_DISPLAY_PACKAGES

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target vantrope-editor -j"$(nproc)" >/dev/null
editor="$PWD/build/vantrope-editor"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec "$editor" "$@"
fi

echo "No display found: running the editor on a virtual display (Xvfb)."
shot="${TMPDIR:-/tmp}/vantrope-editor-screenshot.png"
scripts/with-display.sh bash -c '
    "$1" >/dev/null &
    pid=$!
    for _ in $(seq 50); do
        xdotool search --name "Vantrope Level Segment Editor" >/dev/null 2>&1 && break
        sleep 0.2
    done
    sleep 1
    import -window root "$2"
    kill $pid 2>/dev/null
    wait $pid 2>/dev/null
    true' _ "$editor" "$shot"
echo "Screenshot of the editor: $shot"
