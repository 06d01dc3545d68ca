# Helpers for end-to-end tests that drive the real editor on a virtual
# display with xdotool, as a person would with keyboard and mouse.

for tool in xdotool xclip; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
done

E2E_WORK=$(mktemp -d /tmp/vantrope-e2e.XXXXXX)
EDITOR_PID=""
# The editor's recovery files go to the test's own folder, never the user's.
export XDG_STATE_HOME="$E2E_WORK/state"

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

# Runs the command until it succeeds, up to 10 s.
retry() {
    for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done
    return 1
}

# Starts the editor (in folder $2, default the work folder) and waits for its main window.
start_editor() {
    local exe
    exe=$(readlink -f "$1")
    (cd "${2:-$E2E_WORK}" && exec "$exe") >"$E2E_WORK/editor.out" 2>&1 &
    EDITOR_PID=$!
    MAIN_WINDOW=$(wait_window "Vantrope Level Segment Editor") || fail "main window did not appear"
}

# Prints the id of the first visible window whose title matches, waiting up to 10 s.
wait_window() { retry window_named "$1"; }
window_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 | grep .; }

# Prints the id of the editor's one window without a title: a question or
# an alert, when one is shown.
untitled() {
    local id
    for id in $(xdotool search --onlyvisible --class FLTK 2>/dev/null); do
        [ -z "$(xdotool getwindowname "$id")" ] && { echo "$id"; return 0; }
    done
    return 1
}

focus() {
    xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
    sleep 0.2
}

# Types a path into the focused file chooser by pasting it, since the
# chooser completes typed names, then confirms.
paste_path() {
    printf '%s' "$1" | xclip -selection clipboard
    xdotool key ctrl+a BackSpace ctrl+v
    sleep 0.3
    xdotool key Return
}

wait_file() { retry test -s "$1" && sleep 0.3; }

# File > Open (it has no shortcut: Alt+F, then O) with the level file $1;
# waits until the editor reports loading it.
open_level() {
    local chooser
    focus "$MAIN_WINDOW"
    xdotool key alt+f
    sleep 0.3
    xdotool key o
    chooser=$(wait_window "Open Level File") || fail "File > Open did not open the chooser"
    focus "$chooser"
    paste_path "$1"
    wait_loaded "$1"
}

# Waits until the editor has printed that it reads level $1, then a little more.
wait_loaded() {
    retry grep -q "Attempting to load level '$1'" "$E2E_WORK/editor.out"
    sleep 1
}

# Ctrl+A in the main window, then the level $1 through the Save As chooser;
# waits until $1.txt has been written.
save_as() {
    local chooser
    focus "$MAIN_WINDOW"
    xdotool key ctrl+a
    chooser=$(wait_window "Save As Level") || fail "Ctrl+A did not open the Save As chooser"
    focus "$chooser"
    paste_path "$1"
    wait_file "$1.txt" || fail "no file was written"
}

# Ctrl+S in the main window, then waits until the level file $1 has been
# written again.
save_again() {
    focus "$MAIN_WINDOW"
    touch -d '-1 second' "$E2E_WORK/marker"
    xdotool key ctrl+s
    retry test "$1" -nt "$E2E_WORK/marker" || fail "Ctrl+S did not save"
    sleep 0.3
}
