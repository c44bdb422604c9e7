#!/bin/sh
# wine.sh LOADER PROGRAM ARGS...: runs a program of the Windows build under
# one of Debian's wine loaders (wine for 32-bit programs, from wine32 of the
# i386 architecture; wine64 for 64-bit ones), which sit in wine's library
# folder out of PATH, in the build's own wine prefix, quietly. The
# program's exit status is this script's. Each loader has a prefix of its
# own: a 32-bit one for wine, a 64-bit one for wine64.
root="$(cd "$(dirname "$0")/.." && pwd)"
loader=$1
shift
if [ "$loader" = wine ]; then
  WINEPREFIX="${WINEPREFIX:-$root/build/windows/wineprefix32}"
  WINEARCH=win32
  export WINEARCH
fi
WINEPREFIX="${WINEPREFIX:-$root/build/windows/wineprefix}"
WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installers on a prefix's first start.
WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
exec "/usr/lib/wine/$loader" "$@"
