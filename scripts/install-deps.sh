#!/usr/bin/env bash
# Installs the Debian 12 packages Zebrix needs to build, run and test.
# Only packages that are missing are installed; uses sudo when not root.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  # Qt's own texts (standard buttons, dialogs, context menus) in French
  qt6-translations-l10n
  libjpeg62-turbo-dev zlib1g-dev
  # the Debian package (cpack -G DEB: dpkg-shlibdeps, file) and its checks
  dpkg-dev file lintian appstream desktop-file-utils bash-completion man-db
  # the window on Wayland: a headless compositor and Qt's Wayland platform
  weston qt6-wayland dbus
  # fonts: a sans-serif close to MS Sans Serif for messages (Liberation Sans, also what
  # scripts/make-label-font.sh draws the label glyphs from), and Comic Neue
  fonts-dejavu-core fonts-liberation fonts-comic-neue fontconfig
  # tests: decoders, Google Test / Benchmark, X server for window tests
  libgtest-dev libgmock-dev libbenchmark-dev
  libzxing-dev libzbar-dev zbar-tools
  xvfb xauth x11-utils xdotool xclip imagemagick poppler-utils desktop-file-utils
  # benchmarks: Zint as the peer to compare with, hyperfine for one-shot runs
  zint hyperfine bc time
  # fuzzing and sanitizers
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
