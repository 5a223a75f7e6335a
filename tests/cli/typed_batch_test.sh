#!/usr/bin/env bash
# Lines typed on a terminal are drawn as each comes, before the end of the input, and no progress bar is drawn
# over them. script(1) gives zebrix-cli a terminal; Ctrl+D ends the input.   typed_batch_test.sh ZEBRIX_CLI
set -euo pipefail
dir=$(mktemp -d) && trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*" >&2; cat -A "$dir/screen" >&2; exit 1; }
{ printf 'AB\nCD\n'
  for _ in $(seq 300); do [ -e "$dir/2.png" ] && break; sleep 0.1; done
  [ -e "$dir/2.png" ] && touch "$dir/drawn-while-typing"
  printf '\004'; } | script -qfec "$1 -s code128 --batch - -o $dir/{n}.png" /dev/null >"$dir/screen" 2>&1
[ -e "$dir/drawn-while-typing" ] || fail "the typed lines were not drawn before the end of the input"
! grep -q 'lines/s' "$dir/screen" || fail "a progress bar was drawn over the typed lines"
echo "ok: typed lines drawn as they come, no progress bar"
