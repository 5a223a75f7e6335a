#!/usr/bin/env bash
# Memory of the real zebrix on an X server of its own (Xvfb): resident size
# (VmRSS) and its peak (VmHWM) from /proc at start, after the "..." button
# pastes a 1,000,000-character text and 20 characters are typed at its end,
# and after that text is pasted again with Ctrl+V over the whole field. The
# field's text is copied back out to check that every character arrived.
#   bench/memory.sh [PATH/TO/zebrix]     (default: build/app/zebrix)
# Targets: under 80 MB at start, under 150 MB after the paste.
set -euo pipefail

if [ "${1:-}" != --inside ]; then
  zebrix=$(realpath "${1:-build/app/zebrix}")
  [ -x "$zebrix" ] || { echo "no program at $zebrix (build it first)" >&2; exit 1; }
  for tool in xvfb-run xdotool xclip import convert; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (run scripts/install-deps.sh test)" >&2; exit 1; }
  done
  exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash "$0" --inside "$zebrix"
fi

zebrix=$2
work=$(mktemp -d)
export QT_QPA_PLATFORM=xcb
"$zebrix" >"$work/log" 2>&1 &
pid=$!
clip=
cleanup() {
  kill "$pid" 2>/dev/null || true
  [ -n "$clip" ] && kill "$clip" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "memory.sh: $*" >&2; sed 's/^/zebrix: /' "$work/log" >&2; exit 1; }

wid=
for _ in $(seq 100); do
  wid=$(xdotool search --onlyvisible --name '^Zebrix$' 2>/dev/null | head -n1 || true)
  [ -n "$wid" ] && break
  kill -0 "$pid" 2>/dev/null || fail "zebrix ended before showing its window"
  sleep 0.1
done
[ -n "$wid" ] || fail "no window named Zebrix"

# Resident size and its peak, in MiB.
memory() { awk '/^VmRSS|^VmHWM/ { kb[$1] = $2 } END { printf "%6.1f MiB resident, peak %6.1f MiB", kb["VmRSS:"] / 1024, kb["VmHWM:"] / 1024 }' "/proc/$pid/status"; }
# Waits until the program has used no processor time for half a second.
settle() {
  local before after
  after=$(awk '{ print $14 + $15 }' "/proc/$pid/stat")
  for _ in $(seq 120); do
    sleep 0.5
    before=$after
    after=$(awk '{ print $14 + $15 }' "/proc/$pid/stat")
    [ "$before" = "$after" ] && return 0
  done
  fail "still busy after a minute"
}
# True when the surface shows bars (a dark column where the first bar goes).
bars_shown() {
  import -window "$wid" "$work/shot.png"
  local mean
  mean=$(convert "$work/shot.png" -crop 1x40+28+170 -colorspace gray -format '%[fx:mean]' info:)
  awk -v m="$mean" 'BEGIN { exit !(m < 0.2) }'
}

sleep 0.5
settle
echo "start:                                      $(memory)"

# A million characters of a text every symbology's first choice takes (Code 39).
awk 'BEGIN { s = ""; while (length(s) < 1000000) s = s "ZEBRIX 1.0 "; printf "%s", substr(s, 1, 1000000) }' >"$work/million.txt"
xclip -selection clipboard -i "$work/million.txt" 2>/dev/null &
clip=$!
sleep 0.3
xdotool windowfocus --sync "$wid"
xdotool mousemove --window "$wid" 476 20 click 1 # "..." pastes the clipboard's text
settle
bars_shown || fail "no bars after the paste"
echo "after the paste (\"...\"):                   $(memory)"

xdotool mousemove --window "$wid" 300 17 click 1 key End
settle
xdotool type --delay 0 'ABCDEFGHIJKLMNOPQRST'
settle
echo "after typing 20 characters at its end:      $(memory)"

# The whole text, copied out of the field: the million and the 20.
xdotool key ctrl+a ctrl+c
settle
kill "$clip" 2>/dev/null || true
clip=
copied=$(timeout 20 xclip -selection clipboard -o | wc -c)
[ "$copied" -eq 1000020 ] || fail "the field holds $copied characters, expected 1000020"

xdotool key ctrl+a ctrl+v
settle
bars_shown || fail "no bars after Ctrl+V"
echo "after Ctrl+V of it over the whole field:    $(memory)"
