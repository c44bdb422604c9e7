#!/usr/bin/env bash
# Times libjpeg-turbo's own tools (cjpeg -quality 95, djpeg) against the
# drawing layer's JPEG encoder and decoder on the same 4096 x 4096 picture,
# in the same run. Usage: bench/jpeg_compare.sh [build-dir] [runs]
set -euo pipefail

build=${1:-build-gdi}
runs=${2:-7}
bench="$build/bin/zenvas-gdi-bench"
[ -x "$bench" ] || { echo "build $bench first (-DZENVAS_BUILD_BENCH=ON)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$bench" --write-picture "$work/picture.bmp"
"$bench" --write-ppm "$work/picture.ppm"
cjpeg -quality 95 -outfile "$work/picture.jpg" "$work/picture.ppm"

# Best wall time in milliseconds of a command over $runs runs.
best_ms() {
    local best=""
    for _ in $(seq "$runs"); do
        local t0 t1 ms
        t0=$(date +%s%N)
        "$@" >/dev/null
        t1=$(date +%s%N)
        ms=$(( (t1 - t0) / 1000 ))
        if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    done
    printf '%d.%03d' $((best / 1000)) $((best % 1000))
}

# The tools' times include starting the process and reading their input
# (PPM is cjpeg's fastest reader; its BMP reader is much slower).
echo "cjpeg -quality 95, PPM in:  $(best_ms cjpeg -quality 95 -outfile "$work/out.jpg" "$work/picture.ppm") ms"
echo "cjpeg -quality 95, BMP in:  $(best_ms cjpeg -quality 95 -outfile "$work/out.jpg" "$work/picture.bmp") ms"
echo "djpeg, PPM out to /dev/null: $(best_ms djpeg -outfile /dev/null "$work/picture.jpg") ms"
echo "ours, same run:"
"$bench" --benchmark_filter='Jpeg|Floor' --benchmark_min_time=0.5 2>/dev/null | grep -E 'floor|BM_'
