#!/usr/bin/env bash
# Runs the same benchmarks of the Linux build and of both Windows builds
# (the 64-bit one under wine64, the 32-bit one under wine32) on the same
# pictures, files in the same folder, and prints every operation's time on
# Linux and each Windows build's time as a multiple of it. wine runs the
# programs' own machine code, so a multiple measures our Windows build, not
# an emulator; the target is at most 1.2 for every operation.
#
#   bash scripts/build-windows.sh     (once, on a fresh machine; as root the
#                                      first time, for scripts/setup.sh)
#   bench/windows_compare.sh [FILTER]
#
# FILTER is a regular expression of benchmark names (Google Benchmark's
# --benchmark_filter), all of them by default. The script builds what it
# runs first: the Linux benchmarks in build/bench (Release), and the
# Windows ones through `scripts/build-windows.sh bench` (Google Benchmark
# from its source package, then build/windows/TRIPLET-bench). With
# ZENVAS_NO_BUILD=1 it runs what is there. RUNS (3) is the number of
# rounds, the builds taking turns in each; every row shows each build's
# best, since the machine may be shared.
# The programs: zenvas-gdi-bench (drawing layer, halftones, codecs on their
# own), zenvas-effects-bench (the eight transforms) and zenvas-picture-bench
# (BMP and JPEG files loaded and saved as the picture actions do).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
filter=${1:-.}
runs=${RUNS:-3}
jobs=${ZENVAS_JOBS:-1}
programs=(zenvas-gdi-bench zenvas-effects-bench zenvas-picture-bench)
linux="$root/build/bench/bin"
win64="$root/build/windows/x86_64-w64-mingw32-bench/bin"
win32="$root/build/windows/i686-w64-mingw32-bench/bin"

# A machine whose kernel runs no 32-bit x86 program (see README.md) has no
# win32 column.
win32_runs=1
if ! "$root/cmake/wine32.sh" --version >/dev/null 2>&1; then
  echo "windows_compare: this machine does not run 32-bit x86 programs; the win32 column stays empty" >&2
  win32_runs=0
fi

if [[ -z ${ZENVAS_NO_BUILD:-} ]]; then
  echo "windows_compare: building the benchmarks" >&2
  cmake -S "$root" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release -DZENVAS_BUILD_BENCH=ON >/dev/null
  cmake --build "$root/build/bench" -j "$jobs" --target "${programs[@]}" >/dev/null
  ZENVAS_JOBS=$jobs bash "$root/scripts/build-windows.sh" bench >/dev/null
fi
for program in "${programs[@]}"; do
  files=("$linux/$program" "$win64/$program.exe")
  if ((win32_runs)); then files+=("$win32/$program.exe"); fi
  for file in "${files[@]}"; do
    [[ -x $file ]] || { echo "windows_compare: $file is missing (run without ZENVAS_NO_BUILD)" >&2; exit 2; }
  done
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ZENVAS_BENCH_DIR="$work/files"
mkdir -p "$ZENVAS_BENCH_DIR"

# One run of one program of one build: name and real time in milliseconds
# of every benchmark, one line each, the benchmark's own suffixes
# (min_time, real_time, manual_time) left off.
run() {  # run SIDE PROGRAM LAUNCHER...
  local side=$1 program=$2; shift 2
  local out="$work/$side.$program"
  echo "windows_compare: $side: $program" >&2
  "$@" --benchmark_format=csv --benchmark_filter="$filter" 2> "$out.err" | tr -d '\r' > "$out.csv" \
    || { echo "windows_compare: $side $program failed:" >&2; cat "$out.err" >&2; exit 1; }
  [[ -s $work/$side.vectors ]] || sed -n 's/^vector level: //p' "$out.csv" | head -1 > "$work/$side.vectors"
  awk -F, '$1 ~ /^"/ && $3 != "" {
    name = $1; gsub(/"/, "", name)
    gsub(/\/(min_time:[0-9.]+|real_time|manual_time)/, "", name)
    unit = $5; gsub(/"/, "", unit)
    printf "%s %.4f\n", name, $3 * (unit == "ms" ? 1 : unit == "us" ? 1e-3 : unit == "ns" ? 1e-6 : 1e3)
  }' "$out.csv" >> "$work/$side.times"
}
# The builds take turns, program by program and round by round, so that
# other work on the machine falls on all three alike.
for side in linux win64 win32; do : > "$work/$side.times"; : > "$work/$side.vectors"; done
for round in $(seq "$runs"); do
  for program in "${programs[@]}"; do
    echo "windows_compare: round $round of $runs" >&2
    run linux "$program" "$linux/$program"
    run win64 "$program" "$root/cmake/wine64.sh" "$win64/$program.exe"
    if ((win32_runs)); then run win32 "$program" "$root/cmake/wine32.sh" "$win32/$program.exe"; fi
  done
done

echo "vector paths: linux $(cat "$work/linux.vectors"), win64 $(cat "$work/win64.vectors"), win32 $(cat "$work/win32.vectors")"
echo "best of $runs rounds; real time per call; ! marks a multiple above 1.2; the Floor and Plain rows"
echo "are references (an in-place inversion, one plain read or write of the same bytes), not our operations"
awk -v limit=1.2 '
  FNR == 1 { side++ }
  { if (!(($1, side) in best) || $2 < best[$1, side]) best[$1, side] = $2
    if (side == 1 && !($1 in seen)) { seen[$1] = 1; order[++n] = $1 } }
  END {
    printf "%-34s %10s %10s %7s %10s %7s\n", "operation", "linux ms", "win64 ms", "ratio", "win32 ms", "ratio"
    worst64 = 0; worst32 = 0
    for (i = 1; i <= n; i++) {
      name = order[i]; l = best[name, 1]
      reference = name ~ /Floor|Plain/
      line = sprintf("%-34s %10.2f", name, l)
      for (s = 2; s <= 3; s++) {
        if ((name, s) in best) {
          r = best[name, s] / l
          line = line sprintf(" %10.2f %6.2f%s", best[name, s], r, r > limit ? "!" : " ")
          if (s == 2 && r > worst64 && !reference) worst64 = r
          if (s == 3 && r > worst32 && !reference) worst32 = r
        } else {
          line = line sprintf(" %10s %7s", "-", "-")
        }
      }
      print line
    }
    printf "highest multiple, the references aside: win64 %.2f, win32 %.2f\n", worst64, worst32
  }' "$work/linux.times" "$work/win64.times" "$work/win32.times"
