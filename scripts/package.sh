#!/usr/bin/env bash
# Builds the Debian package build/package/zenvas_VERSION_ARCH.deb with CPack
# from an optimised build for the /usr prefix, checks it with lintian (an
# error fails the run, warnings are shown) and runs the demo with the
# package unpacked into a scratch root. Safe to run again.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="${ZENVAS_JOBS:-2}"
"$root/scripts/setup.sh" package

build="$root/build/package"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DZENVAS_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$jobs"
rm -f "$build"/zenvas_*.deb
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$build"
deb="$(echo "$build"/zenvas_*.deb)"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"

echo "== lintian"
lintian --fail-on error "$deb"
echo "== the demo from the unpacked package"
cmake -DDEB="$deb" -DWORK="$build/unpacked" -DVERSION="$version" -P "$root/tests/install/PackageTest.cmake"
echo "package: $deb"
