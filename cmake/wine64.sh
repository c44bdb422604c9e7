#!/bin/sh
# Runs a program of the 64-bit Windows build under wine64 (Debian's wine64
# package keeps it out of PATH), in the build's own wine prefix, quietly.
# The program's exit status is this script's.
root="$(cd "$(dirname "$0")/.." && pwd)"
WINEPREFIX="${WINEPREFIX:-$root/build/windows/wineprefix}"
WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installers on a prefix's first start.
WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
exec /usr/lib/wine/wine64 "$@"
