#!/usr/bin/env bash
# Runs a command on an X server of its own: Xvfb picks a free display number
# itself (-displayfd), so that several of these can start at the same moment
# (xvfb-run -a can pick the same number twice and one of them fails).
#   with_xvfb.sh WIDTHxHEIGHTxDEPTH COMMAND [ARGS...]
set -euo pipefail
screen=$1
shift
dir=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; rm -rf "$dir"' EXIT
mkfifo "$dir/display"
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$dir/display" >/dev/null 2>&1 &
xvfb=$!
read -r -t 30 number <"$dir/display" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"
unset XAUTHORITY
"$@"
