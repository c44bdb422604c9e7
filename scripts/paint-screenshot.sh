#!/usr/bin/env bash
# Takes the README's screenshot, docs/paint.png: Zenvas Paint under a virtual
# X server, a picture drawn and saved through the file chooser by xdotool,
# the window's pixels read back with zenvas-screen.
#   bash scripts/paint-screenshot.sh [BUILD]     (default build/release)
set -u
root="$(cd "$(dirname "$0")/.." && pwd)"
B="$(cd "${1:-$root/build/release}" && pwd)/bin"
source "$root/tests/support/virtual-display.sh"
on_virtual_display paint-screenshot "$(mktemp -d)" "$0" "$@"
work=$(mktemp -d)
cd "$work"
export NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory
"$B/zenvas-host" --window "$root/examples/paint.zhs" > log 2>&1 &
pid=$!
page=$(window_named 'paint.zhs' 20)
p() { sleep "${1:-0.15}"; }
click() { xdotool mousemove --window "$page" $1 $2 click 1; p 0.3; }
drag() { xdotool mousemove --window "$page" $1 $2; p; xdotool mousedown 1; p; shift 2
  while [ $# -gt 0 ]; do xdotool mousemove --window "$page" $1 $2; p 0.08; shift 2; done; xdotool mouseup 1; p 0.3; }
tool() { click 19 $((19 + 32 * $1)); }
p 1
# A sky, a sun and a house.
click 150 490; tool 6; click 400 300
tool 1; click 176 464; click 19 515
tool 3; drag 560 60 640 140
tool 6; click 600 100
click 19 515; click 150 464; tool 2; drag 250 250 420 380
tool 6; click 176 490; click 330 320
click 19 483; click 98 464; tool 4; drag 230 248 335 170; drag 335 170 440 248
click 124 464; click 19 515; tool 7; drag 60 430 150 410 250 430 350 415 450 432 550 412 650 430 700 420
click 98 490; tool 5; click 120 160; click 180 120
tool 8
window_named 'Zenvas Paint' 10 > /dev/null
p 0.5; xdotool key ctrl+a; xdotool type --delay 50 "Hello, Zenvas"; p 0.3; xdotool key Return; p 0.5
click 98 464; click 450 190
click 324 490
window_named 'Save As' 10 > /dev/null
p 0.8; xdotool key ctrl+a; xdotool type --delay 50 "$work/house.bmp"; p 0.3; xdotool key Return
p 1.5
eval "$(xdotool getwindowgeometry --shell "$page")"
"$B/zenvas-screen" grab $X $Y 724 540 "$root/docs/paint.png"
kill -TERM $pid; wait $pid
grep -v dconf log
rm -rf "$work"
