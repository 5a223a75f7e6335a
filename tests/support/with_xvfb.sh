#!/usr/bin/env bash
# with_xvfb.sh WIDTHxHEIGHTxDEPTH COMMAND [ARGS...] runs the command on an X server of its own, which picks a
# free display itself (-displayfd: xvfb-run -a can pick one number twice), never resets (a reset as the first
# client leaves may refuse the next), and starts again when it takes no client; its log shows if the command fails.
set -euo pipefail
screen=$1; shift
dir=$(mktemp -d) xvfb=
stop() { [ -z "$xvfb" ] || { kill "$xvfb" && wait "$xvfb"; } 2>/dev/null || true; xvfb=; }
said() { sed 's/^/Xvfb: /' "$dir/xvfb.log" >&2 || true; }
unset XAUTHORITY; trap 'stop; rm -rf "$dir"' EXIT
for attempt in 1 2 3; do
  rm -f "$dir/display" && mkfifo "$dir/display"
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
  xvfb=$!
  read -r -t 30 number <"$dir/display" || number=
  for _ in $(seq 50); do
    [ -n "$number" ] && kill -0 "$xvfb" 2>/dev/null || break
    xdpyinfo -display ":$number" >/dev/null 2>&1 || { sleep 0.1; continue; }
    export DISPLAY=":$number"
    "$@" && exit 0 || status=$?
    kill -0 "$xvfb" 2>/dev/null || echo "with_xvfb: the X server on $DISPLAY has ended" >&2
    said; exit "$status"
  done
  echo "with_xvfb: attempt $attempt: no X server to connect to" >&2
  said
  stop
done
exit 1
