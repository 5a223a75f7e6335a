#!/usr/bin/env bash
# Prints for real on an X server of its own (Xvfb): types a text into the
# main window, saves it, clicks "Imprimer le Code Barre", cancels the print
# dialog once (no file, no message), then prints to a PDF file through the
# dialog's "Print to File (PDF)". The page is turned into pixels at 300 dots
# per inch and zbarimg must read the text back.
#   xvfb_print_test.sh PATH/TO/print_window OUTPUT_DIR
set -euo pipefail

if [ "${1:-}" != --inside ]; then
  [ $# -eq 2 ] || { echo "usage: $0 PRINT_WINDOW OUTPUT_DIR" >&2; exit 2; }
  for tool in Xvfb xdotool import zbarimg pdftoppm pdfinfo; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (run scripts/install-deps.sh)" >&2; exit 1; }
  done
  rm -rf "$2"
  mkdir -p "$2"
  exec bash "$(dirname "$0")/../support/with_xvfb.sh" 1024x768x24 bash "$0" --inside "$(realpath "$1")" "$(realpath "$2")"
fi

program=$2
out=$3
log=$out/zebrix.log
export QT_QPA_PLATFORM=xcb
export LSAN_OPTIONS="suppressions=$(dirname "$(realpath "$0")")/../window/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
# The print dialog proposes <current folder>/Zebrix.pdf when the current folder
# lies in the home folder.
export HOME=$out
cd "$out"

fail() { echo "FAIL: $*" >&2; [ -s "$log" ] && sed 's/^/zebrix: /' "$log" >&2; exit 1; }

"$program" >"$log" 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

# The id of the visible window whose title matches, waited for up to 10 s.
wait_window() {
  local id=
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$pid" 2>/dev/null || fail "the program ended"
    sleep 0.1
  done
  return 1
}
wait_gone() {
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "window \"$1\" still open"
}

wid=$(wait_window '^Zebrix$') || fail "no window named Zebrix"
click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; sleep 0.3; }

sleep 0.3
xdotool windowfocus --sync "$wid"
xdotool type --delay 30 'PRINT 1.0'
click 392 104 # "Enregistrer le Code Barre sous..."
[ -s code.bmp ] || fail "the save did not write code.bmp"

# Cancel: no file, no message.
click 368 140 # "Imprimer le Code Barre"
dialog=$(wait_window '^Print') || fail "no print dialog"
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
xdotool key Escape
wait_gone '^Print'
sleep 0.3
xdotool search --onlyvisible --name '^Erreur$' >/dev/null 2>&1 && fail "a message after cancel"
[ -e Zebrix.pdf ] && fail "a page after cancel"
echo "ok: cancel"

# Print to the PDF file the dialog proposes.
click 368 140
dialog=$(wait_window '^Print') || fail "no print dialog"
import -window "$dialog" print-dialog.png || true
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
xdotool key Return
wait_gone '^Print'
for _ in $(seq 50); do [ -s Zebrix.pdf ] && break; sleep 0.1; done
xdotool search --onlyvisible --name '^Erreur$' >/dev/null 2>&1 && fail "\"Erreur sur l'imprimante\""
[ -s Zebrix.pdf ] || fail "no Zebrix.pdf after printing"
pages=$(pdfinfo Zebrix.pdf | sed -n 's/^Pages: *//p')
[ "$pages" = 1 ] || fail "$pages pages"
pdftoppm -r 300 -png -singlefile Zebrix.pdf page
got=$(zbarimg -q --raw page.png 2>/dev/null | head -n1 || true)
[ "$got" = 'PRINT 1.0' ] || fail "the page reads \"$got\", expected \"PRINT 1.0\""
echo "ok: the printed page reads \"$got\""

# "Quitter Zebrix": the program ends normally, its printer let go of.
click 120 148
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "still running after \"Quitter Zebrix\""
status=0
wait "$pid" || status=$?
trap - EXIT
[ "$status" -eq 0 ] || fail "exit status $status"
echo "ok: quit"
