#!/usr/bin/env bash
# as_nobody.sh PROGRAM [ARGS...] runs it as the user nobody when started as root, whose rights would let it write
# any file: the tests of write-protected files then prove something. Exits 77 (skipped) for any other user, whose
# own run of the tests proves it already.
[ "$(id -u)" -eq 0 ] || { echo "skipped: not root"; exit 77; }
exec setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all env HOME=/tmp "$@"
