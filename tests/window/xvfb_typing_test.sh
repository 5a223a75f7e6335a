#!/usr/bin/env bash
# The real zebrix on an X server of its own (Xvfb), used as a person would: it
# types, clicks a symbology button and an option box, widens the window, quits
# with the button. zbarimg must read the typed text from each screenshot.
#   xvfb_typing_test.sh PATH/TO/zebrix OUTPUT_DIR   (OUTPUT_DIR receives the screenshots)
set -euo pipefail
if [ "${1:-}" != --inside ]; then
  for t in Xvfb xdotool import convert zbarimg; do command -v $t >/dev/null || { echo "missing: $t (scripts/install-deps.sh)" >&2; exit 1; }; done
  mkdir -p "$2"
  exec bash "$(dirname "$0")/../support/with_xvfb.sh" 1024x768x24 bash "$0" --inside "$1" "$2"
fi
zebrix=$2 out=$3 log=$3/zebrix.log
export QT_QPA_PLATFORM=xcb
# Under the sanitizer build: the desktop's own libraries' leaks are not ours to report.
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
click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; sleep 0.2; } # window-relative pixels
# Screenshots until $3 holds: a scan reading $2, or the verdict's colour $2 under the option boxes.
expect() {
  local name=$1 want=$2 kind=${3:-scan} got=
  for _ in $(seq 30); do
    import -window "$wid" "$out/$name"
    if [ "$kind" = scan ]; then
      got=$(zbarimg -q --raw "$out/$name" 2>/dev/null | head -n1 || true)
      [ "$got" = "$want" ] && { echo "ok: $name reads \"$got\""; return 0; }
    elif convert "$out/$name" -crop 137x20+144+104 +repage -format %c histogram:info: | grep -qi "#$want"; then
      echo "ok: $name shows $want"; return 0
    fi
    sleep 0.2
  done
  fail "$name: expected $kind $want, got \"$got\""
}

sleep 0.3
xdotool windowfocus --sync "$wid"
xdotool type --delay 40 'ZEBRIX 1.0' # the keyboard focus starts in the text field
expect screenshot.png 'ZEBRIX 1.0'
# "128", then type on at the end of the text: the wider spaces for print make Code 128 unreadable
# ("Illisible", light orange) until "Optimisé pour impression" is unticked ("Lisible", light green).
click 30 97
click 450 17
xdotool type --delay 40 -- '-b'
expect verdict.png FFA060 verdict
click 150 62
expect code128-lisible.png 7CF07C verdict
expect code128.png 'ZEBRIX 1.0-b'
# A wider window: the surface follows.
xdotool windowsize --sync "$wid" 700 245 || xdotool windowsize "$wid" 700 245
sleep 0.3
expect wide.png 'ZEBRIX 1.0-b'
case "$(convert "$out/wide.png" -format '%w %[pixel:p{670,200}]' info:)" in
  '700 white' | '700 srgb(255,255,255)') ;;
  *) fail "the window is not 700 pixels wide with its surface under (670, 200)" ;;
esac
# "A Propos" opens the about box, Escape closes it; "Quitter Zebrix" ends the program at once, with success.
about() { xdotool search --onlyvisible --name '^A propos Zebrix$' >/dev/null 2>&1; }
click 268 148
for _ in $(seq 50); do about && break; sleep 0.1; done
about || fail "no about box after \"A Propos\""
xdotool key Escape
sleep 0.5
about && fail "the about box is still open after Escape"
click 120 148
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "still running after \"Quitter Zebrix\""
trap - EXIT
wait "$pid" || fail "exit status $? after \"Quitter Zebrix\""
echo "ok: quit"
