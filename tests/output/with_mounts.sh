#!/usr/bin/env bash
# Runs the save test that needs a full disk (a 64 KiB tmpfs filled up) and a
# folder bound read-only, in a private mount namespace; exits 77 (skipped)
# where such mounts cannot be made.   with_mounts.sh OUTPUT_TESTS
set -u
[ $# -eq 1 ] || { echo "usage: $0 OUTPUT_TESTS" >&2; exit 2; }
if [ "${ZEBRIX_IN_MOUNTS:-}" != 1 ]; then
  if [ "$(id -u)" -eq 0 ]; then ns=(unshare --mount); else ns=(unshare --mount --map-root-user); fi
  "${ns[@]}" true 2>/dev/null || { echo "skipped: no private mount namespace here"; exit 77; }
  exec env ZEBRIX_IN_MOUNTS=1 "${ns[@]}" bash "$0" "$@"
fi
base=$(mktemp -d)
trap 'umount "$base/full" "$base/readonly" 2>/dev/null; rm -rf "$base"' EXIT
mkdir "$base/full" "$base/readonly"
mount -t tmpfs -o size=64k zebrix-full "$base/full" 2>/dev/null || { echo "skipped: cannot mount a tmpfs"; exit 77; }
printf precious >"$base/full/code.bmp"
dd if=/dev/zero of="$base/full/filler" bs=4k 2>/dev/null # until the disk is full
printf precious >"$base/readonly/code.bmp"
{ mount --bind "$base/readonly" "$base/readonly" && mount -o remount,bind,ro "$base/readonly"; } 2>/dev/null ||
  { echo "skipped: cannot mount a folder read-only"; exit 77; }
ZEBRIX_TEST_FULL_DISK=$base/full ZEBRIX_TEST_READ_ONLY=$base/readonly "$1" --gtest_filter='SaveCommandTest.AFailedSave*'
