#!/usr/bin/env bash
# Installs the Debian 12 packages Zebrix needs; only those missing, with sudo
# when not root.
#   install-deps.sh run    what building and running the program need (scripts/run.sh)
#   install-deps.sh test   those and what the tests, benchmarks and fuzzers need (scripts/test.sh; the default)
set -euo pipefail

what=${1:-test}
case "$what" in run | test) ;; *) echo "usage: $0 [run|test]" >&2; exit 2 ;; esac

# Building the programs alone (-DZEBRIX_TESTS=OFF -DZEBRIX_BENCHMARKS=OFF) and running the window.
packages=(
  build-essential cmake ninja-build pkg-config
  # Qt (Core, Gui, Widgets, PrintSupport; moc and rcc), and the OpenGL headers Qt's Gui asks for
  qt6-base-dev qt6-base-dev-tools libgl-dev
  # Qt's own texts (standard buttons, dialogs, context menus) in French
  qt6-translations-l10n
  # JPEG and PNG files; PDF (zebrix-cli's labels and sheets)
  libjpeg62-turbo-dev zlib1g-dev libhpdf-dev
  # the window's verdict and zebrix-cli --verify read the barcode back
  libzxing-dev libzbar-dev
  # fonts: a sans-serif close to MS Sans Serif for messages (Liberation Sans, also what
  # scripts/make-label-font.sh draws the label glyphs from), and Comic Neue for the about box
  fonts-dejavu-core fonts-liberation fonts-comic-neue fontconfig
  # the window on a Wayland session
  qt6-wayland
)
if [ "$what" = test ]; then
  packages+=(
    # the Debian package (cpack -G DEB: dpkg-shlibdeps, file) and its checks
    dpkg-dev file lintian appstream desktop-file-utils bash-completion man-db
    # the window on Wayland: a headless compositor
    weston dbus
    # Google Test / Benchmark, zbarimg, X server and tools for the window tests, PDF tools for printing
    libgtest-dev libgmock-dev libbenchmark-dev zbar-tools
    xvfb xauth x11-utils xdotool xclip imagemagick poppler-utils
    # the window's dialogs read through the accessibility tree (AT-SPI)
    at-spi2-core python3-pyatspi
    # benchmarks: Zint and GNU barcode as the peers to compare with, hyperfine for one-shot runs
    zint barcode hyperfine bc time
    # fuzzing and sanitizers
    clang libclang-rt-14-dev
  )
fi

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
