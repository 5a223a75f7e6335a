#!/usr/bin/env bash
# Starts the real zebrix natively on Wayland, on a headless Weston of its own
# (no X server to fall back to), and checks that its window appears and that
# typing draws the barcode again: the compositor's own screenshot of the
# screen (weston-screenshooter) must read back the text with zbarimg. Weston
# lets no other program send keys, so the text goes through the program's
# ZEBRIX_TYPE_FROM_STDIN hook, which types each line read from its standard
# input into the focused field, one key event per character.
#   wayland_typing_test.sh PATH/TO/zebrix OUTPUT_DIR
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 ZEBRIX OUTPUT_DIR" >&2; exit 2; }
zebrix=$1
out=$2
for tool in weston weston-screenshooter zbarimg convert; do
  command -v "$tool" >/dev/null || { echo "missing: $tool (run scripts/install-deps.sh)" >&2; exit 1; }
done
mkdir -p "$out"
rm -f "$out"/*.png
work=$(mktemp -d)
chmod 700 "$work"
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  for log in zebrix weston; do [ -s "$out/$log.log" ] && sed "s/^/$log: /" "$out/$log.log" | tail -n 20 >&2; done
  exit 1
}

unset DISPLAY WAYLAND_SOCKET
export XDG_RUNTIME_DIR=$work
export WAYLAND_DISPLAY=zebrix-test
# --debug lets weston-screenshooter take the screen.
weston --backend=headless-backend.so --use-pixman --socket="$WAYLAND_DISPLAY" --width=800 --height=600 \
  --idle-time=0 --debug >"$out/weston.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$work/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
[ -S "$work/$WAYLAND_DISPLAY" ] || fail "weston did not start"

shot() { # the compositor's picture of the screen, into $out/$1
  rm -f "$work"/wayland-screenshot-*.png
  (cd "$work" && weston-screenshooter >/dev/null 2>&1) || return 1
  mv "$work"/wayland-screenshot-*.png "$out/$1"
}
white_pixels() { convert "$out/$1" -alpha off -fill black +opaque white -format '%[fx:int(mean*w*h)]' info:; }
expect_scan() {
  local name=$1 want=$2 got=
  for _ in $(seq 60); do
    kill -0 "$zebrix_pid" 2>/dev/null || fail "zebrix ended"
    shot "$name" && got=$(zbarimg -q --raw "$out/$name" 2>/dev/null | head -n1 || true)
    [ "$got" = "$want" ] && { echo "ok: $name reads \"$got\""; return 0; }
    sleep 0.3
  done
  fail "$name reads \"$got\", expected \"$want\""
}

shot before.png || fail "weston-screenshooter cannot take the screen"
mkfifo "$work/keys"
# A headless Weston has no seat (no keyboard): Qt's Wayland input method
# would look for one on the first key release and crash, hence QT_IM_MODULE=none.
QT_QPA_PLATFORM=wayland QT_IM_MODULE=none ZEBRIX_TYPE_FROM_STDIN=1 "$zebrix" <"$work/keys" >"$out/zebrix.log" 2>&1 &
zebrix_pid=$!
pids+=("$zebrix_pid")
exec 3>"$work/keys"

# The window appears: its white surface and field cover thousands of pixels
# of the desktop's grey.
appeared=
for _ in $(seq 60); do
  kill -0 "$zebrix_pid" 2>/dev/null || fail "zebrix ended before showing its window"
  if shot window.png && [ "$(white_pixels window.png)" -gt 10000 ]; then appeared=1; break; fi
  sleep 0.3
done
[ -n "$appeared" ] || fail "no window on the screen ($(white_pixels window.png) white pixels)"
echo "ok: the window appears ($(white_pixels window.png) white pixels, $(white_pixels before.png) before)"
zbarimg -q "$out/window.png" >/dev/null 2>&1 && fail "a barcode shows before anything was typed"

echo 'ZEBRIX 1.0' >&3
expect_scan typed.png 'ZEBRIX 1.0'
echo '-W' >&3
expect_scan typed-on.png 'ZEBRIX 1.0-W'
exec 3>&-
