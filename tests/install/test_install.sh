#!/usr/bin/env bash
# Installs the build into a temporary prefix: both programs (which run from there), the desktop entry,
# which desktop-file-validate accepts, and the icon it names.
set -u
command -v desktop-file-validate >/dev/null 2>&1 || { echo "SKIP: no desktop-file-validate"; exit 77; }
work=$(mktemp -d /tmp/vantrope-install.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

prefix="$work/root"
cmake --install "$1" --prefix "$prefix" >"$work/log" 2>&1 || { cat "$work/log"; fail "cmake --install failed"; }
[ -x "$prefix/bin/vantrope-editor" ] && [ -x "$prefix/bin/vantrope-level" ] || fail "a program is not installed"
entry="$prefix/share/applications/vantrope-editor.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate refuses the entry (or there is none)"
grep -qx 'Exec=vantrope-editor %f' "$entry" || fail "the entry does not start vantrope-editor with a file"
grep -Eq '^Categories=(.*;)?(Development|Game);' "$entry" || fail "the entry is in neither Development nor Game"
icon="$prefix/share/icons/hicolor/scalable/apps/$(sed -n 's/^Icon=//p' "$entry").svg"
grep -q '<svg' "$icon" || fail "the icon the entry names is not installed as an SVG picture"
printf '[global]\nsegments=4\n' >"$work/clean.txt"
"$prefix/bin/vantrope-level" check "$work/clean.txt" || fail "the installed vantrope-level fails a clean level"
echo "PASS"
