#!/usr/bin/env bash
# Starts the real program on a virtual X server in the C locale, opens its
# save dialog with Ctrl+S and saves the screen as docs/save-dialog-fr.png:
# Qt's own texts in French whatever the locale.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target zebrix >/dev/null
mkdir -p docs
bash tests/support/with_xvfb.sh 820x560x24 bash -c '
  LANG=C LC_ALL=C QT_QPA_PLATFORM=xcb ./build/app/zebrix &
  pid=$!
  trap "kill $pid 2>/dev/null || true" EXIT
  wid=
  for _ in $(seq 100); do
    wid=$(xdotool search --onlyvisible --name "^Zebrix$" 2>/dev/null | head -n1 || true)
    [ -n "$wid" ] && break
    sleep 0.1
  done
  [ -n "$wid" ] || { echo "the window did not show" >&2; exit 1; }
  xdotool windowfocus --sync "$wid"
  xdotool type --delay 40 "ZEBRIX"
  xdotool key ctrl+s
  sleep 2
  import -window root docs/save-dialog-fr.png
'
echo docs/save-dialog-fr.png
