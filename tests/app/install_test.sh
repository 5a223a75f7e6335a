#!/usr/bin/env bash
# `cmake --install` into a scratch prefix: the program, its icons, and a menu entry and AppStream
# metadata naming the same id, accepted by desktop-file-validate and `appstreamcli validate --strict`.
# (The manual pages and the completion are checked by tests/packaging and the package test.)
#   install_test.sh BUILD_DIR SCRATCH_DIR
set -euo pipefail
prefix=$2/prefix id=org.example.zebrix
rm -rf "$prefix"
cmake --install "$1" --prefix "$prefix" >/dev/null
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -x "$prefix/bin/zebrix" ] || fail "bin/zebrix not installed"
entry=$prefix/share/applications/$id.desktop
out=$(desktop-file-validate "$entry" 2>&1) && [ -z "$out" ] || fail "invalid menu entry $entry: $out"
for line in 'Exec=zebrix$' "Icon=$id\$" 'Name\[fr\]=.' 'Comment\[fr\]=.' 'Keywords\[fr\]=.'; do grep -q "^$line" "$entry" || fail "no $line in $entry"; done
meta=$prefix/share/metainfo/$id.metainfo.xml
out=$(appstreamcli validate --strict --no-net --no-color "$meta" 2>&1) || fail "appstreamcli: $out"
grep -qF "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$meta" || fail "the metadata does not name $id.desktop"
for size in 32 48 64 128 256; do
  [ "$(identify -format '%wx%h' "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png")" = "${size}x${size}" ] || fail "no ${size}px icon"
done
identify "MSVG:$prefix/share/icons/hicolor/scalable/apps/$id.svg" >/dev/null || fail "no readable scalable icon"
echo "ok: installed in $prefix"
