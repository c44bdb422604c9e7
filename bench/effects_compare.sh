#!/usr/bin/env bash
# Runs the picture-transform benchmarks and ImageMagick's nearest operations
# on the same 4096 x 4096 picture, both single-threaded, and prints each
# transform's time, its multiple of the floor (an in-place inversion of the
# same buffer) and ImageMagick's time as a multiple of ours.
#
#   bench/effects_compare.sh [path/to/zenvas-effects-bench]
#
# Needs ImageMagick's convert (apt-get install imagemagick).
set -euo pipefail

bench=${1:-}
if [[ -z $bench ]]; then
  for candidate in build/bench/bin/zenvas-effects-bench build/bin/zenvas-effects-bench build-*/bin/zenvas-effects-bench; do
    [[ -x $candidate ]] && { bench=$candidate; break; }
  done
fi
[[ -x ${bench:-} ]] || { echo "zenvas-effects-bench not found; pass its path" >&2; exit 2; }
command -v convert > /dev/null || { echo "ImageMagick's convert is needed" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export OMP_NUM_THREADS=1 MAGICK_THREAD_LIMIT=1
runs=${RUNS:-3}

# Our side: CPU time per call in milliseconds, by benchmark name.
"$bench" --benchmark_format=csv --benchmark_min_time=1 2> /dev/null > "$work/ours.csv"
ours() {
  awk -F, -v name="\"$1/min_time:1.000\"" '$1 == name {
    unit = $5; gsub(/"/, "", unit)
    printf "%.3f", $4 * (unit == "ms" ? 1 : unit == "us" ? 1e-3 : unit == "ns" ? 1e-6 : 1e3) }' "$work/ours.csv"
}

# ImageMagick's side: each operation is run once and nine times over in one
# command, on a picture kept in its own cache format; the difference over
# eight is the operation alone, without reading and writing the picture.
convert -size 4096x4096 xc: +noise Random -depth 8 "$work/in.mpc"
best_ms() {
  local best=
  for _ in $(seq "$runs"); do
    local start end
    start=$(date +%s%N)
    convert -limit thread 1 "$work/in.mpc" "$@" null: 2> /dev/null
    end=$(date +%s%N)
    local us=$(((end - start) / 1000))
    if [[ -z $best || $us -lt $best ]]; then best=$us; fi
  done
  echo "$best"
}
magick() {
  local once nine
  once=$(best_ms "$@")
  nine=$(best_ms "$@" "$@" "$@" "$@" "$@" "$@" "$@" "$@" "$@")
  awk -v a="$once" -v b="$nine" 'BEGIN { printf "%.1f", (b - a) / 8 / 1000 }'
}

floor=$(ours BM_Floor_Invert)
printf '%-24s %10s %10s %8s  %-32s %10s %8s\n' transform "ours ms" "MPixel/s" "x floor" "ImageMagick" "IM ms" "IM/ours"
row() {
  local name=$1 label=$2 ms; shift 2
  ms=$(ours "$name")
  local mpix ratio
  mpix=$(awk -v ms="$ms" 'BEGIN { printf "%.0f", 4096 * 4096 / (ms * 1000) }')
  ratio=$(awk -v ms="$ms" -v f="$floor" 'BEGIN { printf "%.1f", ms / f }')
  if [[ $# -gt 0 ]]; then
    local im
    im=$(magick "$@")
    # A machine busy with other work can make the difference meaningless.
    local times
    times=$(awk -v a="$im" -v b="$ms" 'BEGIN { if (a <= 0) print "noise"; else printf "%.1f", a / b }')
    printf '%-24s %10s %10s %8s  %-32s %10s %8s\n' "$label" "$ms" "$mpix" "$ratio" "$*" "$im" "$times"
  else
    printf '%-24s %10s %10s %8s  %-32s %10s %8s\n' "$label" "$ms" "$mpix" "$ratio" "-" "-" "-"
  fi
}
row BM_Floor_Invert "floor (inversion)"
row BM_Negative "negative" -negate
row BM_Gamma "gamma" -gamma 0.7
row BM_ChangeRGB "RGB shift" -channel R -evaluate add 4% +channel
row BM_Monochrome "monochrome" -sepia-tone 80%
row BM_MonoPixel2 "enlarged pixels (2)" -sample 50% -sample 200%
row BM_Block "blocks"
row BM_NoiseBlackAndWhite "noise (black/white)" +noise Uniform
row BM_NoiseColoured "noise (coloured)" +noise Uniform
row BM_FrostGlass "frosted glass (5)" -spread 5
echo "floor: ${floor} ms; ImageMagick: (nine operations - one) / 8, best of ${runs} runs each"
