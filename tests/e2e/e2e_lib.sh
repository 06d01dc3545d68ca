# Helpers for end-to-end tests that drive the real editor (the script's $1) on a
# virtual display with xdotool, as a person would with keyboard and mouse.
for tool in xdotool xclip; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
done
EXE=$(readlink -f "$1")
TOOLS=${VANTROPE_E2E_TOOLS:-$(dirname "$1")}
E2E_WORK=$(mktemp -d /tmp/vantrope-e2e.XXXXXX)
EDITOR_PID=""
export XDG_STATE_HOME="$E2E_WORK/state"  # recovery files go to the test's folder, not the user's

e2e_cleanup() {
    [ -n "$EDITOR_PID" ] && kill "$EDITOR_PID" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$E2E_WORK"
}
trap e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -f "$E2E_WORK/editor.out" ] && { echo "--- editor output"; tail -n 20 "$E2E_WORK/editor.out"; } >&2
    exit 1
}

retry() {  # runs the command until it succeeds, up to 10 s
    for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done
    return 1
}

# Starts the editor in the work folder with arguments "$@" (settings go before the call);
# waits for the window titled $TITLE (default: the main one) and for the level named last.
start_editor() {
    (cd "$E2E_WORK" && exec "$EXE" "$@") >"$E2E_WORK/editor.out" 2>&1 &
    EDITOR_PID=$!
    MAIN_WINDOW=$(wait_window "${TITLE:-Vantrope Level Segment Editor}") || fail "main window did not appear"
    [ $# = 0 ] || wait_loaded "${!#}"
}

wait_loaded() {  # until the editor has printed that it reads level $1, then a little more
    retry grep -q "Attempting to load level '$1'" "$E2E_WORK/editor.out"
    sleep 1
}

# Prints the id of the first visible window whose title matches, waiting up to 10 s.
wait_window() { retry window_named "$1"; }
window_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 | grep .; }

untitled_window() {  # a question or an alert
    local id
    for id in $(xdotool search --onlyvisible --class FLTK 2>/dev/null); do
        [ -z "$(xdotool getwindowname "$id")" ] && { echo "$id"; return 0; }
    done
    return 1
}

answer() {  # Return (Yes, OK) to the question or alert; fails with $1 when none is shown
    local id
    id=$(retry untitled_window) || fail "$1"
    focus "$id"
    xdotool key Return
}

focus() {
    xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
    sleep 0.2
}

# Gives the file chooser titled $1 the path $2, pasted since the chooser completes typed names.
choose() {
    local chooser
    chooser=$(wait_window "$1") || fail "no chooser \"$1\""
    focus "$chooser"
    printf '%s' "$2" | xclip -selection clipboard
    xdotool key ctrl+a BackSpace ctrl+v
    sleep 0.3
    xdotool key Return
}

# Ctrl+S, or Ctrl+A and the Save As chooser, for the level $2 (without ".txt"); waits until
# $2.txt has been written.
save() {
    focus "$MAIN_WINDOW"
    touch -d '-1 second' "$E2E_WORK/marker"
    xdotool key "$1"
    [ "$1" = ctrl+s ] || choose "Save As Level" "$2"
    retry test "$2.txt" -nt "$E2E_WORK/marker" || fail "$1 did not save"
    sleep 0.3
}
