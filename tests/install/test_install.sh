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

cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 || { cat "$prefix.log"; rm -f "$prefix.log"; fail "cmake --install failed"; }
rm -f "$prefix.log"

for program in vantrope-editor vantrope-level; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
done
entry="$prefix/share/applications/vantrope-editor.desktop"
[ -f "$entry" ] || fail "the desktop entry is not installed"
desktop-file-validate "$entry" || fail "desktop-file-validate refuses the entry"
grep -qx 'Exec=vantrope-editor %f' "$entry" || fail "the entry does not start vantrope-editor with a file"
grep -Eq '^Categories=(.*;)?(Development|Game);' "$entry" || fail "the entry is neither in Development nor in Game"
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "the icon '$icon' is not installed"
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" || fail "the icon is not an SVG picture"

# The installed level tool runs on its own.
"$prefix/bin/vantrope-level" --help | grep -q '^Usage: vantrope-level' || fail "the installed vantrope-level does not run"
printf '[global]\nsegments=4\n' >"$prefix/clean.txt"
"$prefix/bin/vantrope-level" check "$prefix/clean.txt" || fail "the installed vantrope-level finds fault with a clean level"
echo "PASS"
