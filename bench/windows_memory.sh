#!/usr/bin/env bash
# The private bytes of a host process around the shipped DLL of each
# Windows target: zenvas-dll-memory-bench loads Zenvas.nbp as a host does,
# makes a 4096 x 4096 canvas in a window of its own, runs the eight picture
# transforms and deletes the canvas, reading its private bytes after every step
# and every millisecond meanwhile. It passes when the peak stays below
# 400 MiB and ZenvasDelete brings the process back within 2 MiB of where
# it started. The windows need an X server: the run goes to a virtual one
# (xvfb-run) unless DISPLAY is set.
#
#   bash scripts/build-windows.sh bench     (once; builds the benchmark host)
#   bench/windows_memory.sh [i686|x86_64 ...]      i686 (wine32) by default
#
# wine leaves PrivateUsage empty and gives the same count as PagefileUsage:
# the process's resident anonymous memory (RssAnon and VmSwap of
# /proc/PID/status), so committed pages count once touched.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
[ $# -gt 0 ] || set -- i686
status=0
for arch in "$@"; do
  case "$arch" in
    i686) triplet=i686-w64-mingw32 wine="$root/cmake/wine32.sh" ;;
    x86_64) triplet=x86_64-w64-mingw32 wine="$root/cmake/wine64.sh" ;;
    *) echo "windows_memory: unknown target '$arch' (i686 or x86_64)" >&2; exit 2 ;;
  esac
  bench="$root/build/windows/$triplet-bench/bin/zenvas-dll-memory-bench.exe"
  dll="$root/build/windows/$triplet/bin/Zenvas.nbp"
  for file in "$bench" "$dll"; do
    [ -f "$file" ] || { echo "windows_memory: $file is missing (bash scripts/build-windows.sh bench)" >&2; exit 2; }
  done
  echo "== $triplet: $dll"
  if [ -n "${DISPLAY:-}" ]; then
    "$wine" "$bench" "$dll" | tr -d '\r' || status=1
  else
    xvfb-run -a -s "-screen 0 1280x1024x24" "$wine" "$bench" "$dll" | tr -d '\r' || status=1
  fi
done
exit $status
