#!/usr/bin/env bash
# Starts the real zebrix on an X server of its own (Xvfb) and uses it as a
# person would: types a text, clicks an option box and a symbology button,
# clicks into the text and types on, widens the window, quits with the button.
# After each step a screenshot of the window is scanned with zbarimg and must
# read back the typed text.
#   xvfb_typing_test.sh PATH/TO/zebrix OUTPUT_DIR
# OUTPUT_DIR receives the screenshots (screenshot.png: after the first typing;
# verdict.png: Code 128 with the spaces widened for print, said unreadable).
set -euo pipefail

if [ "${1:-}" != --inside ]; then
  [ $# -eq 2 ] || { echo "usage: $0 ZEBRIX OUTPUT_DIR" >&2; exit 2; }
  for tool in Xvfb xdotool import convert zbarimg; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (run scripts/install-deps.sh)" >&2; exit 1; }
  done
  mkdir -p "$2"
  exec bash "$(dirname "$0")/../support/with_xvfb.sh" 1024x768x24 bash "$0" --inside "$1" "$2"
fi

zebrix=$2
out=$3
log=$out/zebrix.log
export QT_QPA_PLATFORM=xcb
# Under the sanitizer build: what the desktop's own libraries leave behind is
# not ours to report.
export LSAN_OPTIONS="suppressions=$(dirname "$0")/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

fail() { echo "FAIL: $*" >&2; [ -s "$log" ] && sed 's/^/zebrix: /' "$log" >&2; exit 1; }

"$zebrix" >"$log" 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

wid=
for _ in $(seq 100); do
  wid=$(xdotool search --onlyvisible --name '^Zebrix$' 2>/dev/null | head -n1 || true)
  [ -n "$wid" ] && break
  kill -0 "$pid" 2>/dev/null || fail "zebrix ended before showing its window"
  sleep 0.1
done
[ -n "$wid" ] || fail "no window named Zebrix"

# Window-relative positions of the controls (pixels).
click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; sleep 0.2; }
# Screenshot of the window, scanned until it reads the text (the program
# draws on the next event round; allow it a few seconds).
expect_scan() {
  local name=$1 want=$2 got=
  for _ in $(seq 30); do
    import -window "$wid" "$out/$name"
    got=$(zbarimg -q --raw "$out/$name" 2>/dev/null | head -n1 || true)
    [ "$got" = "$want" ] && { echo "ok: $name reads \"$got\""; return 0; }
    sleep 0.2
  done
  fail "$name reads \"$got\", expected \"$want\""
}

sleep 0.3
xdotool windowfocus --sync "$wid"
# The keyboard focus starts in the text field: type straight away.
xdotool type --delay 40 'ZEBRIX 1.0'
expect_scan screenshot.png 'ZEBRIX 1.0'

# The verdict indicator under the option boxes: "Illisible" in light orange,
# "Lisible" in light green (and a mark), read from the screenshot.
expect_verdict() {
  local name=$1 colour=$2 word=$3
  for _ in $(seq 30); do
    import -window "$wid" "$out/$name"
    convert "$out/$name" -crop 137x20+144+104 +repage -format %c histogram:info: | grep -qi "#$colour" \
      && { echo "ok: $name says $word"; return 0; }
    sleep 0.2
  done
  fail "$name: the indicator does not say $word"
}
expect_verdict lisible.png 7CF07C Lisible

# Choose "128", click at the end of the text field and type on, with
# "Optimisé pour impression" still ticked: the wider spaces make Code 128
# unreadable, and the window says so; unticking the box makes it read.
click 30 97
click 450 17
xdotool type --delay 40 -- '-b'
expect_verdict verdict.png FFA060 Illisible
click 150 62
expect_verdict code128-lisible.png 7CF07C Lisible
expect_scan code128.png 'ZEBRIX 1.0-b'

# Wider window: the surface follows (outer width - 380 twips).
xdotool windowsize --sync "$wid" 700 245 || xdotool windowsize "$wid" 700 245
sleep 0.3
expect_scan wide.png 'ZEBRIX 1.0-b'
width=$(identify -format '%w' "$out/wide.png")
[ "$width" -eq 700 ] || fail "window is $width pixels wide after widening, expected 700"
edge=$(convert "$out/wide.png" -format '%[pixel:p{670,200}]' info:)
case "$edge" in
  white|'srgb(255,255,255)') ;;
  *) fail "the surface did not follow the window: pixel (670, 200) is $edge" ;;
esac

# "Quitter Zebrix" ends the program at once, with success.
click 120 148
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "still running after \"Quitter Zebrix\""
status=0
wait "$pid" || status=$?
trap - EXIT
[ "$status" -eq 0 ] || fail "exit status $status after \"Quitter Zebrix\""
echo "ok: quit"
