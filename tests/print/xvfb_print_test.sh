#!/usr/bin/env bash
# The real program on Xvfb: types a text, saves it, cancels the print dialog
# (no page, no message), prints through the dialog's PDF file, and zbarimg
# reads the page at 300 dots per inch; then "Quitter Zebrix" ends it normally.
#   xvfb_print_test.sh PATH/TO/print_window OUTPUT_DIR
set -euo pipefail
if [ "${1:-}" != --inside ]; then
  [ $# -eq 2 ] || { echo "usage: $0 PRINT_WINDOW OUTPUT_DIR" >&2; exit 2; }
  for tool in Xvfb xdotool zbarimg pdftoppm pdfinfo; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (run scripts/install-deps.sh)" >&2; exit 1; }
  done
  rm -rf "$2" && mkdir -p "$2"
  exec bash "$(dirname "$0")/../support/with_xvfb.sh" 1024x768x24 bash "$0" --inside "$(realpath "$1")" "$(realpath "$2")"
fi
export QT_QPA_PLATFORM=xcb HOME=$3 # the dialog proposes <current folder>/Zebrix.pdf inside the home folder
export LSAN_OPTIONS="suppressions=$(dirname "$(realpath "$0")")/../window/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
cd "$3"
fail() { echo "FAIL: $*" >&2; sed 's/^/zebrix: /' zebrix.log >&2; exit 1; }
"$2" >zebrix.log 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
shown() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1; }
wait_window() { # the id of the visible window so named, within 10 s
  for _ in $(seq 100); do
    id=$(shown "$1") && [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$pid" 2>/dev/null || fail "the program ended"
    sleep 0.1
  done
  fail "no window $1"
}
wait_gone() { for _ in $(seq 100); do [ -z "$(shown "$1")" ] && return 0; sleep 0.1; done; fail "$1 still open"; }
wid=$(wait_window '^Zebrix$')
click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; sleep 0.3; }
print_and() { # clicks "Imprimer le Code Barre" and presses the key in the print dialog
  click 368 140
  xdotool windowfocus --sync "$(wait_window '^Print')" 2>/dev/null || true
  sleep 0.5 # until the dialog takes keys
  xdotool key "$1"
  wait_gone '^Print'
}
sleep 0.3
xdotool windowfocus --sync "$wid"
xdotool type --delay 30 'PRINT 1.0'
click 392 104 # "Enregistrer le Code Barre sous..."
[ -s code.bmp ] || fail "the save did not write code.bmp"
print_and Escape
sleep 0.3
[ -z "$(shown '^Erreur$')" ] || fail "a message after cancel"
[ ! -e Zebrix.pdf ] || fail "a page after cancel"
print_and Return
for _ in $(seq 50); do [ -s Zebrix.pdf ] && break; sleep 0.1; done
[ -z "$(shown '^Erreur$')" ] || fail "\"Erreur sur l'imprimante\""
[ "$(pdfinfo Zebrix.pdf | sed -n 's/^Pages: *//p')" = 1 ] || fail "not one page in Zebrix.pdf"
pdftoppm -r 300 -png -singlefile Zebrix.pdf page
got=$(zbarimg -q --raw page.png 2>/dev/null | head -n1 || true)
[ "$got" = 'PRINT 1.0' ] || fail "the page reads \"$got\", expected \"PRINT 1.0\""
click 120 148 # "Quitter Zebrix"
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "still running after \"Quitter Zebrix\""
status=0
wait "$pid" || status=$?
trap - EXIT
[ "$status" -eq 0 ] || fail "exit status $status"
echo "ok: cancelled, printed \"$got\", quit"
