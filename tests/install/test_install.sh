#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what lands there:
# both programs (which run from there), the desktop entry, which
# desktop-file-validate accepts, and the icon it names.
set -u
build=$1
command -v desktop-file-validate >/dev/null 2>&1 || { echo "SKIP: desktop-file-validate is not installed"; exit 77; }
prefix=$(mktemp -d /tmp/vantrope-install.XXXXXX)
trap 'rm -rf "$prefix"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cmake --install "$build" --prefix "$prefix/root" >"$prefix/log" 2>&1 || { cat "$prefix/log"; fail "cmake --install failed"; }
prefix="$prefix/root"
[ -x "$prefix/bin/vantrope-editor" ] && [ -x "$prefix/bin/vantrope-level" ] || fail "a program is not installed"
entry="$prefix/share/applications/vantrope-editor.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate refuses the entry (or there is none)"
grep -qx 'Exec=vantrope-editor %f' "$entry" || fail "the entry does not start vantrope-editor with a file"
grep -Eq '^Categories=(.*;)?(Development|Game);' "$entry" || fail "the entry is neither in Development nor in Game"
icon="$prefix/share/icons/hicolor/scalable/apps/$(sed -n 's/^Icon=//p' "$entry").svg"
grep -q '<svg' "$icon" || fail "the icon the entry names is not installed as an SVG picture"

# The installed level tool runs on its own.
"$prefix/bin/vantrope-level" --help | grep -q '^Usage: vantrope-level' || fail "the installed vantrope-level does not run"
printf '[global]\nsegments=4\n' >"$prefix/clean.txt"
"$prefix/bin/vantrope-level" check "$prefix/clean.txt" || fail "the installed vantrope-level finds fault with a clean level"
echo "PASS"
