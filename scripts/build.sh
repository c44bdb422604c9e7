#!/usr/bin/env bash
# Configures and builds one flavour: scripts/build.sh release|asan
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
flavour="${1:-release}"
jobs="${ZENVAS_JOBS:-2}"

case "$flavour" in
  release) options=(-DCMAKE_BUILD_TYPE=Release) ;;
  asan) options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DZENVAS_SANITIZE=ON) ;;
  *) echo "build: unknown flavour '$flavour' (release or asan)" >&2; exit 2 ;;
esac

cmake -S "$root" -B "$root/build/$flavour" "${options[@]}" >/dev/null
cmake --build "$root/build/$flavour" -j "$jobs"
