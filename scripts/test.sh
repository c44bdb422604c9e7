#!/usr/bin/env bash
# Sets up, then builds and runs every test twice: an optimised build, and a
# build with AddressSanitizer and UndefinedBehaviorSanitizer in which any
# report fails the run. Then every fuzzer runs for ZENVAS_FUZZ_SECONDS
# (default 30) each; any finding fails the run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="${ZENVAS_JOBS:-2}"
"$root/scripts/setup.sh"

# allocator_may_return_null lets an impossible allocation fail with
# std::bad_alloc, as it does without the sanitizer, so its handling is tested.
export ASAN_OPTIONS="abort_on_error=0:halt_on_error=1:detect_leaks=1:strict_string_checks=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# The real-window tests (xvfb-run, xdotool; the set-up installs them) must
# run here rather than skip.
export ZENVAS_REQUIRE_GUI=1

for flavour in release asan; do
  echo "== $flavour build"
  "$root/scripts/build.sh" "$flavour"
  echo "== $flavour tests"
  ctest --test-dir "$root/build/$flavour" --output-on-failure -j "$jobs"
done

echo "== fuzzing"
"$root/scripts/fuzz.sh" "${ZENVAS_FUZZ_SECONDS:-30}"
