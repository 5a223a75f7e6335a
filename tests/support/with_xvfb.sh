#!/usr/bin/env bash
# Runs a command on an X server of its own: Xvfb picks a free display number
# itself (-displayfd), so that several of these can start at the same moment
# (xvfb-run -a can pick the same number twice and one of them fails). The
# command starts only once a client has connected to the server; a server
# that takes no client is started again. The server never resets (a reset
# when the first client leaves is a moment when the next one can be refused),
# and what it said is shown when the command fails.
#   with_xvfb.sh WIDTHxHEIGHTxDEPTH COMMAND [ARGS...]
set -euo pipefail
screen=$1
shift
dir=$(mktemp -d)
xvfb=
stop() { [ -n "$xvfb" ] && { kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; }; xvfb=; }
trap 'stop; rm -rf "$dir"' EXIT
unset XAUTHORITY

for attempt in 1 2 3; do
  rm -f "$dir/display"
  mkfifo "$dir/display"
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
  xvfb=$!
  if read -r -t 30 number <"$dir/display"; then
    for _ in $(seq 50); do
      if xdpyinfo -display ":$number" >/dev/null 2>&1; then
        export DISPLAY=":$number"
        status=0
        "$@" || status=$?
        if [ "$status" != 0 ]; then
          kill -0 "$xvfb" 2>/dev/null || echo "with_xvfb: the X server on $DISPLAY has ended" >&2
          sed 's/^/Xvfb: /' "$dir/xvfb.log" >&2 || true
        fi
        exit "$status"
      fi
      kill -0 "$xvfb" 2>/dev/null || break
      sleep 0.1
    done
  fi
  echo "with_xvfb: attempt $attempt: no X server to connect to" >&2
  sed 's/^/Xvfb: /' "$dir/xvfb.log" >&2 || true
  stop
done
exit 1
