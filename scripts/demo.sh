#!/usr/bin/env bash
# Sets up, builds and runs the demo script through the host program.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" release
mkdir -p "$root/out"
cd "$root"
exec "$root/build/release/bin/zenvas-host" demo/demo.zhs
