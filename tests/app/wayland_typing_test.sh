#!/usr/bin/env bash
# The real zebrix natively on a headless Weston of its own: typing draws the barcode, read by zbarimg from the
# compositor's screenshots. Weston lets no other program send keys: each line given to ZEBRIX_TYPE_FROM_STDIN is typed.
#   wayland_typing_test.sh PATH/TO/zebrix OUTPUT_DIR
set -euo pipefail
zebrix=$1 out=$2
for t in weston weston-screenshooter zbarimg convert; do command -v $t >/dev/null || { echo "missing: $t (scripts/install-deps.sh test)" >&2; exit 1; }; done
mkdir -p "$out"
work=$(mktemp -d) # mode 700, as a runtime directory must be
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; for l in zebrix weston; do tail -n 20 "$out/$l.log" | sed "s/^/$l: /" >&2; done; exit 1; }
unset DISPLAY WAYLAND_SOCKET
export XDG_RUNTIME_DIR=$work WAYLAND_DISPLAY=zebrix-test
# --debug lets weston-screenshooter take the screen.
weston --backend=headless-backend.so --use-pixman --socket="$WAYLAND_DISPLAY" --width=800 --height=600 \
  --idle-time=0 --debug >"$out/weston.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$work/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
[ -S "$work/$WAYLAND_DISPLAY" ] || fail "weston did not start"
shot() {
  rm -f "$work"/wayland-screenshot-*.png
  (cd "$work" && weston-screenshooter >/dev/null 2>&1) && mv "$work"/wayland-screenshot-*.png "$out/$1"
}
expect_scan() {
  local got=
  for _ in $(seq 60); do
    kill -0 "$zebrix_pid" 2>/dev/null || fail "zebrix ended"
    shot "$1" && got=$(zbarimg -q --raw "$out/$1" 2>/dev/null | head -n1 || true)
    [ "$got" = "$2" ] && { echo "ok: $1 reads \"$got\""; return 0; }
    sleep 0.3
  done
  fail "$1 reads \"$got\", expected \"$2\""
}

mkfifo "$work/keys"
# Without a seat (no keyboard) Qt's Wayland input method would crash on the first key: QT_IM_MODULE=none.
QT_QPA_PLATFORM=wayland QT_IM_MODULE=none ZEBRIX_TYPE_FROM_STDIN=1 "$zebrix" <"$work/keys" >"$out/zebrix.log" 2>&1 &
zebrix_pid=$!
pids+=("$zebrix_pid")
exec 3>"$work/keys"
echo 'ZEBRIX 1.0' >&3
expect_scan typed.png 'ZEBRIX 1.0'
echo '-W' >&3 && exec 3>&-
expect_scan typed-on.png 'ZEBRIX 1.0-W'
