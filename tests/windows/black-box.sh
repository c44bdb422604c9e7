#!/usr/bin/env bash
# The shipped DLL under the black-box host: zenvas-host.exe --black-box runs
# the end-to-end scripts against the standalone Zenvas.nbp with windows,
# messages and dialogs of the system only, on a virtual X server. The
# scripts a black-box host can run must pass; the others must stop with the
# reason their command is refused (they keep running in the split build).
#   black-box.sh WINE HOST DLL WORKDIR
set -uo pipefail
wine=$1 host=$2 dll=$3 work=$4
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"

source "$here/../support/virtual-display.sh"
on_virtual_display black-box "$work" "$0" "$@"

cd "$work"
cp "$root"/tests/scripts/*.zhs "$root"/tests/scripts/fixtures/* "$root/examples/paint.zhs" "$root/demo/demo.zhs" .
# The real pointer stays away from the page: only posted messages move it.
xdotool mousemove 1279 1023
failures=0
started=$SECONDS
run() { # run SCRIPT: its exit status, its output in SCRIPT.out
  timeout 300 "$wine" "$host" --black-box --plugin "$dll" "$1" > "$1.out" 2>&1 <<<""
}
for script in canvas_lifecycle draw_coordinates effects_transforms pictures_files_memory scroll_bars \
              tools_engine tools_selection paint; do
  begun=$SECONDS
  run "$script.zhs" || { echo "FAIL: $script: $(grep -v '^trace' "$script.zhs.out" | tail -3)"; failures=$((failures + 1)); }
  echo "$script: $((SECONDS - begun)) s"
done
refused() { # refused SCRIPT REASON
  run "$1.zhs"
  grep -q "$2" "$1.zhs.out" || { echo "FAIL: $1 was not refused for $2: $(tail -3 "$1.zhs.out")"; failures=$((failures + 1)); }
}
refused cursors "CursorInfo is not available in black-box mode"
refused editor "needs a control by its name"
refused demo "needs a control by its name\|does not offer the face"
refused pickers "does not offer the face"
echo "black-box: $((SECONDS - started)) s, $failures failure(s)"
[ "$failures" -eq 0 ]
