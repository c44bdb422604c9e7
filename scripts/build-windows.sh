#!/usr/bin/env bash
# Cross-builds Zenvas.nbp for Windows with mingw-w64: the 32-bit DLL (the
# one hosts load) and a 64-bit one, then checks both DLLs' export and import
# tables.
#   bash scripts/build-windows.sh          the DLLs in build/windows/TRIPLET/bin/Zenvas.nbp
#   bash scripts/build-windows.sh bench    besides, the benchmarks of each target in
#                                          build/windows/TRIPLET-bench/bin (bench/windows_compare.sh
#                                          runs them beside the Linux build's)
#   bash scripts/build-windows.sh test     besides, runs the tests under wine, each
#                                          target's own (wine32 for i686, wine64 for
#                                          x86_64): zenvas-host.exe with every end-to-end
#                                          script, the system layer's unit tests, and
#                                          the shipped DLL loaded as a host loads it
#
# zlib, libpng, libjpeg-turbo and FreeType are built first from their Debian
# source packages, at the versions the Linux build links, with their own
# build systems, as static libraries; each target's set is installed into
# build/windows/deps/TRIPLET/ and kept until one of the versions changes.
# Google Benchmark, which only the benchmarks link, is built the same way
# from its own source package, keyed apart from the others.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="${ZENVAS_JOBS:-2}"
mode="${1:-build}"
case "$mode" in
  build|test|bench) ;;
  *) echo "build-windows: unknown mode '$mode' (test, bench, or nothing)" >&2; exit 2 ;;
esac
"$root/scripts/setup.sh" windows

deps="$root/build/windows/deps"
sources="$deps/src"
triplets=(i686-w64-mingw32 x86_64-w64-mingw32)

# Source package and version of each library, as the Linux build has them.
declare -A version
for dev in zlib1g-dev libpng-dev libjpeg62-turbo-dev libfreetype-dev libbenchmark-dev; do
  read -r source source_version < <(dpkg-query -W -f='${source:Package} ${source:Version}\n' "$dev")
  version[$source]="$source_version"
done
# The recipe's number changes with the options below, so a changed recipe
# rebuilds the libraries too.
key="$(echo "recipe 4"; for source in zlib libpng1.6 libjpeg-turbo freetype; do echo "$source ${version[$source]}"; done)"

# The unpacked, patched source tree of one package (setup.sh fetched it).
unpacked() {
  local source="$1" plain="${version[$1]#*:}"
  local tree="$sources/$source-$plain"
  if [ ! -d "$tree" ]; then
    dpkg-source --no-check -q -x "$sources/${source}_${plain}.dsc" "$tree.partial" >/dev/null
    mv "$tree.partial" "$tree"
  fi
  echo "$tree"
}

cmake_dep() {  # cmake_dep TRIPLET SOURCE_TREE NAME [TARGET] -- OPTIONS...
  local triplet="$1" tree="$2" name="$3" target="$4"; shift 5
  local work="$deps/build/$triplet/$name"
  cmake -S "$tree" -B "$work" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$triplet.cmake" \
    -DZENVAS_WINDOWS_DEPS="$deps/$triplet" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$deps/$triplet" -DBUILD_SHARED_LIBS=OFF "$@" >"$work.log" 2>&1 \
    || { cat "$work.log" >&2; exit 1; }
  cmake --build "$work" -j "$jobs" ${target:+--target "$target"} >>"$work.log" 2>&1 \
    || { tail -40 "$work.log" >&2; exit 1; }
}

build_deps() {
  local triplet="$1" prefix="$deps/$1"
  if [ -f "$prefix/versions" ] && [ "$(cat "$prefix/versions")" = "$key" ]; then
    echo "build-windows: $triplet libraries are up to date ($prefix)"
    return
  fi
  echo "build-windows: building zlib, libpng, libjpeg-turbo and FreeType for $triplet"
  rm -rf "$prefix" "$deps/build/$triplet"
  mkdir -p "$prefix" "$deps/build/$triplet"

  # zlib: its configure script, static only; it builds in its own tree.
  local work="$deps/build/$triplet/zlib"
  cp -a "$(unpacked zlib)" "$work"
  (cd "$work" && CHOST="$triplet" CC="$triplet-gcc-posix" AR="$triplet-ar" RANLIB="$triplet-ranlib" \
     CFLAGS="-O2" ./configure --static --prefix="$prefix" && make -j "$jobs" libz.a && make install-libs \
     && make install) >"$work.log" 2>&1 || { tail -40 "$work.log" >&2; exit 1; }

  cmake_dep "$triplet" "$(unpacked libpng1.6)" libpng "" -- -DPNG_SHARED=OFF -DPNG_STATIC=ON \
    -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -Dld-version-script=OFF -DZLIB_ROOT="$prefix"
  cmake --install "$deps/build/$triplet/libpng" >/dev/null

  # libjpeg-turbo: only the library (its programs are not needed), with its
  # vector code (assembled by nasm) as Debian's build has it, else JPEG files
  # take twice as long as on Linux; headers as its install has them.
  local jpeg
  jpeg="$(unpacked libjpeg-turbo)"
  cmake_dep "$triplet" "$jpeg" libjpeg-turbo jpeg-static -- -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON -DREQUIRE_SIMD=ON -DCMAKE_ASM_NASM_COMPILER=nasm
  install -m 644 "$deps/build/$triplet/libjpeg-turbo/libjpeg.a" "$prefix/lib/"
  install -m 644 "$deps/build/$triplet/libjpeg-turbo/jconfig.h" "$jpeg/jpeglib.h" "$jpeg/jmorecfg.h" \
    "$jpeg/jerror.h" "$prefix/include/"

  # FreeType: the outline formats, with the zlib above for compressed fonts
  # (its own copy of zlib would clash with it), none of the other optional
  # libraries (colour bitmaps, shaping).
  cmake_dep "$triplet" "$(unpacked freetype)" freetype "" -- -DFT_REQUIRE_ZLIB=ON -DZLIB_ROOT="$prefix" \
    -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
  cmake --install "$deps/build/$triplet/freetype" >/dev/null

  echo "$key" >"$prefix/versions"
}

