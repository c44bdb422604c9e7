#!/bin/sh
# Runs a program of the 32-bit Windows build under Debian's 32-bit wine
# loader (wine32, from the i386 architecture; it sits beside wine64 in
# wine's library folder, out of PATH), in the build's own wine prefix,
# quietly. The program's exit status is this script's.
root="$(cd "$(dirname "$0")/.." && pwd)"
WINEPREFIX="${WINEPREFIX:-$root/build/windows/wineprefix}"
WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installers on a prefix's first start.
WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
exec /usr/lib/wine/wine "$@"
