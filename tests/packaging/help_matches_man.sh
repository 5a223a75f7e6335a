#!/usr/bin/env bash
# The manual pages list the options --help lists, no more and no fewer, and
# the bash completion completes zebrix-cli's options and symbology names.
#   help_matches_man.sh ZEBRIX ZEBRIX_CLI SOURCE_DIR
set -euo pipefail
zebrix=$1 cli=$2 src=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
options() { grep -oE '(^|[ ,])--?[a-zA-Z?][-a-zA-Z]*' | tr -d ' ,' | sort -u; }
# The first column of --help ("  -s, --symbology NAME   code39 ..."), and the
# tags of the manual's OPTIONS paragraphs (".TP" then ".BR \-s ", " \-\-symbology").
help_options() { "$1" --help | grep -E '^ +-[-a-zA-Z?]' | sed -E 's/^ +//; s/  .*//' | options; }
man_options() {
  sed -n '/^\.SH OPTIONS/,/^\.SH [^O]/p' "$1" | grep -A1 '^\.TP' | grep -v -e '^\.TP' -e '^--$' |
    sed -E 's/\\f[BIRP]//g; s/\\-/-/g; s/^\.[A-Z]+ //; s/"//g' | options
}
for program in "$zebrix" "$cli"; do
  name=$(basename "$program") in_help=$(help_options "$program")
  [ -n "$in_help" ] || fail "$name --help lists no option"
  diff <(echo "$in_help") <(man_options "$src/packaging/man/$name.1") || fail "$name: --help (<) and $name.1 (>) differ"
done
[ "$("$zebrix" --version)" = "Zebrix 1.0.0" ] || fail "zebrix --version says \"$("$zebrix" --version)\""
complete_words() { # the completion, as bash runs it
  bash -c 'source /usr/share/bash-completion/bash_completion; source "$1"; shift
           COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
           _zebrix_cli; printf "%s\n" "${COMPREPLY[@]}" | sort' _ "$src/packaging/bash-completion/zebrix-cli" "$@"
}
[ "$(complete_words zebrix-cli -)" = "$(help_options "$cli")" ] || fail "completing \"-\" gives: $(complete_words zebrix-cli -)"
symbologies=$(complete_words zebrix-cli -s '' | tr '\n' ' ')
[ "$symbologies" = "codabar code128 code39 i2of5 " ] || fail "completing \"-s\" gives: $symbologies"
[ "$(complete_words zebrix-cli --symbology code1)" = code128 ] || fail "completing \"--symbology code1\""
echo "ok: manual pages, --help and completion agree"
