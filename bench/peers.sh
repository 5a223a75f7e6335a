# Sourced by the scripts that set zebrix-cli against a peer program, with their arguments
# ([path/to/zebrix-cli] [lines] [rounds]): cli, lines and rounds set, the tools checked, and the helpers below.
#   source "$(dirname "$0")/peers.sh" PEER DEBIAN_PACKAGE
set -euo pipefail
peer=$1 package=$2
shift 2
cd "$(dirname "${BASH_SOURCE[0]}")/.."
cli=$(realpath "${1:-build/cli/zebrix-cli}")
lines=${2:-10000}
rounds=${3:-5}
[ "$rounds" -ge 1 ] || rounds=1
command -v "$peer" >/dev/null || { echo "$peer is missing (Debian package $package; scripts/install-deps.sh test)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (Debian package time)" >&2; exit 1; }
[ -x "$cli" ] || { echo "no $cli: build first (cmake --preset default && cmake --build build)" >&2; exit 1; }

median() { printf '%s\n' "$@" | sort -g | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }
# labels FILE: the same texts for every peer, an article number and a batch code per label.
labels() {
    awk -v n="$lines" 'BEGIN { srand(7); for (i = 1; i <= n; i++) printf "ZBX-%06d-%c%c%c%c\n", i, 65 + int(rand() * 26), 65 + int(rand() * 26), 48 + int(rand() * 10), 48 + int(rand() * 10) }' >"$1"
}
