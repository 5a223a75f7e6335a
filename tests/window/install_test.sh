#!/usr/bin/env bash
# `cmake --install` into a scratch prefix: the program, its icons in the
# hicolor theme, a menu entry and AppStream metadata that name the same id and
# that desktop-file-validate and `appstreamcli validate --strict` accept, the
# manual pages and the bash completion.
#   install_test.sh BUILD_DIR SCRATCH_DIR
set -euo pipefail
build=$1
prefix=$2/prefix
id=org.example.zebrix
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
[ -x "$prefix/bin/zebrix" ] || fail "bin/zebrix not installed"
entry=$prefix/share/applications/$id.desktop
[ -f "$entry" ] || fail "no menu entry $id.desktop"
out=$(desktop-file-validate "$entry" 2>&1) || fail "invalid menu entry: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
grep -qx 'Exec=zebrix' "$entry" || fail "the entry does not start zebrix"
grep -qx "Icon=$id" "$entry" || fail "the entry does not name the icon $id"
for key in 'Name' 'Name\[fr\]' 'Comment' 'Comment\[fr\]' 'Keywords' 'Keywords\[fr\]' 'Categories'; do
  grep -q "^$key=." "$entry" || fail "the entry has no $key"
done

# AppStream (--no-net: the web site's addresses are not fetched).
meta=$prefix/share/metainfo/$id.metainfo.xml
[ -f "$meta" ] || fail "no AppStream metadata $id.metainfo.xml"
out=$(appstreamcli validate --strict --no-net --no-color "$meta" 2>&1) || fail "appstreamcli: $out"
grep -q "<id>$id</id>" "$meta" || fail "the metadata's id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$meta" || fail "the metadata does not name $id.desktop"
grep -q '<release version="1.0.0"' "$meta" || fail "the metadata has no release 1.0.0"

for size in 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
  [ -f "$icon" ] || fail "no ${size}x${size} icon"
  got=$(identify -format '%wx%h' "$icon")
  [ "$got" = "${size}x${size}" ] || fail "$icon is $got"
done
svg=$prefix/share/icons/hicolor/scalable/apps/$id.svg
got=$(identify -format '%wx%h' "MSVG:$svg") || fail "no readable scalable icon"
echo "scalable icon: $got"

for page in zebrix zebrix-cli; do
  man=$prefix/share/man/man1/$page.1.gz
  [ -f "$man" ] || fail "no manual page $page(1)"
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$man" 2>&1 >/dev/null) || fail "man cannot format $page(1)"
  [ -z "$warnings" ] || fail "$page(1): $warnings"
done
[ -f "$prefix/share/bash-completion/completions/zebrix-cli" ] || fail "no bash completion for zebrix-cli"
echo "ok: installed in $prefix"
