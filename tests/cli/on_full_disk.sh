#!/usr/bin/env bash
# Runs Hardening.AFullDiskLosesNoFile on a 64 KiB tmpfs filled to its last block,
# in a private mount namespace; exits 77 (skipped) where it cannot be made.
#   on_full_disk.sh CLI_TESTS
set -u
if [ "${ZEBRIX_IN_MOUNTS:-}" != 1 ]; then
  ns=(unshare --mount); [ "$(id -u)" -eq 0 ] || ns+=(--map-root-user)
  "${ns[@]}" true 2>/dev/null || { echo "skipped: no private mount namespace here"; exit 77; }
  exec env ZEBRIX_IN_MOUNTS=1 "${ns[@]}" bash "$0" "$@"
fi
full=$(mktemp -d)
trap 'umount "$full" 2>/dev/null; rm -rf "$full"' EXIT
mount -t tmpfs -o size=64k zebrix-full "$full" 2>/dev/null || { echo "skipped: cannot mount a tmpfs"; exit 77; }
printf precious >"$full/old.bmp"
ln "$full/old.bmp" "$full/twin.bmp"
dd if=/dev/zero of="$full/filler" bs=4k 2>/dev/null # until the disk is full
ZEBRIX_TEST_FULL_DISK=$full "$1" --gtest_filter='Hardening.AFullDiskLosesNoFile'
