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
# Debian's hardening flags, as a Debian build takes them from dpkg-buildflags
# (CMake has no CPPFLAGS, so those go with the compiler flags).
cd "$root"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CFLAGS)"
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DZENVAS_BUILD_TESTS=OFF \
  -DCMAKE_C_FLAGS="$cflags" -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
  -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" >/dev/null
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
