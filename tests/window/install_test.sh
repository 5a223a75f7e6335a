#!/usr/bin/env bash
# `cmake --install` into a scratch prefix: the program, its icons, a menu entry and AppStream metadata
# naming the same id (accepted by desktop-file-validate and `appstreamcli validate --strict`), the manual
# pages and the bash completion.
#   install_test.sh BUILD_DIR SCRATCH_DIR
set -euo pipefail
prefix=$2/prefix id=org.example.zebrix
rm -rf "$prefix"
cmake --install "$1" --prefix "$prefix" >/dev/null
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -x "$prefix/bin/zebrix" ] || fail "bin/zebrix not installed"
entry=$prefix/share/applications/$id.desktop
out=$(desktop-file-validate "$entry" 2>&1) && [ -z "$out" ] || fail "invalid menu entry $entry: $out"
for line in 'Exec=zebrix$' "Icon=$id\$" 'Name=.' 'Name\[fr\]=.' 'Comment=.' 'Comment\[fr\]=.' 'Keywords=.' \
  'Keywords\[fr\]=.' 'Categories=.'; do
  grep -q "^$line" "$entry" || fail "the menu entry has no line $line"
done
meta=$prefix/share/metainfo/$id.metainfo.xml
out=$(appstreamcli validate --strict --no-net --no-color "$meta" 2>&1) || fail "appstreamcli: $out"
for want in "<id>$id</id>" "<launchable type=\"desktop-id\">$id.desktop</launchable>" '<release version="1.0.0"'; do
  grep -qF "$want" "$meta" || fail "the metadata has no $want"
done
for size in 32 48 64 128 256; do
  got=$(identify -format '%wx%h' "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png") || fail "no ${size}px icon"
  [ "$got" = "${size}x${size}" ] || fail "the ${size}px icon is $got"
done
identify "MSVG:$prefix/share/icons/hicolor/scalable/apps/$id.svg" >/dev/null || fail "no readable scalable icon"
for page in zebrix zebrix-cli; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null) \
    || fail "no manual page $page(1)"
  [ -z "$warnings" ] || fail "$page(1): $warnings"
done
[ -f "$prefix/share/bash-completion/completions/zebrix-cli" ] || fail "no bash completion for zebrix-cli"
echo "ok: installed in $prefix"
