#!/usr/bin/env bash
# Runs the picture-transform benchmarks and ImageMagick's nearest operations
# on the same 4096 x 4096 picture, both single-threaded, and prints each
# transform's time, its multiple of the floor (an in-place inversion of the
# same buffer) and ImageMagick's time as a multiple of ours. The colour
# tables, noise and frosted glass also show their narrower vector paths
# (avx2, plain). When zenvas-gdi-bench sits beside the transforms'
# benchmark, the three halftone stretches follow on every vector path,
# against their own run's floor and ImageMagick's -scale (timed against
# reading and writing alone).
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
# The first convert on the PATH that is ImageMagick's (another program may
# carry the name).
convert=
while read -r candidate; do
  if [[ $("$candidate" -version 2> /dev/null || true) == "Version: ImageMagick"* ]]; then convert=$candidate; break; fi
done < <(which -a convert 2> /dev/null)
[[ -n $convert ]] || { echo "ImageMagick's convert is needed" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export OMP_NUM_THREADS=1 MAGICK_THREAD_LIMIT=1
runs=${RUNS:-3}

# Our side: CPU time per call in milliseconds, by benchmark name (the
# halftones' runs are named with /manual_time; their CPU time is the
# stretch's too).
"$bench" --benchmark_format=csv --benchmark_min_time=1 2> /dev/null > "$work/ours.csv"
gdi_bench=$(dirname "$bench")/zenvas-gdi-bench
if [[ -x $gdi_bench ]]; then
  "$gdi_bench" --benchmark_format=csv --benchmark_filter='^BM_(Floor|Halftone)' 2> /dev/null >> "$work/ours.csv"
fi
ours() {
  awk -F, -v name="\"$1/min_time:1.000\"" -v manual="\"$1/min_time:0.500/manual_time\"" '
    $1 == name || $1 == manual {
    unit = $5; gsub(/"/, "", unit)
    printf "%.3f", $4 * (unit == "ms" ? 1 : unit == "us" ? 1e-3 : unit == "ns" ? 1e-6 : 1e3) }' "$work/ours.csv"
}

# ImageMagick's side: each operation is run once and nine times over in one
# command, on a picture kept in its own cache format; the difference over
# eight is the operation alone, without reading and writing the picture.
"$convert" -size 4096x4096 xc: +noise Random -depth 8 "$work/in.mpc"
"$convert" "$work/in.mpc" -crop 2900x2900+0+0 +repage "$work/in2900.mpc"
input=$work/in.mpc
best_ms() {
  local best=
  for _ in $(seq "$runs"); do
    local start end
    start=$(date +%s%N)
    "$convert" -limit thread 1 "$input" "$@" null: 2> /dev/null
    end=$(date +%s%N)
    local us=$(((end - start) / 1000))
    if [[ -z $best || $us -lt $best ]]; then best=$us; fi
  done
  echo "$best"
}
# Sets im to the operation's time; measured once per operation and input,
# so the narrower paths' rows reuse it.
declare -A magick_ms
magick() {
  local key="$input $*"
  if [[ -z ${magick_ms[$key]:-} ]]; then
    local once nine
    once=$(best_ms "$@")
    if [[ $1 == -scale ]]; then
      # A second scale to the same size does nothing, so a scale is timed
      # against reading and writing the picture alone.
      nine=$(best_ms)
      magick_ms[$key]=$(awk -v a="$once" -v b="$nine" 'BEGIN { printf "%.1f", (a - b) / 1000 }')
    else
      nine=$(best_ms "$@" "$@" "$@" "$@" "$@" "$@" "$@" "$@" "$@")
      magick_ms[$key]=$(awk -v a="$once" -v b="$nine" 'BEGIN { printf "%.1f", (b - a) / 8 / 1000 }')
    fi
  fi
  im=${magick_ms[$key]}
}

floor=$(ours BM_Floor_Invert)
echo "vector level: $(awk -F': ' '/^vector level/ { print $2; exit }' "$work/ours.csv")"
printf '%-24s %10s %10s %8s  %-32s %10s %8s\n' transform "ours ms" "MPixel/s" "x floor" "ImageMagick" "IM ms" "IM/ours"
row() {
  local name=$1 label=$2 ms; shift 2
  ms=$(ours "$name")
  local mpix ratio
  mpix=$(awk -v ms="$ms" 'BEGIN { printf "%.0f", 4096 * 4096 / (ms * 1000) }')
  ratio=$(awk -v ms="$ms" -v f="$floor" 'BEGIN { printf "%.1f", ms / f }')
  if [[ $# -gt 0 ]]; then
    local im
    magick "$@"
    # A machine busy with other work can make the difference meaningless.
    local times
    times=$(awk -v a="$im" -v b="$ms" 'BEGIN { if (a <= 0) print "noise"; else printf "%.1f", a / b }')
    printf '%-24s %10s %10s %8s  %-32s %10s %8s\n' "$label" "$ms" "$mpix" "$ratio" "$*" "$im" "$times"
  else
    printf '%-24s %10s %10s %8s  %-32s %10s %8s\n' "$label" "$ms" "$mpix" "$ratio" "-" "-" "-"
  fi
}
narrower() { # narrower NAME LABEL IMAGEMAGICK...: the avx2 and plain rows where they ran
  local name=$1 label=$2 level; shift 2
  for level in avx2 plain; do
    [[ -n $(ours "$name/$level") ]] && row "$name/$level" "$label ($level)" "$@"
  done
  return 0
}
row BM_Floor_Invert "floor (inversion)"
row BM_Negative "negative" -negate
row BM_Gamma "gamma" -gamma 0.7
narrower BM_Gamma "gamma" -gamma 0.7
row BM_ChangeRGB "RGB shift" -channel R -evaluate add 4% +channel
narrower BM_ChangeRGB "RGB shift" -channel R -evaluate add 4% +channel
row BM_Monochrome "monochrome" -sepia-tone 80%
narrower BM_Monochrome "monochrome" -sepia-tone 80%
row BM_MonoPixel2 "enlarged pixels (2)" -sample 50% -sample 200%
narrower BM_MonoPixel2 "enlarged pixels (2)" -sample 50% -sample 200%
row BM_Block "blocks"
row BM_NoiseBlackAndWhite "noise (black/white)" +noise Uniform
narrower BM_NoiseBlackAndWhite "noise (black/white)" +noise Uniform
row BM_NoiseColoured "noise (coloured)" +noise Uniform
narrower BM_NoiseColoured "noise (coloured)" +noise Uniform
row BM_FrostGlass "frosted glass (5)" -spread 5
narrower BM_FrostGlass "frosted glass (5)" -spread 5
echo "floor: ${floor} ms; ImageMagick: (nine operations - one) / 8, best of ${runs} runs each"

if [[ -n $(ours BM_Floor) ]]; then
  floor=$(ours BM_Floor)
  for level in avx512 avx2 plain; do
    [[ -n $(ours "BM_HalftoneHalf/$level") ]] || continue
    input=$work/in.mpc
    row "BM_HalftoneHalf/$level" "halftone 4096 -> 2048 ($level)" -scale 2048x2048!
    row "BM_HalftoneDown/$level" "halftone 4096 -> 3000 ($level)" -scale 3000x3000!
    input=$work/in2900.mpc
    row "BM_HalftoneUp/$level" "halftone 2900 -> 4096 ($level)" -scale 4096x4096!
  done
  echo "halftone floor (zenvas-gdi-bench's own run): ${floor} ms"
fi
