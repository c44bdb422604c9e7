#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS
# (default 30), one at a time, with memory limits on. Findings (inputs that
# crash, leak, trip a sanitizer or a check, or pass the limits) are kept in
# out/fuzz/TARGET/; the corpus each run grows is kept in build/fuzz/corpus/
# and starts from fuzz/corpus/. Exits 1 when anything was found.
#   scripts/fuzz.sh [SECONDS] [TARGET...]     (targets: bmp jpeg cursor script values actions)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-30}"
shift || true
targets=("$@")
[ "${#targets[@]}" -gt 0 ] || targets=(bmp jpeg cursor script values actions)
jobs="${ZENVAS_JOBS:-2}"
"$root/scripts/setup.sh"

build="$root/build/fuzz"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZENVAS_FUZZ=ON -DZENVAS_BUILD_TESTS=OFF \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j "$jobs" --target "${targets[@]/#/zenvas-fuzz-}"

export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1"
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
found=()
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  findings="$root/out/fuzz/$target"
  mkdir -p "$corpus" "$findings"
  echo "== fuzz $target for ${seconds}s"
  log="$findings/last-run.log"
  if "$build/bin/zenvas-fuzz-$target" "$corpus" "$root/fuzz/corpus/$target" \
      -max_total_time="$seconds" -rss_limit_mb=2048 -malloc_limit_mb=512 -timeout=25 \
      -artifact_prefix="$findings/" -print_final_stats=1 -close_fd_mask=1 >"$log" 2>&1; then
    grep -E '^stat::(number_of_executed_units|peak_rss_mb)|cov: ' "$log" | tail -3
  else
    tail -40 "$log"
    found+=("$target")
  fi
done
if [ "${#found[@]}" -gt 0 ]; then
  echo "fuzz: findings in ${found[*]} (inputs and logs in out/fuzz/)" >&2
  exit 1
fi
echo "fuzz: nothing found"