# Google Benchmark: the library alone, without its tests; it keeps its own
# version file, so a new release of it rebuilds nothing else.
bench_key="$(echo "recipe 1"; echo "benchmark ${version[benchmark]}")"
build_benchmark() {
  local triplet="$1" prefix="$deps/$1"
  if [ -f "$prefix/benchmark-version" ] && [ "$(cat "$prefix/benchmark-version")" = "$bench_key" ]; then
    return
  fi
  echo "build-windows: building Google Benchmark for $triplet"
  rm -rf "$deps/build/$triplet/benchmark"
  mkdir -p "$deps/build/$triplet"
  # Its version comes in from outside, as Debian's own build passes it.
  local plain="${version[benchmark]#*:}"
  cmake_dep "$triplet" "$(unpacked benchmark)" benchmark "" -- -DGIT_VERSION="${plain%%-*}" \
    -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_ENABLE_INSTALL=ON
  cmake --install "$deps/build/$triplet/benchmark" >/dev/null
  echo "$bench_key" >"$prefix/benchmark-version"
}

for triplet in "${triplets[@]}"; do
  build_deps "$triplet"
  [ "$mode" = bench ] && build_benchmark "$triplet"
done

configure() {  # configure TRIPLET BUILD_DIR OPTIONS...
  local triplet="$1" build="$2"; shift 2
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$triplet.cmake" \
    -DZENVAS_WINDOWS_DEPS="$deps/$triplet" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}

# The DLLs a host loads: the platform, the libraries and the runtimes inside.
for triplet in "${triplets[@]}"; do
  build="$root/build/windows/$triplet"
  echo "build-windows: Zenvas.nbp for $triplet in $build/bin"
  configure "$triplet" "$build" -DZENVAS_STANDALONE_PLUGIN=ON
  cmake --build "$build" -j "$jobs" --target Zenvas
done

echo "build-windows: the DLLs' tables"
"$root/tests/windows/check-dll-tables.sh" i686-w64-mingw32-objdump "$root/build/windows/i686-w64-mingw32/bin/Zenvas.nbp" \
  "$root/build/windows/i686-w64-mingw32/plugin/CMakeFiles/zenvas-plugin-objects.dir/EntryPoints.cpp.obj"
"$root/tests/windows/check-dll-tables.sh" x86_64-w64-mingw32-objdump \
  "$root/build/windows/x86_64-w64-mingw32/bin/Zenvas.nbp"

if [ "$mode" = bench ]; then
  # The benchmarks of each target, against the platform linked in as the
  # shipped DLL has it; the memory benchmark loads that DLL itself.
  for triplet in "${triplets[@]}"; do
    build="$root/build/windows/$triplet-bench"
    echo "build-windows: the $triplet benchmarks in $build/bin"
    configure "$triplet" "$build" -DZENVAS_STANDALONE_PLUGIN=ON -DZENVAS_BUILD_BENCH=ON \
      -DZENVAS_STANDALONE_DLL="$root/build/windows/$triplet/bin/Zenvas.nbp"
    cmake --build "$build" -j "$jobs" --target zenvas-windows-benches
  done
  exit 0
fi
[ "$mode" = test ] || exit 0

# Each target once more with the platform as a DLL of its own, which
# zenvas-host.exe and its Zenvas.nbp share as on Linux; the tests run under
# wine: the 32-bit build under Debian's 32-bit loader (wine32), the 64-bit
# one under wine64. The shipped standalone DLL of each target is loaded as a
# host loads it by that target's standalone tests.
# The desktop test reads the X server's pixels with the Linux build's
# zenvas-screen, when that build is there (scripts/test.sh makes it first).
screen="$root/build/release/bin/zenvas-screen"
[ -x "$screen" ] || screen=""
# Some kernels run no 32-bit x86 program at all (built without IA-32
# emulation, or with it switched off, as on hosts that run 64-bit user code
# only): execve of one fails with "Exec format error", wine32's loader
# included. There the 32-bit tests cannot run; the 32-bit DLL is still built
# and its tables checked above, and the run says loudly what it left out.
tested=("${triplets[@]}")
if ! answer=$("$root/cmake/wine32.sh" --version 2>&1); then
  echo "build-windows: WARNING: this machine does not run 32-bit x86 programs" \
    "(${answer%%$'\n'*}); the i686 tests under wine32 are left out" >&2
  tested=(x86_64-w64-mingw32)
fi
for triplet in "${tested[@]}"; do
  build="$root/build/windows/$triplet-wine"
  echo "build-windows: zenvas-host.exe and the tests in $build"
  configure "$triplet" "$build" -DZENVAS_STANDALONE_PLUGIN=OFF \
    -DZENVAS_STANDALONE_DLL="$root/build/windows/$triplet/bin/Zenvas.nbp" -DZENVAS_SCREEN_TOOL="$screen"
  cmake --build "$build" -j "$jobs"
  echo "build-windows: the $triplet tests under wine"
  # Now and then wine starts no program at all (no output, gone in a
  # hundredth of a second) when the prefix's server is shutting down as
  # the program starts; a test that fails is run once more, so a real
  # failure still fails twice.
  ctest --test-dir "$build" --output-on-failure -j "$jobs" --repeat until-pass:2
done
