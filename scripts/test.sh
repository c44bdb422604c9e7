#!/usr/bin/env bash
# Sets up, then builds and runs every test twice: an optimised build, and a
# build with AddressSanitizer and UndefinedBehaviorSanitizer in which any
# report fails the run. Then the Windows cross build (scripts/build-windows.sh
# test: both DLLs and their tables, the 64-bit host and tests under wine64;
# ZENVAS_WINDOWS=0 leaves it out). Then every fuzzer runs for
# ZENVAS_FUZZ_SECONDS (default 30) each; any finding fails the run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="${ZENVAS_JOBS:-2}"
windows="${ZENVAS_WINDOWS:-1}"
# The Windows set-up first: it may bring the Linux build's codec and text
# libraries to the versions whose sources the Windows build compiles.
if [ "$windows" != 0 ]; then
  "$root/scripts/setup.sh" windows
else
  "$root/scripts/setup.sh"
fi

# allocator_may_return_null lets an impossible allocation fail with
# std::bad_alloc, as it does without the sanitizer, so its handling is tested.
export ASAN_OPTIONS="abort_on_error=0:halt_on_error=1:detect_leaks=1:strict_string_checks=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# The real-window tests (Xvfb, xdotool; the set-up installs them) must
# run here rather than skip.
export ZENVAS_REQUIRE_GUI=1

for flavour in release asan; do
  echo "== $flavour build"
  "$root/scripts/build.sh" "$flavour"
  echo "== $flavour tests"
  ctest --test-dir "$root/build/$flavour" --output-on-failure -j "$jobs"
done

if [ "$windows" != 0 ]; then
  echo "== windows build and tests"
  "$root/scripts/build-windows.sh" test
fi

echo "== fuzzing"
"$root/scripts/fuzz.sh" "${ZENVAS_FUZZ_SECONDS:-30}"
