#!/usr/bin/env bash
# `cmake --install` into a scratch prefix: the program, its icon in the
# hicolor theme and a valid menu entry that starts it.
#   install_test.sh BUILD_DIR SCRATCH_DIR
set -euo pipefail
build=$1
prefix=$2/prefix
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
[ -x "$prefix/bin/zebrix" ] || fail "bin/zebrix not installed"
entry=$prefix/share/applications/zebrix.desktop
[ -f "$entry" ] || fail "no menu entry"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry" || fail "invalid menu entry"
fi
grep -qx 'Exec=zebrix' "$entry" || fail "the entry does not start zebrix"
grep -qx 'Icon=zebrix' "$entry" || fail "the entry does not name the icon"
for size in 32 64 128; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/zebrix.png
  [ -f "$icon" ] || fail "no ${size}x${size} icon"
  got=$(identify -format '%wx%h' "$icon")
  [ "$got" = "${size}x${size}" ] || fail "$icon is $got"
done
echo "ok: installed in $prefix"
