#!/usr/bin/env bash
# on_small_disks.sh PROGRAM [ARGS...] runs it in a private mount namespace where ZEBRIX_TEST_FULL_DISK names a
# 64 KiB tmpfs filled to its last block, holding old.bmp ("precious") and its hard-linked twin.bmp, and
# ZEBRIX_TEST_READ_ONLY a folder bound read-only holding old.bmp; exits 77 (skipped) where mounts can't be made.
set -u
skip() { echo "skipped: $1"; exit 77; }
if [ "${ZEBRIX_IN_MOUNTS:-}" != 1 ]; then
  ns=(unshare --mount); [ "$(id -u)" -eq 0 ] || ns+=(--map-root-user)
  "${ns[@]}" true 2>/dev/null || skip "no private mount namespace here"
  exec env ZEBRIX_IN_MOUNTS=1 "${ns[@]}" bash "$0" "$@"
fi
base=$(mktemp -d) && mkdir "$base/full" "$base/readonly"
trap 'umount "$base/full" "$base/readonly" 2>/dev/null; rm -rf "$base"' EXIT
mount -t tmpfs -o size=64k zebrix-full "$base/full" 2>/dev/null || skip "cannot mount a tmpfs"
printf precious | tee "$base/full/old.bmp" >"$base/readonly/old.bmp" && ln "$base/full/old.bmp" "$base/full/twin.bmp"
dd if=/dev/zero of="$base/full/filler" bs=4k 2>/dev/null # until the disk is full
{ mount --bind "$base/readonly" "$base/readonly" && mount -o remount,bind,ro "$base/readonly"; } 2>/dev/null ||
  skip "cannot mount a folder read-only"
ZEBRIX_TEST_FULL_DISK=$base/full ZEBRIX_TEST_READ_ONLY=$base/readonly "$@"
