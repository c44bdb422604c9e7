#!/usr/bin/env bash
# Sets up, builds what the demo and an install need (the host, the plug-in,
# the man page and the changelog; no tests) in build/demo, and runs the demo
# script through the host program.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/demo"
jobs="${ZENVAS_JOBS:-2}"
"$root/scripts/setup.sh"
echo "demo: configuring $build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZENVAS_BUILD_TESTS=OFF >/dev/null
echo "demo: building zenvas-host, Zenvas.nbp and the manual (ZENVAS_JOBS=$jobs; a first build takes a few minutes)"
cmake --build "$build" -j "$jobs" --target zenvas-demo
mkdir -p "$root/out"
cd "$root"
echo "demo: running demo/demo.zhs"
exec "$build/bin/zenvas-host" demo/demo.zhs
