#!/usr/bin/env bash
# Runs the desktop benchmark (a pen stroke in a GTK window, a frame after
# every move) under a virtual X server: bash bench/desktop.sh [BUILD]
# (default build/bench, configured with -DZENVAS_BUILD_BENCH=ON). Prints Google Benchmark's table.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/bench}"
export NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory
exec xvfb-run -a -s "-screen 0 1920x1200x24" "$build/bin/zenvas-desktop-bench" --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true
