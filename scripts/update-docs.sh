#!/usr/bin/env bash
# Refreshes the generated parts of docs/actions.md from the action table and
# the action editors, then runs the documentation tests.
#   bash scripts/update-docs.sh [BUILD_DIR]    (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
jobs=${ZENVAS_JOBS:-2}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$jobs" --target zenvas-actions-doc zenvas-host Zenvas
cmake --build "$build" --target zenvas-update-docs
ctest --test-dir "$build" -R '^docs-' --output-on-failure
