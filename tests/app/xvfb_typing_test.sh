#!/usr/bin/env bash
# The real zebrix on an X server of its own (Xvfb), used as a person would: typing, a symbology button and an
# option box, the file dialog, the print dialog cancelled then printed to PDF, the about box (docs/about.png), the
# quit button; zbarimg reads the typed text from the screenshots and the page. Each dialog, the printer properties
# and a message box read through the accessibility tree (AT-SPI) show no English word of the list below.
#   xvfb_typing_test.sh PATH/TO/zebrix OUTPUT_DIR   (OUTPUT_DIR receives the screenshots)
set -euo pipefail
if [ "${1:-}" != --inside ]; then
  missing() { echo "missing: $1 (scripts/install-deps.sh test)" >&2; exit 1; }
  for t in Xvfb xdotool import convert zbarimg pdftoppm pdfinfo dbus-run-session; do
    command -v $t >/dev/null || missing $t
  done
  /usr/bin/python3 -c 'import pyatspi' || missing python3-pyatspi
  mkdir -p "$2"
  exec bash "$(dirname "$0")/../support/with_xvfb.sh" 1024x768x24 dbus-run-session -- bash "$0" --inside "$1" "$2"
fi
zebrix=$(realpath "$2") out=$(realpath "$3") log=$(realpath "$3")/zebrix.log
# Under the sanitizer build: the desktop's own libraries' leaks are not ours to report.
export LSAN_OPTIONS="suppressions=$(dirname "$(realpath "$0")")/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export QT_QPA_PLATFORM=xcb HOME=$out # the print dialog proposes <current folder>/Zebrix.pdf inside the home folder
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 atspi="/usr/bin/python3 $(dirname "$(realpath "$0")")/english_words.py"
cd "$out" && rm -f code.bmp Zebrix.pdf && mkdir -p dossier # the file dialog shows a folder's kind
fail() { echo "FAIL: $*" >&2; [ -s "$log" ] && sed 's/^/zebrix: /' "$log" >&2; exit 1; }
within() { for _ in $(seq "$1"); do "${@:2}" && return 0; sleep 0.1; done; return 1; } # tries for $1 tenths of a second
shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
ended() { ! kill -0 "$pid" 2>/dev/null; }
click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; sleep 0.2; } # window-relative pixels
window() { within 100 shown "$1" && id=$(xdotool search --onlyvisible --name "$1" | head -n1) || fail "no window $1"; }
# A screenshot that zbarimg reads as $2, or ($3 = verdict) that shows the verdict's colour $2 under the option boxes.
holds() {
  import -window "$wid" "$out/$1"
  if [ "${3:-scan}" = scan ]; then [ "$(zbarimg -q --raw "$out/$1" 2>/dev/null | head -n1)" = "$2" ]
  else convert "$out/$1" -crop 137x20+144+104 +repage -format %c histogram:info: | grep -qi "#$2"; fi
}
expect() { within 60 holds "$@" && echo "ok: $1" || fail "$1: no ${3:-scan} $2"; }
# No dialog shows these words (Qt's own texts are translated, or ours), nor English sizes and dates.
words="Print Printer Properties Advanced Double Sided Binding Off Cancel Close File Folder Size Modified
  bytes KiB Jan Feb Apr May Jun Jul Aug Sep Oct Nov Dec"
french() { local english; english=$($atspi $words) || fail "no accessibility tree"
  [ -z "$english" ] && echo "ok: French $1" || fail "English words in the $1: $english"; }
start() { "$zebrix" >"$log" 2>&1 & pid=$!; }
$atspi x 2>/dev/null || true # starts the accessibility bus, which the program joins as it starts
start
trap 'kill "$pid" 2>/dev/null || true' EXIT
# A program that cannot reach the X server is the server's failing, not ours: say what it looked like, start again.
if ! within 100 shown '^Zebrix$' && ended && grep -q 'could not connect to display' "$log"; then
  echo "zebrix could not connect to $DISPLAY; xdpyinfo: $(xdpyinfo >/dev/null 2>&1 && echo connects || echo fails); sockets: $(ls /tmp/.X11-unix 2>&1 | tr '\n' ' ')" >&2
  start
fi
window '^Zebrix$' && wid=$id
sleep 0.3
xdotool windowfocus --sync "$wid"
xdotool type --delay 40 'ZEBRIX 1.0' # the keyboard focus starts in the text field
expect screenshot.png 'ZEBRIX 1.0'
# "128", then typing on: the wider spaces make Code 128 "Illisible" (light orange) until "Optimisé pour
# impression" is unticked ("Lisible", light green).
click 30 97
click 450 17
xdotool type --delay 40 -- '-b'
expect verdict.png FFA060 verdict
click 150 62
expect code128-lisible.png 7CF07C verdict
expect code128.png 'ZEBRIX 1.0-b'
# "Enregistrer le Code Barre sous...": the file dialog writes code.bmp and names the window.
click 392 104
window '^Enregistrer Sous$'
french "file dialog"
xdotool windowfocus --sync "$id" && sleep 0.5 && xdotool type --delay 20 "$out/code.bmp" && xdotool key Return
within 50 shown '^Ruvovez : code.bmp$' || fail "no \"Ruvovez : code.bmp\" after the save"
# "Imprimer le Code Barre": cancelled, no page and no message; then printed, and the page reads.
for key in Escape Return; do
  click 368 140
  window '^(Print|Imprimer)'
  if [ $key = Escape ]; then # read before the cancel: the dialog, then its printer's properties
    french "print dialog"
    $atspi --press 'Propriétés' || fail "no button Propriétés"
    window "^Propriétés de l'imprimante$" && french "printer properties"
    xdotool windowfocus --sync "$id" key Escape && window '^(Print|Imprimer)'
  fi
  xdotool windowfocus --sync "$id" && sleep 0.5 && xdotool key $key
  within 100 eval "! shown '^(Print|Imprimer)'" || fail "the print dialog is still open after $key"
  sleep 0.3
  ! shown '^Erreur$' || fail "a message after $key in the print dialog"
  [ $key = Return ] || [ ! -e Zebrix.pdf ] || fail "a page after cancel"
done
within 50 test -s Zebrix.pdf || fail "no page printed"
[ "$(pdfinfo Zebrix.pdf | sed -n 's/^Pages: *//p')" = 1 ] || fail "not one page in Zebrix.pdf"
pdftoppm -r 300 -png -singlefile Zebrix.pdf page
[ "$(zbarimg -q --raw page.png 2>/dev/null | head -n1)" = 'ZEBRIX 1.0-b' ] && echo "ok: printed" || fail "the page does not read"
# "A Propos" opens the about box and Escape closes it; "Quitter Zebrix" ends the program at once, with success.
click 268 148
window '^A propos Zebrix$'
sleep 0.3
import -window "$id" "$out/about.png" # docs/about.png
$atspi --press 'Détails...' || fail "no button Détails..."
window '^A propos$' && french "message box"
xdotool windowfocus --sync "$id" key Return
within 50 eval "! shown '^A propos$'" || fail "the message box is still open after Return"
xdotool key Escape
within 50 eval "! shown '^A propos Zebrix$'" || fail "the about box is still open after Escape"
click 120 148
within 50 ended || fail "still running after \"Quitter Zebrix\""
trap - EXIT
wait "$pid" || fail "exit status $? after \"Quitter Zebrix\""
echo "ok: quit"
